// A raw job on a queue of the print service (CUPS): a USB label printer behind a raw queue gets the bytes
// unchanged. The job is created and opened as one document when the run opens; the labels are streamed
// into it and finish() completes it, so the queue prints the whole run as one job.
#include "labels/label_sink_kinds.h"

#include <cups/cups.h>

#include <cerrno>
#include <cstring>

namespace labels {

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The print service's own words for its last failure.
QString cupsReason() {
    return QString::fromUtf8(cupsLastErrorString());
}

// A stalled request to the print service is given up (the scheduler no longer takes the job's bytes).
int giveUp(http_t*, void*) {
    return 0;
}

class QueueSink : public LabelSink {
public:
    explicit QueueSink(const label_settings::LabelTarget& target)
        : m_queue(target.queue.trimmed()), m_name(m_queue.toUtf8()), m_limitMs(target.timeoutMs) {
        m_where = QStringLiteral("라벨 프린터 대기열 %1").arg(m_queue);
    }
    ~QueueSink() override {
        if (m_http) abort();
    }

    QString openAdvice() const override {
        return QStringLiteral(
                   "라벨 프린터 대기열(%1)에 보낼 수 없습니다. 인쇄 서비스가 실행 중인지, "
                   "대기열 이름이 맞는지 확인하세요.")
            .arg(m_queue);
    }

    bool open() override {
        if (m_queue.isEmpty()) return fail(kNoDevice, QStringLiteral("대기열 이름이 없습니다"));
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, m_limitMs,
                              nullptr);
        if (!m_http)
            return fail(kNoDevice, QStringLiteral("인쇄 서비스(%1)에 연결할 수 없습니다 (%2)")
                                       .arg(QString::fromUtf8(cupsServer()), systemError(errno)));
        httpSetTimeout(m_http, m_limitMs / 1000.0, giveUp, nullptr);
        cups_dest_t* dest = cupsGetNamedDest(m_http, m_name.constData(), nullptr);
        if (!dest) return failClosing(kNoDevice, QStringLiteral("인쇄 서비스에 이 대기열이 없습니다"));
        cupsFreeDests(1, dest);
        const char* title = "라벨출력";
        m_job = cupsCreateJob(m_http, m_name.constData(), title, 0, nullptr);
        if (m_job == 0) return failClosing(kAccessFault, cupsReason());
        if (cupsStartDocument(m_http, m_name.constData(), m_job, title, CUPS_FORMAT_RAW, 1) !=
            HTTP_STATUS_CONTINUE) {
            const QString reason = cupsReason();
            cupsCancelJob2(m_http, m_name.constData(), m_job, 0);
            return failClosing(kAccessFault, reason);
        }
        return true;
    }

    bool write(const QByteArray& bytes) override {
        if (!m_http) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        if (cupsWriteRequestData(m_http, bytes.constData(), size_t(bytes.size())) == HTTP_STATUS_CONTINUE)
            return true;
        // A broken stream leaves the service's last answer as it was: the connection's own error says more.
        const int error = httpError(m_http);
        return fail(kDeviceIoFault, QStringLiteral("인쇄 서비스에 보낼 수 없습니다 (%1)")
                                        .arg(error ? systemError(error) : cupsReason()));
    }

    // Completes the job. Only a job the service accepted, with its number, counts as handed over.
    bool finish() override {
        if (!m_http) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        const ipp_status_t status = cupsFinishDocument(m_http, m_name.constData());
        if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
            const QString reason = cupsReason();
            cupsCancelJob2(m_http, m_name.constData(), m_job, 0);
            return failClosing(kDeviceIoFault, reason);
        }
        const int job = m_job;
        close();
        if (job != 0) return true;
        return fail(kDeviceIoFault, QStringLiteral("인쇄 서비스가 작업 번호를 돌려주지 않았습니다"));
    }

    // An incomplete run must not come out half printed under the belief that nothing was printed: the job
    // is cancelled, through a connection of its own, since the streaming one is unusable after a failed
    // write.
    void abort() override {
        const int job = m_job;
        close();
        if (job != 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, m_name.constData(), job, 0);
    }

    bool printsOnlyOnFinish() const override { return true; }

private:
    bool failClosing(long number, const QString& reason) {
        close();
        return fail(number, reason);
    }
    void close() {
        if (m_http) httpClose(m_http);
        m_http = nullptr;
        m_job = 0;
    }

    QString m_queue;
    QByteArray m_name;
    int m_limitMs;
    http_t* m_http = nullptr;
    int m_job = 0;
};

}  // namespace

std::unique_ptr<LabelSink> MakeQueueSink(const label_settings::LabelTarget& target) {
    return std::make_unique<QueueSink>(target);
}

}  // namespace labels
