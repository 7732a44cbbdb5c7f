#pragma once

// The test run's print scheduler (scripts/cupsserver, started by the cups fixture) as the tests use it:
// pointing the print clients at it, changing a queue's state, listing the jobs a queue took and reading
// back what its printer received.

#include "support/env_file.h"
#include "support/pdf_words.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <vector>

namespace printing_test {

inline QString schedulerDir() {
    return QStringLiteral(PELORA_TESTCUPS_DIR);
}

// Points the print clients at the scheduler started in `dir`: before anything asks for printers, since
// the print library keeps the first server it was told.
inline void useScheduler(const QString& dir) {
    const QHash<QString, QString> env = readEnvFile(dir + QStringLiteral("/env"));
    ASSERT_FALSE(env.isEmpty()) << "the test print scheduler is not running";
    for (auto it = env.begin(); it != env.end(); ++it)
        qputenv(it.key().toUtf8().constData(), it.value().toUtf8());
}

// The test run's scheduler (the fixture's).
inline void useTestScheduler() {
    useScheduler(schedulerDir());
}

// A print service that is not running: a socket name in the scheduler's folder where nothing listens.
inline void useStoppedScheduler() {
    qputenv("CUPS_SERVER", (schedulerDir() + QStringLiteral("/stopped.sock")).toUtf8());
}

// Runs a tool of the print system or of poppler; its standard output.
inline QString tool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " " << args.join(u' ').toStdString() << ": "
                      << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct QueuedJob {
    int id = 0;
    QString title;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
};

// The jobs of `queue` whose title starts with `titlePrefix`, oldest first (completed ones included).
inline std::vector<QueuedJob> jobsOf(const QString& queue, const QString& titlePrefix) {
    cups_job_t* jobs = nullptr;
    const QByteArray name = queue.toUtf8();
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    std::vector<QueuedJob> found;
    for (int i = 0; i < count; ++i) {
        const QString title = QString::fromUtf8(jobs[i].title);
        if (title.startsWith(titlePrefix)) found.push_back({jobs[i].id, title, jobs[i].state});
    }
    cupsFreeJobs(count, jobs);
    std::sort(found.begin(), found.end(), [](const QueuedJob& a, const QueuedJob& b) { return a.id < b.id; });
    return found;
}

// The file the queue's printer made of a job, once it is there (empty after 30 s).
inline QString receivedFile(const QString& queue, int jobId) {
    const QString path = schedulerDir() + QStringLiteral("/received/%1-%2").arg(queue).arg(jobId);
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(path)) {
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "job " << jobId << " never reached the printer of " << queue.toStdString();
            return QString();
        }
        QThread::msleep(20);
    }
    return path;
}

// The page size line of pdfinfo ("595 x 842 pts (A4)") and the page count of a received job.
inline QString pageSizeOf(const QString& pdf) {
    static const QRegularExpression line(QStringLiteral("Page size:\\s*([^\\n]*)"));
    return line.match(tool(QStringLiteral("pdfinfo"), {pdf})).captured(1).trimmed();
}
inline int pageCountOf(const QString& pdf) {
    static const QRegularExpression line(QStringLiteral("Pages:\\s*(\\d+)"));
    return line.match(tool(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

// Sets a queue's state back as the scheduler made it: accepting, enabled, no jobs waiting.
inline void restoreQueue(const QString& queue) {
    tool(QStringLiteral("cupsaccept"), {queue});
    tool(QStringLiteral("cupsenable"), {queue});
    tool(QStringLiteral("cancel"), {QStringLiteral("-a"), queue});
}

}  // namespace printing_test
