#include "platform/printer/page_printer.h"

#include "platform/app_error.h"
#include "platform/app_paths.h"
#include "platform/file_commit.h"
#include "platform/outward_text.h"
#include "platform/printer/print_service.h"
#include "platform/printer/sheet_printer.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace page_printer {

namespace {

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
        writer.setTitle(outward_text::controlsAsBlanks(job.documentName));
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

PrinterFailure printerError(const QString& printer, const QString& why) {
    return PrinterFailure(QStringLiteral("page_printer::printPages"),
                          QStringLiteral("프린터 \"") + printer + QStringLiteral("\": ") + why,
                          print_service::advice(printer, why));
}

// The job's name in the queue: one line (a line break would split the service's page log), and short
// enough for the service to keep whole with its page number.
QString jobTitle(const Job& job, int page) {
    const QString suffix = QStringLiteral(" (") + QString::number(page + 1) + QLatin1Char('/') +
                           QString::number(job.pageCount) + QLatin1Char(')');
    const int room = outward_text::kJobNameBytes - int(suffix.toUtf8().size());
    return outward_text::cutToUtf8(outward_text::controlsAsBlanks(job.documentName), room) + suffix;
}

void printPage(const Job& job, int page, const QPrinterInfo& info) {
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobTitle(job, page));
    // A4 portrait from the paper's edge, whatever the queue's default paper and printable area: the sheet
    // is laid out for A4, and a Letter page would cut its foot. The page size also goes to the service as
    // the job's paper.
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&printer))
        throw printerError(info.printerName(), QStringLiteral("인쇄 작업을 시작할 수 없습니다."));
    job.paint(painter, page);
    // Ending the painter hands the job to the print service; whether it went in, only the service knows.
    const bool ended = painter.end();
    const QString why = print_service::lastSubmissionFailure();
    if (!why.isEmpty()) throw printerError(info.printerName(), why);
    if (!ended || printer.printerState() == QPrinter::Error)
        throw printerError(info.printerName(), QStringLiteral("프린터가 인쇄 작업을 받지 않았습니다."));
}

}  // namespace

QStringList installedPrinterNames() {
    return QPrinterInfo::availablePrinterNames();
}

QString defaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

QString printerFor(const QString& name) {
    const sheet_printer::Target target = sheet_printer::resolve(name);
    return target.kind == sheet_printer::Target::Kind::Pdf ? QString() : target.printer;
}

QString adviceFor(const AppError& e) {
    const auto* failure = dynamic_cast<const PrinterFailure*>(&e);
    return failure ? failure->advice() : QString();
}

QString pdfFolder() {
    return QDir(app_paths::dataFolder()).filePath(QStringLiteral("Print"));
}

Outcome printPages(const Job& job) {
    Outcome outcome;
    // A raw queue (a label printer's) never gets a page, and none is guessed when nothing is chosen.
    const sheet_printer::Target target = sheet_printer::resolve(job.printerName);
    if (target.kind == sheet_printer::Target::Kind::Raw && job.pageCount > 0)
        throw PrinterFailure(
            QStringLiteral("page_printer::printPages"),
            QStringLiteral("프린터 \"") + target.printer + QStringLiteral("\": 라벨 프린터(raw 대기열)"),
            sheet_printer::rawRefusal(target.printer));
    if (target.kind == sheet_printer::Target::Kind::Choose && job.pageCount > 0) {
        const QString why = QStringLiteral(
            "주문서를 인쇄할 프린터가 정해져 있지 않습니다. [프린터] 버튼에서 "
            "프린터를 고르세요.");
        throw PrinterFailure(QStringLiteral("page_printer::printPages"), why, why);
    }
    outcome.printer = target.kind == sheet_printer::Target::Kind::Pdf ? QString() : target.printer;
    const bool toPdf = outcome.printer.isEmpty();
    QPrinterInfo info;
    QString folder;
    if (toPdf) {
        if (!job.printerName.isEmpty() && job.pageCount > 0) {
            const QString why = print_service::unreachable();
            if (!why.isEmpty()) throw printerError(job.printerName, why);
        }
        folder = pdfFolder();
        if (job.pageCount > 0 && !QDir().mkpath(folder))
            throw AppError(kFileError, QStringLiteral("page_printer::printPages"),
                           QDir::toNativeSeparators(folder) + QStringLiteral(": 폴더를 만들 수 없습니다."));
    } else {
        outcome.printerReplaced = outcome.printer != job.printerName && !job.printerName.isEmpty();
        info = QPrinterInfo::printerInfo(outcome.printer);
        // A printer that refuses jobs is told before anything is drawn; a refusal that comes while the pages
        // go out is caught page by page.
        if (job.pageCount > 0) {
            const QString why = print_service::refusal(outcome.printer);
            if (!why.isEmpty()) throw printerError(outcome.printer, why);
        }
    }
    for (int page = 0; page < job.pageCount; ++page) {
        if (job.progress && !job.progress(page, job.pageCount)) {
            outcome.cancelled = true;
            break;
        }
        QString file;
        if (toPdf) {
            file = writePdfPage(job, page, folder);
            outcome.pdfFiles << file;
        } else {
            printPage(job, page, info);
        }
        ++outcome.pagesSent;
        if (job.pageSent) job.pageSent(page, file);
    }
    if (job.progress && !outcome.cancelled) job.progress(job.pageCount, job.pageCount);
    return outcome;
}

}  // namespace page_printer
