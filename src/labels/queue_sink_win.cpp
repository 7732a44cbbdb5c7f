// A raw job of the Windows print spooler: a label printer shared or installed as a Windows printer gets the
// bytes unchanged (data type RAW). The job is started when the run opens, the labels are written into it,
// and finish() ends it, so the printer prints the whole run as one job.
#include "labels/label_sink_kinds.h"

#include "platform/system_message_win.h"

#include <windows.h>
#include <winspool.h>

namespace labels {

namespace {

class QueueSink : public LabelSink {
public:
    explicit QueueSink(const label_settings::LabelTarget& target) : m_queue(target.queue.trimmed()) {
        m_where = QStringLiteral("라벨 프린터 대기열 %1").arg(m_queue);
    }
    ~QueueSink() override {
        if (m_printer) abort();
    }

    bool open() override {
        if (m_queue.isEmpty()) return fail(kNoDevice, QStringLiteral("대기열 이름이 없습니다"));
        std::wstring name = m_queue.toStdWString();
        if (!OpenPrinterW(name.data(), &m_printer, nullptr)) {
            m_printer = nullptr;
            return fail(
                kNoDevice,
                QStringLiteral("인쇄 스풀러에 이 프린터가 없습니다 (%1)").arg(SystemMessage(GetLastError())));
        }
        wchar_t title[] = L"라벨출력";
        wchar_t raw[] = L"RAW";
        DOC_INFO_1W doc{title, nullptr, raw};
        m_job = StartDocPrinterW(m_printer, 1, reinterpret_cast<LPBYTE>(&doc));
        if (m_job == 0) return failClosing(kAccessFault, SystemMessage(GetLastError()));
        if (!StartPagePrinter(m_printer)) return failClosing(kAccessFault, SystemMessage(GetLastError()));
        return true;
    }

    bool write(const QByteArray& bytes) override {
        if (!m_printer) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        DWORD written = 0;
        if (WritePrinter(m_printer, const_cast<char*>(bytes.constData()), DWORD(bytes.size()), &written) &&
            written == DWORD(bytes.size()))
            return true;
        return fail(kDeviceIoFault,
                    QStringLiteral("인쇄 스풀러에 보낼 수 없습니다 (%1)").arg(SystemMessage(GetLastError())));
    }

    // Ends the job. Only a job the spooler started, with its number, and ended counts as handed over.
    bool finish() override {
        if (!m_printer) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        const bool ended = EndPagePrinter(m_printer) && EndDocPrinter(m_printer);
        const DWORD error = GetLastError();
        const DWORD job = m_job;
        if (!ended) {
            abort();
            return fail(kDeviceIoFault, SystemMessage(error));
        }
        ClosePrinter(m_printer);
        m_printer = nullptr;
        m_job = 0;
        if (job != 0) return true;
        return fail(kDeviceIoFault, QStringLiteral("인쇄 스풀러가 작업 번호를 돌려주지 않았습니다"));
    }

    // An incomplete run must not come out half printed: the job is deleted.
    void abort() override {
        if (!m_printer) return;
        if (m_job != 0) SetJobW(m_printer, m_job, 0, nullptr, JOB_CONTROL_DELETE);
        ClosePrinter(m_printer);
        m_printer = nullptr;
        m_job = 0;
    }

    bool printsOnlyOnFinish() const override { return true; }

private:
    bool failClosing(long number, const QString& reason) {
        abort();
        return fail(number, reason);
    }

    QString m_queue;
    HANDLE m_printer = nullptr;
    DWORD m_job = 0;
};

}  // namespace

std::unique_ptr<LabelSink> MakeQueueSink(const label_settings::LabelTarget& target) {
    return std::make_unique<QueueSink>(target);
}

}  // namespace labels
