#include "orders/frm_main.h"

#include "db/mysql_func.h"

#include "common/app_title.h"
#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "grid/form_ini.h"
#include "grid/spread_helpers.h"
#include "grid/spread_menu.h"
#include "orderdata/order_statements.h"
#include "orders/live_watch.h"
#include "orders/tray_notifier.h"
#include "platform/desktop_notifier.h"
#include "platform/program_identity.h"
#include "startup/mod_main.h"
#include "startup/session.h"
#include "widgets/date_box.h"
#include "widgets/form_helpers.h"
#include "widgets/form_style.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {

const QString kProductName = QStringLiteral("(주)라벤푸드 주문서");

// The design size of the window, twips. The window was drawn 15300 by 9195 twips with its frame and title
// bar; the controls fill its client area of 15180 by 8790, which is what is sized here.
constexpr int kDesignClientWidth = 15180;
constexpr int kDesignClientHeight = 8790;

QFont guLim() {
    return QFont(QStringLiteral("굴림"), 9);
}
QFont guLimChe() {
    return QFont(QStringLiteral("굴림체"), 9);
}

QString productCaption() {
    return kProductName + QStringLiteral(" Ver.") + QString::number(program_identity::versionMajor()) +
           QLatin1Char('.') + QString::number(program_identity::versionMinor()) + QLatin1Char('.') +
           QString::number(program_identity::versionRevision());
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    CreateControls();
    CreatePrintButtons();
    DesignGrids();
    ConnectEvents();
    SetupWatch();

    // Load.
    setWindowTitle(productCaption());
    move(0, 0);
    resize(twipsToPixels(kDesignClientWidth, this), twipsToPixels(kDesignClientHeight, this));
    SetFormStyle(this, true);
    SetupGrids();
    InitDateKind();
    m_geometry.load(this);
    m_loading = false;
    Form_Resize();
    RunQuery();
    // The list has the focus: keys like PageDown go to it, never unseen to the date-kind box.
    m_spListO->setFocus(Qt::OtherFocusReason);
}

frmMain::~frmMain() = default;

void frmMain::CreateControls() {
    m_pnlTop0 = makePanel(this, 0);
    setTwipsGeometry(m_pnlTop0, 0, 0, 15180, 480);

    m_cmbField = new QComboBox(m_pnlTop0);
    m_cmbField->setObjectName(QStringLiteral("cmbField"));
    m_cmbField->setProperty("index", 0);
    m_cmbField->setEditable(false);
    m_cmbField->setFont(guLim());
    setTwipsGeometry(m_cmbField, 90, 90, 1455, 315);

    m_hcDate = new DateBox(m_pnlTop0);
    m_hcDate->setObjectName(QStringLiteral("hcDate"));
    m_hcDate->setProperty("index", 0);
    m_hcDate->setFont(guLimChe());
    setTwipsGeometry(m_hcDate, 1620, 45, 1860, 390);

    m_chkAhead = new QCheckBox(QStringLiteral("선발주"), m_pnlTop0);
    m_chkAhead->setObjectName(QStringLiteral("chkAhead"));
    setTwipsGeometry(m_chkAhead, 3600, 45, 960, 375);

    // The buttons' left edges follow the window's width (the resize rules).
    m_btnQuery = makeButton(m_pnlTop0, QStringLiteral("btnQuery"), QStringLiteral("조회 F5  "));
    m_btnLabelPrint = makeButton(m_pnlTop0, QStringLiteral("btnLabelPrint"), QStringLiteral("라벨출력    "));
    m_btnPrint = makeButton(m_pnlTop0, QStringLiteral("btnPrint"), QStringLiteral("주문서   "));
    m_btnExcel = makeButton(m_pnlTop0, QStringLiteral("btnExcel"), QStringLiteral("엑셀 F8  "));
    m_btnClose = makeButton(m_pnlTop0, QStringLiteral("btnClose"), QStringLiteral("닫기 &C   "));
    int slot = 5;
    for (QPushButton* button : {m_btnQuery, m_btnLabelPrint, m_btnPrint, m_btnExcel, m_btnClose}) {
        setTwipsGeometry(button, 0, 45, 1125, 375);
        PlaceFromRight(button, kDesignClientWidth, slot--);
    }

    m_pnlTop2 = makePanel(this, 2);
    setTwipsGeometry(m_pnlTop2, 0, 495, 15180, 8295);

    m_spListO = new SpreadGrid(m_pnlTop2);
    m_spListO->setObjectName(QStringLiteral("spListO"));
    setTwipsGeometry(m_spListO, 45, 45, 7290, 8190);
    m_spList = new SpreadGrid(m_pnlTop2);
    m_spList->setObjectName(QStringLiteral("spList"));
    setTwipsGeometry(m_spList, 7380, 45, 7740, 4095);
    m_spListG = new SpreadGrid(m_pnlTop2);
    m_spListG->setObjectName(QStringLiteral("spListG"));
    setTwipsGeometry(m_spListG, 7380, 4185, 7740, 4050);

    setTabOrder(m_cmbField, m_hcDate);
    setTabOrder(m_hcDate, m_chkAhead);
    setTabOrder(m_chkAhead, m_spListO);
    setTabOrder(m_spListO, m_spList);
    setTabOrder(m_spList, m_spListG);
}

void frmMain::ConnectEvents() {
    qApp->installEventFilter(this);
    connect(m_btnQuery, &QPushButton::clicked, this, &frmMain::RunQuery);
    // A date or a date kind the user changes is queried at once: the list on screen is always the day in
    // the box, so that 주문서 never prints another day's directions.
    connect(m_hcDate, &DateBox::dateEdited, this, &frmMain::OnDateOrKindEdited);
    connect(m_cmbField, &QComboBox::activated, this, &frmMain::OnDateOrKindEdited);
    connect(m_btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_btnExcel, &QPushButton::clicked, this, [this] {
        const BusyScope busy(this);
        ExportOrderLines();
    });
    connect(m_btnLabelPrint, &QPushButton::clicked, this, [this] {
        const BusyScope busy(this);
        ShowLabelList();
    });
    connect(m_spListO, &SpreadGrid::leaveCell, this,
            [this](int, int, int, int newRow) { OnActiveCellMoved(newRow); });
    connect(m_spList, &SpreadGrid::keyDown, this,
            [this](int keyCode, int shift) { SpreadShortcutKey(m_spList, keyCode, shift); });
    connect(m_spList, &SpreadGrid::mouseUp, this, [this](int button, int, int, int) {
        if (button == SpreadGrid::kRightButton) SpreadPopupMenu(this, m_spList, QString());
    });
    connect(m_spList, &SpreadGrid::colWidthChange, this, [this](int col1, int col2) {
        for (int col = col1; col <= col2; ++col) SaveSpreadColWidth(this, m_spList, col, QString());
    });
}

void frmMain::InitDateKind() {
    m_cmbField->clear();
    m_cmbField->addItem(QStringLiteral("납품일"));
    m_cmbField->addItem(QStringLiteral("발주일"));
    m_cmbField->addItem(QStringLiteral("매입일"));
    m_cmbField->setCurrentIndex(0);
    SetDateText(AddDaysText(1, QString()));
}

QString frmMain::DateText() const {
    return m_hcDate->date().toString(QStringLiteral("yyyy-MM-dd"));  // empty when there is no date
}

void frmMain::SetDateText(const QString& text) {
    m_hcDate->setDate(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")));
}

void frmMain::RunQuery() {
    const BusyScope busy(this);
    {
        // A date typed before F5 is taken here; it is this query's, not one more of its own.
        const QScopedValueRollback<bool> committing(m_committingDate, true);
        if (!m_hcDate->commit()) return;
    }
    LoadDirectionList();
    // Cancelled by the user while the server held it: everything stays as before the key press.
    if (DBStatementCancelled()) return;
    UpdateTitle();
    // With the server out of reach its box has been shown once; the other lists would show it again.
    // They are emptied instead, so that none shows the lines of a direction the list no longer holds.
    if (DBConnectionLost()) {
        m_spList->setMaxRows(0);
        m_spListG->setMaxRows(0);
        return;
    }
    LoadOrderLines(-2);
    if (!DBConnectionLost()) LoadProductTotals(-2);
}

void frmMain::OnDateOrKindEdited() {
    if (m_committingDate || m_loading) return;
    // A day stepped or a kind chosen in the top row keeps the focus there, so that the next key steps
    // again; the query key (F5) still hands the focus to the list.
    QWidget* focus = QApplication::focusWidget();
    const bool inTopRow = focus && m_pnlTop0->isAncestorOf(focus);
    RunQuery();
    if (inTopRow && QApplication::focusWidget() != focus) focus->setFocus(Qt::OtherFocusReason);
}

void frmMain::OnActiveCellMoved(int newRow) {
    // Moves that leave the grid (no new row) and the list's own reloads do not reload the other grids.
    if (newRow <= 0 || m_loadingList) return;
    // An arrived direction the user selects has been seen.
    const orderdata::DirectionRow* direction = DirectionAt(newRow);
    if (direction && m_newCodes.remove(direction->code)) MarkNewRows();
    LoadOrderLines(newRow);
    if (!DBConnectionLost()) LoadProductTotals(newRow);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // The printer button's tip says where the next sheet and the next labels go, read when it shows.
    if (event->type() == QEvent::ToolTip && watched == m_btnPrinter)
        m_btnPrinter->setToolTip(PrinterStatusText() + QStringLiteral("\n서버: ") + DBServerInUse());
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool here = static_cast<QWidget*>(watched)->window() == this;
        if (key->key() == Qt::Key_F5 && key->modifiers() == Qt::NoModifier && here) {
            RunQuery();
            return true;
        }
        // PageUp, PageDown and Ctrl+→/← step the day from anywhere in the top row, as in the date box.
        const bool page = (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown) &&
                          key->modifiers() == Qt::NoModifier;
        const bool arrow = (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) &&
                           key->modifiers() == Qt::ControlModifier;
        auto* widget = static_cast<QWidget*>(watched);
        if ((page || arrow) && here && m_pnlTop0->isAncestorOf(widget) && widget != m_hcDate &&
            !m_hcDate->isAncestorOf(widget)) {
            QKeyEvent step(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(m_hcDate->lineEdit(), &step);
            return true;
        }
        // F8 exports, as the 엑셀 button says.
        if (key->key() == Qt::Key_F8 && key->modifiers() == Qt::NoModifier && here) {
            const BusyScope busy(this);
            ExportOrderLines();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_loading) Form_Resize();
}

void frmMain::closeEvent(QCloseEvent* event) {
    const BusyScope busy(this);
    if (ShowQuestionMsg(QStringLiteral("프로그램을 종료하시겠습니까?"), QStringLiteral("프로그램 종료"),
                        true) != kYes) {
        event->ignore();
        return;
    }
    Form_Unload();
    m_watch->setPeriod(0);
    event->accept();
    // The window's end is the session's end.
    DestroyApp();
}

void frmMain::Form_Unload() {
    m_geometry.saveIfChanged(this);
}

void frmMain::SetupWatch() {
    m_watch = new LiveWatch(this);
    m_watch->setBusyCheck([this] { return WatchBusy(); });
    m_watch->setActiveCheck([this] { return isVisible() && DBConn() != nullptr; });
    m_watch->setMarkStatement([this] { return DirectionListMarkSql(); });
    m_watch->setOnChanged([this] { return RefreshDirectionList(); });
    m_watch->setPeriod(LiveWatch::periodFromSettings());
}

bool frmMain::WatchBusy() const {
    // A command of this window, a box or another window over it (the label window is modal), an open
    // menu, or a wait cursor of some work in progress.
    return m_busy > 0 || m_loadingList || m_committingDate || QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr || QApplication::overrideCursor() != nullptr;
}

void frmMain::UpdateTitle() {
    QString title = productCaption() + QStringLiteral(" - ") + m_shown.kind + QLatin1Char(' ') + m_shown.date;
    // The count goes first: a narrow taskbar entry cuts the end of the title off, never its start.
    const int unprinted = UnprintedCount();
    if (unprinted > 0)
        title.prepend(QStringLiteral("[미출력 ") + QString::number(unprinted) + QStringLiteral("] "));
    setWindowTitle(title);
}

void frmMain::SetNotifier(std::unique_ptr<DesktopNotifier> notifier) {
    m_notifier = std::move(notifier);
    if (m_notifier) connect(m_notifier.get(), &DesktopNotifier::activated, this, &frmMain::ShowArrivals);
}

void frmMain::AnnounceArrivals(const QStringList& codes) {
    if (isActiveWindow()) return;  // the user is looking: the coloured rows say it
    QApplication::alert(this);     // the taskbar entry asks for attention
    // The notice names the latest of them: the buyer, its order time and its kind.
    const orderdata::DirectionRow* latest = nullptr;
    for (const QString& code : codes) {
        const orderdata::DirectionRow* direction = DirectionAt(RowOfDirection(code));
        if (direction && (!latest || direction->codeNumber() > latest->codeNumber())) latest = direction;
    }
    if (!latest) return;
    const QString summary = QStringLiteral("새 발주 ") + QString::number(codes.size()) +
                            QStringLiteral("건: ") + latest->buyerName + QLatin1Char(' ') +
                            latest->dtime.left(5) + QLatin1Char(' ') + latest->kind();
    if (!m_notifier) SetNotifier(std::make_unique<NotifierWithTray>(makeSessionNotifier(), this));
    m_announcedCodes = codes;
    m_notifier->notify(AppTitle(), summary.simplified(), QString());
}

void frmMain::ShowArrivals() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    // The first of the announced directions still listed becomes the selected one.
    for (const orderdata::DirectionRow& direction : directions()) {
        if (m_announcedCodes.contains(direction.code)) {
            m_spListO->setActiveCell(m_spListO->activeCol() >= 1 ? m_spListO->activeCol() : 1,
                                     RowOfDirection(direction.code));
            break;
        }
    }
}
