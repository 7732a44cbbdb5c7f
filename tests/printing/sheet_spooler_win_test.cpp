// Order sheets on Windows through the print spooler. Under Wine the spooler's printers are the queues of
// the test run's print scheduler (scripts/windows starts it and names it in CUPS_SERVER and
// PELORA_CUPS_RECEIVED), so what a page became on the printer's side can be read back as on Linux.
#include "platform/printer/page_printer.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// The jobs the printer of `queue` received, as files, oldest first.
QStringList receivedJobs(const QString& folder, const QString& queue) {
    QStringList files = QDir(folder).entryList({queue + QStringLiteral("-*")}, QDir::Files);
    files.removeIf([](const QString& name) { return name.endsWith(QStringLiteral(".part")); });
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return a.section(QLatin1Char('-'), -1).toInt() < b.section(QLatin1Char('-'), -1).toInt();
    });
    return files;
}

// The page boxes of a PDF the printer received, in points ("595x842" for A4 portrait).
QStringList pageBoxes(const QByteArray& pdf) {
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    QStringList boxes;
    for (auto it = box.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto m = it.next();
        boxes << QStringLiteral("%1x%2")
                     .arg(qRound(m.captured(1).toDouble()))
                     .arg(qRound(m.captured(2).toDouble()));
    }
    return boxes;
}

}  // namespace

// Two pages to the A4 queue are two jobs of the spooler, each one A4 portrait page on the printer's side.
TEST(SheetSpooler, EachPageIsAJobOfItsOwnOnA4) {
    const QString received = qEnvironmentVariable("PELORA_CUPS_RECEIVED");
    ASSERT_FALSE(received.isEmpty()) << "no print scheduler: these tests run through scripts/windows";
    ASSERT_TRUE(page_printer::installedPrinterNames().contains(QStringLiteral("sheet")))
        << page_printer::installedPrinterNames().join(u' ').toStdString();
    const int before = int(receivedJobs(received, QStringLiteral("sheet")).size());

    page_printer::Job job;
    job.printerName = QStringLiteral("sheet");
    job.documentName = QStringLiteral("주문서 시험");
    job.pageCount = 2;
    job.stamp = QDateTime::currentDateTime();
    job.paint = [](QPainter& painter, int page) {
        painter.drawText(QPointF(500, 500), QStringLiteral("라벤푸드 주문서 %1").arg(page + 1));
    };
    const page_printer::Outcome outcome = page_printer::printPages(job);
    EXPECT_EQ(outcome.pagesSent, 2);
    EXPECT_EQ(outcome.printer, QStringLiteral("sheet"));
    EXPECT_TRUE(outcome.pdfFiles.isEmpty());

    QDeadlineTimer deadline(60000);
    QStringList jobs;
    while ((jobs = receivedJobs(received, QStringLiteral("sheet"))).size() < before + 2 &&
           !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_EQ(jobs.size(), before + 2);
    for (int page = 0; page < 2; ++page) {
        QFile file(QDir(received).filePath(jobs[before + page]));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        // The PDF printer's driver puts its job header (PJL) before the PDF.
        EXPECT_TRUE(pdf.contains("%PDF-")) << page;
        EXPECT_EQ(pageBoxes(pdf), QStringList{QStringLiteral("595x842")}) << page;
    }
}
