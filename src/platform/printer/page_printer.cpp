#include "platform/printer/page_printer.h"

#include "platform/app_error.h"
#include "platform/app_paths.h"
#include "platform/file_commit.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace page_printer {

namespace {

constexpr long kPrinterError = 482;
constexpr long kFileError = 75;
constexpr int kPdfDpi = 600;

QString fileName(const Job& job, int page) {
    return job.stamp.toString(QStringLiteral("yyyyMMdd_HHmmsszzz")) + QLatin1Char('_') +
           QStringLiteral("%1").arg(job.sheet, 2, 10, QLatin1Char('0')) + QLatin1Char('_') +
           QStringLiteral("%1").arg(page + 1, 3, 10, QLatin1Char('0')) + QStringLiteral(".pdf");
}

// One page as one PDF file, written whole or not at all.
QString writePdfPage(const Job& job, int page, const QString& folder) {
    const QString path = QDir(folder).filePath(fileName(job, page));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDpi);
        writer.setTitle(job.documentName);
        writer.setCreator(QStringLiteral("PeloraOrder"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                         QPageLayout::Millimeter));
        QPainter painter(&writer);
        job.paint(painter, page);
    }
    QString why;
    if (!file_commit::replaceFile(path, bytes, &why))
        throw AppError(kFileError, QStringLiteral("page_printer::printPages"),
                       QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
    return path;
}

void printPage(const Job& job, int page, const QPrinterInfo& info) {
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(job.documentName);
    printer.setFullPage(false);
    QPainter painter;
    const auto refused = [&] {
        return AppError(kPrinterError, QStringLiteral("page_printer::printPages"),
                        info.printerName() + QStringLiteral(": 프린터가 인쇄 작업을 받지 않았습니다."));
    };
    if (!painter.begin(&printer)) throw refused();
    job.paint(painter, page);
    if (!painter.end() || printer.printerState() == QPrinter::Error) throw refused();
}

}  // namespace

QStringList installedPrinterNames() {
    return QPrinterInfo::availablePrinterNames();
}

QString pdfFolder() {
    return QDir(app_paths::dataFolder()).filePath(QStringLiteral("Print"));
}

Outcome printPages(const Job& job) {
    Outcome outcome;
    const bool toPdf = installedPrinterNames().isEmpty();
    QPrinterInfo info;
    QString folder;
    if (toPdf) {
        folder = pdfFolder();
        if (job.pageCount > 0 && !QDir().mkpath(folder))
            throw AppError(kFileError, QStringLiteral("page_printer::printPages"),
                           QDir::toNativeSeparators(folder) + QStringLiteral(": 폴더를 만들 수 없습니다."));
    } else {
        info = QPrinterInfo::printerInfo(job.printerName);
        if (info.isNull()) info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) info = QPrinterInfo::availablePrinters().constFirst();
    }
    for (int page = 0; page < job.pageCount; ++page) {
        if (job.progress && !job.progress(page, job.pageCount)) {
            outcome.cancelled = true;
            break;
        }
        if (toPdf)
            outcome.pdfFiles << writePdfPage(job, page, folder);
        else
            printPage(job, page, info);
    }
    if (job.progress && !outcome.cancelled) job.progress(job.pageCount, job.pageCount);
    return outcome;
}

QString choosePrinter(QWidget* parent, const QString& current) {
    QPrinterInfo info = QPrinterInfo::printerInfo(current);
    if (info.isNull()) info = QPrinterInfo::defaultPrinter();
    QPrinter printer(info);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return printer.printerName();
}

}  // namespace page_printer
