#include "platform/printer/sheet_printer.h"

#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "platform/printer/page_printer.h"
#include "platform/printer/print_service.h"

#include <QDir>

namespace sheet_printer {

namespace {

// Commands of the raw queues in the printer menu, apart from the sheet printers' 1, 2, ...
constexpr int kRawCommands = 1000;

void tell(const QString& text, const QString& title) {
    Dialogs::MessageBox box;
    box.text = text;
    box.title = title;
    box.icon = Dialogs::Icon::Information;
    dialogs().messageBox(box);
}

}  // namespace

bool isSheetPrinter(const QString& name) {
    return !print_service::isRawQueue(name);
}

QStringList sheetPrinterNames() {
    QStringList names;
    for (const QString& name : page_printer::installedPrinterNames())
        if (isSheetPrinter(name)) names << name;
    return names;
}

QStringList rawQueues(const QStringList& queues) {
    QStringList raw;
    for (const QString& queue : queues)
        if (print_service::isRawQueue(queue)) raw << queue;
    return raw;
}

Target resolve(const QString& chosen) {
    const QStringList installed = page_printer::installedPrinterNames();
    if (installed.isEmpty()) return {Target::Kind::Pdf, QString(), false};
    if (!chosen.isEmpty() && installed.contains(chosen))
        return {isSheetPrinter(chosen) ? Target::Kind::Printer : Target::Kind::Raw, chosen, false};
    const bool replaced = !chosen.isEmpty();
    const QString standard = page_printer::defaultPrinterName();
    if (installed.contains(standard) && isSheetPrinter(standard))
        return {Target::Kind::Printer, standard, replaced};
    // No usable default: the first queue by name is no answer (it is often the label printer's). One
    // sheet printer leaves nothing to choose; several are the clerk's choice.
    const QStringList sheets = sheetPrinterNames();
    if (sheets.isEmpty()) return {Target::Kind::Pdf, QString(), false};
    if (sheets.size() == 1) return {Target::Kind::Printer, sheets.constFirst(), replaced};
    return {Target::Kind::Choose, QString(), false};
}

QString rawRefusal(const QString& printer) {
    return QStringLiteral(
               "%1은(는) 라벨 프린터(raw 대기열)입니다. 주문서를 보내면 라벨 용지에 알 수 없는 "
               "글자가 찍힙니다. [프린터] 버튼에서 주문서를 인쇄할 프린터를 고르세요.")
        .arg(printer);
}

QString describe(const QString& chosen) {
    const Target target = resolve(chosen);
    switch (target.kind) {
        case Target::Kind::Pdf:
            return QStringLiteral("PDF 파일 (") + QDir::toNativeSeparators(page_printer::pdfFolder()) +
                   QLatin1Char(')');
        case Target::Kind::Choose:
            return QStringLiteral("정해지지 않음 (첫 주문서에서 고릅니다)");
        case Target::Kind::Raw:
            return target.printer + QStringLiteral(" (") + kRawMark +
                   QStringLiteral(": 주문서를 보내지 않음)");
        case Target::Kind::Printer:
            break;
    }
    if (target.replaced)
        return target.printer + QStringLiteral(" (선택한 ") + chosen + QStringLiteral(" 없음)");
    return target.printer;
}

QString chooseFromMenu(QWidget* owner, const QString& current, const QString& title) {
    const QStringList installed = page_printer::installedPrinterNames();
    QStringList sheets;
    QStringList raw;
    for (const QString& name : installed) (isSheetPrinter(name) ? sheets : raw) << name;
    const Target target = resolve(current);
    const QString inUse = target.kind == Target::Kind::Printer ? target.printer : QString();
    const QString standard = page_printer::defaultPrinterName();
    QList<Dialogs::MenuItem> items;
    for (int i = 0; i < sheets.size(); ++i) {
        QString caption = sheets[i];
        if (sheets[i] == standard) caption += QStringLiteral(" (기본 프린터)");
        if (sheets[i] == inUse) caption = QStringLiteral("✓ ") + caption;
        items.append({i + 1, caption});
    }
    if (!sheets.isEmpty() && !raw.isEmpty()) items.append({0, QString()});
    for (int i = 0; i < raw.size(); ++i)
        items.append({kRawCommands + i, raw[i] + QStringLiteral(" - ") + kRawMark});
    const int command = dialogs().popupMenu(owner, items);
    if (command >= 1 && command <= sheets.size()) return sheets[command - 1];
    if (command >= kRawCommands && command < kRawCommands + raw.size())
        tell(rawRefusal(raw[command - kRawCommands]), title);
    return QString();
}

QString settle(const QString& chosen, QWidget* owner, const QString& title,
               const std::function<void(const QString&)>& store, bool* declined) {
    *declined = false;
    const Target target = resolve(chosen);
    if (target.kind == Target::Kind::Raw)
        throw page_printer::PrinterFailure(
            QStringLiteral("sheet_printer::settle"),
            QStringLiteral("프린터 \"") + target.printer + QStringLiteral("\": 라벨 프린터(raw 대기열)"),
            rawRefusal(target.printer));
    if (target.kind != Target::Kind::Choose) return chosen;
    tell(QStringLiteral("주문서를 인쇄할 프린터가 정해져 있지 않습니다. 다음 목록에서 프린터를 고르세요.\r\n"
                        "고른 프린터는 저장되며, [프린터] 버튼에서 바꿀 수 있습니다."),
         title);
    const QString picked = chooseFromMenu(owner, chosen, title);
    if (picked.isEmpty()) {
        *declined = true;
        return QString();
    }
    store(picked);
    return picked;
}

}  // namespace sheet_printer
