// The print buttons of the main window (주문서, 미리보기, 프린터) and the printer choice.
#include "orders/frm_main.h"

#include "common/app_title.h"
#include "common/msgbox.h"
#include "labels/label_settings.h"
#include "orders/print_command.h"
#include "orders/stored_sheet_printer.h"
#include "platform/dialogs.h"
#include "platform/printer/page_printer.h"
#include "platform/printer/sheet_printer.h"
#include "widgets/form_helpers.h"

#include <QDir>
#include <QFrame>
#include <QPushButton>

// The buttons of the print command's neighbours and their place in the top bar.
void frmMain::CreatePrintButtons() {
    m_btnPreview = new QPushButton(QStringLiteral("미리보기"), pnlTop(0));
    m_btnPreview->setObjectName(QStringLiteral("btnPreview"));
    m_btnPreview->setFocusPolicy(Qt::TabFocus);
    m_btnPrinter = new QPushButton(QStringLiteral("프린터"), pnlTop(0));
    m_btnPrinter->setObjectName(QStringLiteral("btnPrinter"));
    m_btnPrinter->setFocusPolicy(Qt::TabFocus);
    m_btnPrinter->setToolTip(QStringLiteral("주문서를 인쇄할 프린터를 고릅니다"));
    PlacePrintButtons(15180);  // the design width of the client area, until the first resize
    connect(m_btnPrint, &QPushButton::clicked, this, &frmMain::PrintOrderSheet);
    connect(m_btnPreview, &QPushButton::clicked, this, &frmMain::PreviewOrderSheet);
    connect(m_btnPrinter, &QPushButton::clicked, this, &frmMain::ChooseOrderPrinter);
}

void frmMain::PlacePrintButtons(int width) {
    // Left of the query button: slot 6 for the preview, the printer choice beside it.
    PlaceFromRight(m_btnPreview, width, 6, 0);
    setTwipsGeometry(m_btnPreview, twipsLeft(m_btnPreview), 45, 1125, 375);
    PlaceFromRight(m_btnPrinter, width, 7, 0);
    setTwipsGeometry(m_btnPrinter, twipsLeft(m_btnPrinter), 45, 1125, 375);
}

// The list stays as it is while the sheets are recorded, printed and marked, and while the preview is
// open: the watch waits, so that what is marked is what was printed.
void frmMain::PrintOrderSheet() {
    const BusyScope busy(this);
    OrderSheetCommand(*this).Print();
}

void frmMain::PreviewOrderSheet() {
    const BusyScope busy(this);
    OrderSheetCommand(*this).Preview();
}

// Where the next sheet and the next labels go.
QString frmMain::PrinterStatusText() const {
    return QStringLiteral("주문서: ") + sheet_printer::describe(StoredSheetPrinter()) +
           QStringLiteral("\n라벨: ") + label_settings::TargetText(label_settings::Load());
}

// The printers of the print service in a menu at the button, the stored choice and the default printer
// marked; the choice is stored at once for the next sheets.
void frmMain::ChooseOrderPrinter() {
    const QStringList printers = page_printer::installedPrinterNames();
    if (printers.isEmpty()) {
        ShowInfoMsg(QStringLiteral("설치된 프린터가 없습니다. 주문서는 PDF 파일로 저장됩니다.\r\n") +
                    QDir::toNativeSeparators(page_printer::pdfFolder()));
        return;
    }
    const QString chosen = sheet_printer::chooseFromMenu(this, StoredSheetPrinter(), AppTitle());
    if (!chosen.isEmpty()) StoreSheetPrinter(chosen);
}
