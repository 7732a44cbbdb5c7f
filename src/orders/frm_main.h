#pragma once

#include "grid/form_ini.h"
#include "orderdata/order_lists.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class DesktopNotifier;
class LiveWatch;
class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;
class DateBox;
class SpreadGrid;

// The main window: the buyer's directions of one date in spListO, the order lines of the selected
// direction in spList and the product totals of the buyer's purchase date in spListG, with the commands
// of the top bar. Created after the login; closing it ends the session and the program.
//
// Positions and sizes are twips (the window's design units) and are converted at the widget boundary.
class frmMain : public QWidget {
    Q_OBJECT

public:
    // Builds the window and runs its load sequence: caption, design size, styling, grids, date kinds and
    // tomorrow's date, the stored layout, and the first query (without the empty-result notice, since the
    // window is not visible yet).
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The query command: the direction list, then the lines and totals of its active row. A date typed into
    // hcDate counts first; a text that is no date is refused there and nothing is queried.
    void RunQuery();
    // Reloads the whole direction list of the date kind, the date and the ahead flag.
    void LoadDirectionList();
    // The order lines of a row of spListO (-2: its active row).
    void LoadOrderLines(int row);
    // The product totals of the purchase date for the buyer of a row of spListO (-2: its active row); the
    // totals grid is hidden for the kinds "선발" and "재고".
    void LoadProductTotals(int row);
    // The export command: the order lines of every listed direction into one workbook.
    void ExportOrderLines();
    // The label command: one label row per order line (split where the product's label unit says), then
    // the label window, modal over this one.
    void ShowLabelList();
    // The print command (btnPrint), its preview (btnPreview) and the printer choice (btnPrinter).
    void PrintOrderSheet();
    void PreviewOrderSheet();
    void ChooseOrderPrinter();
    // Where the next sheet and the next labels go: "주문서: <printer>" and "라벨: <port>" on two lines.
    QString PrinterStatusText() const;

    // The quiet watch over the list on screen ([Config] 자동조회초).
    LiveWatch* liveWatch() const { return m_watch; }
    // Where news of arrived directions goes while the window is not active: by default the desktop's
    // notification service of the session, or the tray where there is none.
    void SetNotifier(std::unique_ptr<DesktopNotifier> notifier);
    // The listed directions that arrived since the user last looked and were not selected since.
    QStringList NewDirectionCodes() const;
    // The listed directions not marked "출력", which the title counts.
    int UnprintedCount() const;

    // The rows the grids show, in the grids' order (a sort by a header click sorts them too).
    const std::vector<orderdata::DirectionRow>& directions() const { return m_directions; }
    const std::vector<orderdata::OrderLineRow>& orderLines() const { return m_lines; }
    // The direction of a row of spListO (-2: its active row); null when there is none.
    const orderdata::DirectionRow* DirectionAt(int row) const;
    // The row of spListO that holds a direction, 0 when none does.
    int RowOfDirection(const QString& code) const;
    // A direction's sheet came out and the server holds its mark: its row shows "출력".
    void ShowPrinted(const QString& code);

    // The date box's date as "yyyy-mm-dd" (empty when it holds none).
    QString DateText() const;
    void SetDateText(const QString& text);

    QComboBox* cmbField() const { return m_cmbField; }
    DateBox* hcDate() const { return m_hcDate; }
    QCheckBox* chkAhead() const { return m_chkAhead; }
    QPushButton* btnQuery() const { return m_btnQuery; }
    QPushButton* btnLabelPrint() const { return m_btnLabelPrint; }
    QPushButton* btnPrint() const { return m_btnPrint; }
    QPushButton* btnExcel() const { return m_btnExcel; }
    QPushButton* btnPreview() const { return m_btnPreview; }
    QPushButton* btnPrinter() const { return m_btnPrinter; }
    QPushButton* btnClose() const { return m_btnClose; }
    QFrame* pnlTop(int index) const { return index == 0 ? m_pnlTop0 : m_pnlTop2; }
    SpreadGrid* spListO() const { return m_spListO; }
    SpreadGrid* spList() const { return m_spList; }
    SpreadGrid* spListG() const { return m_spListG; }

protected:
    // F5 runs the query and F8 the export wherever the focus is in this window: the window sees keys
    // before its controls.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Asks before closing; on Yes saves the layout when it changed and ends the session.
    void closeEvent(QCloseEvent* event) override;

private:
    // What the direction list on screen was read for: the watch asks about this list, not about what the
    // date controls hold now.
    struct ShownList {
        QString kind;
        QString dateColumn;
        QString date;
        bool ahead = false;
        bool operator==(const ShownList&) const = default;
        QString key() const {
            return kind + QLatin1Char('|') + date + (ahead ? QStringLiteral("|>") : QString());
        }
    };
    // Counts a command of this window as running: the watch waits for its end.
    class BusyScope {
    public:
        explicit BusyScope(frmMain* window) : m_window(window) { ++m_window->m_busy; }
        ~BusyScope() { --m_window->m_busy; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        frmMain* m_window;
    };

    void CreateControls();
    void CreatePrintButtons();
    void PlacePrintButtons(int width);
    void DesignGrids();
    void SetupGrids();
    void InitDateKind();
    void ConnectEvents();
    // The resize rules: the bars take the full width, the buttons stand from the right edge, the grids
    // fill the grid area (the order lines take its whole height when the totals are hidden).
    void Form_Resize();
    void Form_Unload();
    // The steps every list of the window loads by: the rows `read` returns replace `rows` and are drawn
    // into the grid, the active cell stays where it was, an empty result says so in the floating notice.
    // False when the user cancelled the statement: the rows and the grid stay as they were.
    template <class Row>
    bool LoadList(SpreadGrid* grid, const char* procedure, std::vector<Row>& rows,
                  const std::function<orderdata::ListResult<Row>()>& read,
                  void (*draw)(SpreadGrid*, const std::vector<Row>&));
    // Whether a direction of this kind has product totals ("선발" and "재고" have none).
    static bool HasTotals(const orderdata::DirectionRow* direction);
    void OnActiveCellMoved(int newRow);
    // The user changed the date or the date kind: the list follows at once.
    void OnDateOrKindEdited();

    // The watch.
    void SetupWatch();
    bool WatchBusy() const;
    ShownList CurrentListArguments() const;
    QString DirectionListMarkSql() const;
    // Re-reads the list on screen after the watch saw it change, keeping the selected direction, the
    // scroll position and the lines and totals shown; false when the server could not be asked.
    bool RefreshDirectionList();
    QStringList listedCodes() const;
    // Colours the rows of directions that arrived since the user last looked.
    void MarkNewRows();
    // The caption with the date of the list and its unprinted directions.
    void UpdateTitle();
    // Tells a user who is elsewhere that directions arrived.
    void AnnounceArrivals(const QStringList& codes);
    // The user clicked the notice: the window comes up with the arrived directions selected.
    void ShowArrivals();

    QFrame* m_pnlTop0 = nullptr;
    QFrame* m_pnlTop2 = nullptr;
    QComboBox* m_cmbField = nullptr;
    DateBox* m_hcDate = nullptr;
    QCheckBox* m_chkAhead = nullptr;
    QPushButton* m_btnQuery = nullptr;
    QPushButton* m_btnLabelPrint = nullptr;
    QPushButton* m_btnPrint = nullptr;
    QPushButton* m_btnExcel = nullptr;
    QPushButton* m_btnClose = nullptr;
    QPushButton* m_btnPreview = nullptr;
    QPushButton* m_btnPrinter = nullptr;
    SpreadGrid* m_spListO = nullptr;
    SpreadGrid* m_spList = nullptr;
    SpreadGrid* m_spListG = nullptr;

    // What the grids show: every value a command acts on is read here.
    std::vector<orderdata::DirectionRow> m_directions;
    std::vector<orderdata::OrderLineRow> m_lines;
    std::vector<orderdata::ProductTotalRow> m_totals;

    FormGeometry m_geometry;  // the place and size the layout file gave at load
    bool m_loading = true;
    // Set while the direction list is rebuilt: its own cursor moves do not reload the other grids, the
    // query command loads them once afterwards.
    bool m_loadingList = false;
    bool m_committingDate = false;  // the query itself takes a typed date

    LiveWatch* m_watch = nullptr;
    ShownList m_shown;
    QSet<QString> m_newCodes;  // codes of arrived directions not selected yet, of the list shown
    // The same of the other lists the user looked at (by date kind, date and ahead flag): arrivals stay
    // coloured until selected, also after a look at another day.
    QHash<QString, QSet<QString>> m_newCodesElsewhere;
    QStringList m_announcedCodes;  // the arrivals of the last notice
    int m_busy = 0;                // commands of this window running
    std::unique_ptr<DesktopNotifier> m_notifier;
};
