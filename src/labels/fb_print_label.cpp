#include "labels/fb_print_label.h"

#include "common/trap.h"
#include "grid/form_ini.h"
#include "grid/spread_helpers.h"
#include "grid/spread_menu.h"
#include "widgets/form_helpers.h"
#include "widgets/form_style.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <iterator>

namespace {

// The window was drawn 15300 by 9195 twips with its frame; its client area is 15180 by 8790.
constexpr int kDesignClientWidth = 15180;
constexpr int kDesignClientHeight = 8790;
constexpr int kTopHeight = 480;
constexpr int kGridTop = 495;

const char16_t* const kHeaders[] = {u"",       u"고객사",   u"제품명",   u"수량",   u"원산지",  u"보관방법",
                                    u"입고일", u"유통기한", u"배송차량", u"제조사", u"특이사항"};
// 원산지 and 유통기한 hold texts like "국내산(강원 평창)" and "제조일로부터 12개월"; the remarks are mostly
// short and scroll within their cell.
const double kWidths[] = {2.5, 12, 16, 10, 14, 9, 16, 16, 8, 10, 18};
static_assert(std::size(kHeaders) == fBPrintLabel::kLastCol && std::size(kWidths) == fBPrintLabel::kLastCol);
static_assert(fBPrintLabel::FieldCol(label_commands::Remarks) == fBPrintLabel::kRemarksCol &&
              fBPrintLabel::FieldCol(label_commands::ReceiveDate) == fBPrintLabel::kReceiveDateCol);

}  // namespace

QString TodayLabelDate() {
    return LabelDate(QDate::currentDate());
}

fBPrintLabel::fBPrintLabel(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fBPrintLabel"));
    setWindowTitle(QStringLiteral("라벨출력"));
    CreateControls();
    ConnectEvents();

    // Load.
    move(0, 0);
    resize(twipsToPixels(kDesignClientWidth, this), twipsToPixels(kDesignClientHeight, this));
    SetFormStyle(this, true);
    m_geometry.load(this);
    SetupGrid();
    FillColumnList();
    m_loading = false;
    Form_Resize();
}

fBPrintLabel::~fBPrintLabel() {
    qApp->removeEventFilter(this);
}

void fBPrintLabel::CreateControls() {
    const QFont guLim(QStringLiteral("굴림"), 9);
    setFont(guLim);
    m_pnlTop0 = makePanel(this, 0);
    setTwipsGeometry(m_pnlTop0, 0, 0, kDesignClientWidth, kTopHeight);

    m_chkAll = new QCheckBox(QStringLiteral("전체선택"), m_pnlTop0);
    m_chkAll->setObjectName(QStringLiteral("chkAll"));
    setTwipsGeometry(m_chkAll, 90, 60, 1020, 360);
    m_lblCopy = new QLabel(QStringLiteral("칼럼복사:"), m_pnlTop0);
    m_lblCopy->setObjectName(QStringLiteral("lblCopy"));
    setTwipsGeometry(m_lblCopy, 1140, 60, 780, 360);
    m_hcField = new QComboBox(m_pnlTop0);
    m_hcField->setObjectName(QStringLiteral("hcField"));
    m_hcField->setProperty("index", 1);
    m_hcField->setEditable(false);
    setTwipsGeometry(m_hcField, 1920, 75, 1200, 330);
    m_htField = new QLineEdit(m_pnlTop0);
    m_htField->setObjectName(QStringLiteral("htField"));
    m_htField->setProperty("index", 1);
    setTwipsGeometry(m_htField, 3150, 75, 1500, 330);

    m_btnCopy = makeButton(m_pnlTop0, QStringLiteral("btnCopy"), QStringLiteral("일괄복사    "));
    setTwipsGeometry(m_btnCopy, 4695, 45, 1050, 375);
    m_btnBlock = makeButton(m_pnlTop0, QStringLiteral("btnBlock"), QStringLiteral("블럭  "));
    m_btnBlock->setCheckable(true);
    setTwipsGeometry(m_btnBlock, 5790, 45, 660, 375);
    m_btnPreview = makeButton(m_pnlTop0, QStringLiteral("btnPreview"), QStringLiteral("미리보기"));
    setTwipsGeometry(m_btnPreview, 6525, 45, 960, 375);
    m_btnPort = makeButton(m_pnlTop0, QStringLiteral("btnPort"), QStringLiteral("포트"));
    setTwipsGeometry(m_btnPort, 7530, 45, 630, 375);

    // Their left edges follow the window's width (Form_Resize).
    m_btnClose = makeButton(m_pnlTop0, QStringLiteral("btnClose"), QStringLiteral("닫기 &C   "));
    m_btnExcel = makeButton(m_pnlTop0, QStringLiteral("btnExcel"), QStringLiteral("엑셀 F8  "));
    m_btnPrint = makeButton(m_pnlTop0, QStringLiteral("btnPrint"), QStringLiteral("인쇄 F7  "));
    m_btnRecDel = makeButton(m_pnlTop0, QStringLiteral("btnRecDel"), QStringLiteral("삭제 F4  "));
    m_btnRowCopy = makeButton(m_pnlTop0, QStringLiteral("btnRowCopy"), QStringLiteral("줄복사   "));
    m_btnRecDelPrint =
        makeButton(m_pnlTop0, QStringLiteral("btnRecDelPrint"), QStringLiteral("인쇄삭제    "));
    int slot = 1;
    for (QPushButton* b : {m_btnClose, m_btnExcel, m_btnPrint, m_btnRecDel, m_btnRowCopy, m_btnRecDelPrint}) {
        setTwipsGeometry(b, 0, 45, 1125, 375);
        PlaceFromRight(b, kDesignClientWidth, slot++);
    }

    m_pnlTop2 = makePanel(this, 2);
    setTwipsGeometry(m_pnlTop2, 0, kGridTop, kDesignClientWidth, kDesignClientHeight - kGridTop);
    m_spList = new SpreadGrid(m_pnlTop2);
    m_spList->setObjectName(QStringLiteral("spList"));
    m_spList->setFont(guLim);
    setTwipsGeometry(m_spList, 45, 45, kDesignClientWidth - 90, kDesignClientHeight - kGridTop - 90);
    m_spList->setMaxCols(kLastCol);
    for (int col = 1; col <= kLastCol; ++col) {
        m_spList->setText(col, 0, QString::fromUtf16(kHeaders[col - 1]));
        m_spList->setColWidth(col, kWidths[col - 1]);
    }
}

void fBPrintLabel::ConnectEvents() {
    qApp->installEventFilter(this);
    connect(m_btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_btnExcel, &QPushButton::clicked, this, &fBPrintLabel::ExportGrid);
    connect(m_btnPrint, &QPushButton::clicked, this, &fBPrintLabel::PrintCheckedRows);
    connect(m_btnRecDel, &QPushButton::clicked, this, &fBPrintLabel::DeleteCheckedRows);
    connect(m_btnRowCopy, &QPushButton::clicked, this, &fBPrintLabel::CopyCheckedRows);
    connect(m_btnRecDelPrint, &QPushButton::clicked, this, &fBPrintLabel::DeletePrintedRows);
    connect(m_btnCopy, &QPushButton::clicked, this, &fBPrintLabel::CopyToCheckedRows);
    connect(m_btnBlock, &QPushButton::toggled, this, &fBPrintLabel::SetBlockSelection);
    connect(m_btnPreview, &QPushButton::clicked, this, &fBPrintLabel::PreviewCheckedRows);
    connect(m_btnPort, &QPushButton::clicked, this, &fBPrintLabel::ChoosePort);
    connect(m_chkAll, &QCheckBox::clicked, this, &fBPrintLabel::CheckAllRows);

    connect(m_spList, &SpreadGrid::clicked, this, [this](int col, int row) {
        if (col == kCheckCol && row >= 1) ToggleCheck(row);
    });
    connect(m_spList, &SpreadGrid::buttonClicked, this, [this](int col, int row) {
        if (col == kCheckCol && row >= 1) m_spList->setActiveCell(kFirstTextCol, row);
    });
    connect(m_spList, &SpreadGrid::blockSelected, this,
            [this](int, int row1, int, int row2) { OnBlockSelected(row1, row2); });
    connect(m_spList, &SpreadGrid::keyDown, this, [this](int keyCode, int shift) {
        if (keyCode != Qt::Key_Return && keyCode != Qt::Key_Enter)
            SpreadShortcutKey(m_spList, keyCode, shift);
    });
    connect(m_spList, &SpreadGrid::mouseUp, this, [this](int button, int, int, int) {
        if (button == SpreadGrid::kRightButton) SpreadPopupMenu(this, m_spList, QString());
    });
    connect(m_spList, &SpreadGrid::colWidthChange, this, [this](int col1, int col2) {
        for (int col = col1; col <= col2; ++col) SaveSpreadColWidth(this, m_spList, col, QString());
    });
    // The entry row stays out of a sort and comes back as the last row.
    connect(m_spList, &SpreadGrid::beforeUserSort, this, [this](int) {
        if (m_spList->maxRows() > 0) RemoveEntryRow();
    });
    connect(m_spList, &SpreadGrid::afterUserSort, this, [this](int col) {
        AddBlankRow();
        m_spList->setActiveCell(col, 1);
    });
}

void fBPrintLabel::SetupGrid() {
    // Editable, always in edit mode; the grid starts empty.
    CommonSpreadDesign(m_spList, false, true, true, true, true);
    // The grid's window was switched to Hangul input here. The input method of this platform keeps the
    // mode the user chose per window; there is nothing to switch, so this step does nothing.
    LockSpreadCol(m_spList, kCheckCol, false, true);
    m_spList->setCellType(kCheckCol, -1, SpreadGrid::CellType::CheckBox);
    m_spList->setColMaxLength(kRemarksCol, kRemarksMaxLength);
}

void fBPrintLabel::FillColumnList() {
    m_hcField->clear();
    for (int col = kFirstTextCol; col <= m_spList->maxCols(); ++col)
        m_hcField->addItem(GetSpreadText(m_spList, col, SpreadGrid::kHeaderRow));
    m_hcField->setCurrentIndex(0);
    m_htField->clear();
}

void fBPrintLabel::AddBlankRow() {
    const int row = m_spList->maxRows() + 1;
    m_spList->setMaxRows(row);
    if (row < 2)
        m_spList->setText(kReceiveDateCol, row, TodayLabelDate());
    else
        m_spList->setText(kReceiveDateCol, row, m_spList->text(kReceiveDateCol, row - 1));
    m_spList->setActiveCell(kFirstTextCol, row);
}

void fBPrintLabel::RemoveEntryRow() {
    m_spList->setMaxRows(m_spList->maxRows() - 1);
}

void fBPrintLabel::RecDelete(int row) {
    const auto step = [](auto&& action) { TrapStep("RecDelete", "fBPrintLabel", action, ProcOwner::Form); };
    step([&] { DeleteSpreadRow(m_spList, row, false, true); });
    step([&] { m_spList->setOperationMode(SpreadGrid::OperationMode::Normal); });
    step([&] { m_spList->refresh(); });
    step([&] { SetFocusIf(m_spList, false); });
}

bool fBPrintLabel::IsChecked(int row) const {
    return m_spList->text(kCheckCol, row) == QLatin1String("1");
}

void fBPrintLabel::ToggleCheck(int row) {
    m_spList->setText(kCheckCol, row, IsChecked(row) ? QString() : QStringLiteral("1"));
}

void fBPrintLabel::CheckActiveRow() {
    const int row = m_spList->activeRow();
    if (row >= 1) m_spList->setText(kCheckCol, row, QStringLiteral("1"));
}

void fBPrintLabel::OnBlockSelected(int row1, int row2) {
    for (int row = row1; row <= row2; ++row) ToggleCheck(row);
}

void fBPrintLabel::SetBlockSelection(bool blockMode) {
    m_btnBlock->setChecked(blockMode);
    m_spList->setEditModePermanent(!blockMode);
    if (isVisible()) {
        m_spList->setReDraw(true);
        SetFocusIf(m_spList, false);
    }
}

bool fBPrintLabel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier) {
            switch (key->key()) {
                case Qt::Key_F4:
                    DeleteCheckedRows();
                    return true;
                case Qt::Key_F7:
                    PrintCheckedRows();
                    return true;
                case Qt::Key_F8:
                    ExportGrid();
                    return true;
                case Qt::Key_Escape:
                    close();
                    return true;
                default:
                    break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void fBPrintLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_loading) Form_Resize();
}

void fBPrintLabel::Form_Resize() {
    const auto client = LayoutTopPanel(
        this, m_pnlTop0, {m_btnClose, m_btnExcel, m_btnPrint, m_btnRecDel, m_btnRowCopy, m_btnRecDelPrint});
    if (!client) return;
    SetWidthWithInner(m_pnlTop2, client->width, m_spList);
    SetHeightToBottom(m_pnlTop2, client->height, m_spList);
}

void fBPrintLabel::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void fBPrintLabel::Form_Unload() {
    m_geometry.saveIfChanged(this);
}
