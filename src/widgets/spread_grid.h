#pragma once

#include <QColor>
#include <QString>
#include <QTableView>

#include <map>
#include <span>
#include <vector>

class SpreadModel;
class QAbstractButton;
class QEvent;
class QKeyEvent;
class QMouseEvent;

// The spreadsheet grid behind every list of the program. Every window and grid service addresses it the
// same way:
//   - rows and columns are 1-based; row 0 is the column-header row and column 0 the row-header column;
//   - -1 as a column or row addresses every column or every row of the cell properties;
//   - rows -1000, -999, ... address the first, second, ... column-header row (getText/setText);
//   - column widths are in the grid's character units, row heights in points; the conversion to pixels
//     stays inside this class.
// Texts live in one flat table (see SpreadModel); a 100,000-row list costs one QString per cell.
//
// Cell properties (colour, lock, font, cell type, tag) can be set on one cell, a row (column -1), a
// column (row -1) or the whole sheet (both -1). The most specific setting wins: cell, then row, then
// column, then sheet; setting a wider range clears the narrower settings of the same property inside it.
class SpreadGrid : public QTableView {
    Q_OBJECT

public:
    // Header addressing of getText/setText: kHeaderRow + 0 is the first column-header row.
    static constexpr int kHeaderRow = -1000;
    // Shift-state bits of keyDown and mouseUp, as the windows test them.
    static constexpr int kShiftMask = 1;
    static constexpr int kCtrlMask = 2;
    static constexpr int kAltMask = 4;
    // Mouse buttons of mouseUp.
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    static constexpr int kMiddleButton = 4;

    enum class CellType { Edit = 1, StaticText = 5, Button = 7, CheckBox = 10, Number = 13 };
    enum class HAlign { Left = 0, Right = 1, Center = 2 };
    enum class VAlign { Top = 0, Bottom = 1, Center = 2 };
    // 0 normal (cells, blocks when allowed), 3 single-row selection.
    enum class OperationMode { Normal = 0, ReadOnly = 1, RowMode = 2, SingleSelect = 3 };
    // How a number cell shows its value.
    struct NumberFormat {
        int decPlaces = 2;
        bool showSep = false;
        double min = -99999999.0;
        double max = 99999999.0;
        bool negRed = false;
        bool operator==(const NumberFormat&) const = default;
    };
    // Search flags of searchRow/searchCol: whole-cell match is 0.
    static constexpr int kSearchPartial = 2;
    static constexpr int kSearchCaseSensitive = 8;

    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    // --- size and cursor ---
    int maxRows() const;
    void setMaxRows(int rows);
    int maxCols() const;
    void setMaxCols(int cols);
    // The last row that holds a text in any column (0 when none).
    int dataRowCnt() const;
    int activeRow() const;  // 0 when no cell is active
    int activeCol() const;
    void setActiveCell(int col, int row);
    int topRow() const;
    void setTopRow(int row);
    int colHeaderRows() const;
    void setColHeaderRows(int rows);

    // --- cell text ---
    // False when there is nothing to read: an empty cell or one outside the grid.
    bool getText(int col, int row, QString& value) const;
    QString text(int col, int row) const;
    void setText(int col, int row, const QString& value);
    // One data row's texts from column firstCol on, as a list load writes them (texts past the last column
    // are left out): what setText does for each, in one call.
    void setRowTexts(int row, int firstCol, std::span<const QString* const> texts);
    // Empties the texts of a block of cells (-1 for every column or row).
    void clearRange(int col, int row, int col2, int row2);

    // --- layout ---
    double colWidth(int col) const;  // col 0: the row-header column
    void setColWidth(int col, double chars);
    double rowHeight(int row) const;  // row -1: the height of all rows; row 0: the header row
    void setRowHeight(int row, double points);
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    bool rowHeadersShow() const;
    void setRowHeadersShow(bool show);
    bool colHeadersShow() const;
    void setColHeadersShow(bool show);
    double fontSize(int col, int row) const;
    void setFontSize(int col, int row, double points);
    bool fontBold(int col, int row) const;
    void setFontBold(int col, int row, bool bold);
    // Converts between the grid's units and pixels on this screen.
    int colWidthToPixels(double chars) const;
    double pixelsToColWidth(int pixels) const;
    int rowHeightToPixels(double points) const;
    double pixelsToRowHeight(int pixels) const;

    // --- cell look and editing ---
    QColor backColor(int col, int row) const;  // invalid when nothing was set (odd/even colours apply)
    void setBackColor(int col, int row, const QColor& color);
    QColor foreColor(int col, int row) const;
    void setForeColor(int col, int row, const QColor& color);
    bool lock(int col, int row) const;
    void setLock(int col, int row, bool locked);
    QString cellTag(int col, int row) const;
    void setCellTag(int col, int row, const QString& tag);
    CellType cellType(int col, int row) const;
    void setCellType(int col, int row, CellType type);
    NumberFormat typeNumber(int col, int row) const;
    void setTypeNumber(int col, int row, const NumberFormat& format);
    HAlign typeHAlign(int col, int row) const;
    void setTypeHAlign(int col, int row, HAlign align);
    VAlign typeVAlign(int col, int row) const;
    void setTypeVAlign(int col, int row, VAlign align);
    // Maximum number of characters typed into the cells of a column (0: no limit).
    int colMaxLength(int col) const;
    void setColMaxLength(int col, int length);
    // An active cell is always in edit mode (when it may be edited).
    bool editModePermanent() const;
    void setEditModePermanent(bool on);
    // The editor replaces the cell text (selects all) instead of appending.
    bool editModeReplace() const;
    void setEditModeReplace(bool on);
    // Locked cells can be edited only while protection is off.
    bool protect() const;
    void setProtect(bool on);
    // Whether a cell may be edited now: not locked (or unprotected) and an editable cell type.
    bool isCellEditable(int col, int row) const;

    // --- rows ---
    // Inserts empty rows before `row`; the row count stays, the last rows drop off the end.
    void insertRows(int row, int count);
    // Deletes rows; the rows below move up and empty rows fill the end, so the row count stays.
    void deleteRows(int row, int count);

    // --- search ---
    // The first column after colStart (up to colEnd, -1 = the last) whose text matches, or -1.
    int searchRow(int row, int colStart, int colEnd, const QString& text, int flags) const;
    // The first row after rowStart (up to rowEnd, -1 = the last) whose text matches, or -1.
    int searchCol(int col, int rowStart, int rowEnd, const QString& text, int flags) const;

    // --- painting ---
    // While off, the grid is not repainted and changes are gathered; switching it on paints once.
    bool reDraw() const;
    void setReDraw(bool on);
    void refresh();

    // --- export ---
    // Writes rows 1..dataRowCnt and columns 1..maxCols as an Excel 97-2003 workbook (.XLS) with one sheet,
    // and a text log of the export. False, with the reason in the log, on any failure; no workbook is left
    // behind then.
    bool exportToExcel(const QString& file, const QString& sheetName, const QString& logFile);
    bool exportExcelBook(const QString& file, const QString& logFile);
    // The reason of the last failed export (empty after a success).
    QString lastExportError() const;
    // The format's limits.
    static constexpr int kXlsMaxRows = 65536;
    static constexpr int kXlsMaxCols = 256;

    // --- design ---
    OperationMode operationMode() const;
    void setOperationMode(OperationMode mode);
    // 0: no block selection; any other value allows selecting blocks of cells.
    int selectBlockOptions() const;
    void setSelectBlockOptions(int options);
    // 1: a click on a column header sorts by that column (beforeUserSort/afterUserSort).
    int userColAction() const;
    void setUserColAction(int action);
    QColor shadowColor() const;  // header background
    void setShadowColor(const QColor& color);
    QColor shadowText() const;  // header text
    void setShadowText(const QColor& color);
    QColor selBackColor() const;
    void setSelBackColor(const QColor& color);
    // 0: no tips; otherwise a text cut off by its column shows whole as a tooltip.
    int textTip() const;
    void setTextTip(int mode);
    // The text that the tip of a cell shows: its whole text when tips are on and the column cuts it off,
    // otherwise empty.
    QString textTipOf(int col, int row) const;
    void setOddEvenRowColor(const QColor& oddBack, const QColor& oddFore, const QColor& evenBack,
                            const QColor& evenFore);
    // The background a row shows when no colour was set on it (the odd/even colours, else white).
    QColor rowDefaultBackColor(int row) const;
    bool noBeep() const;
    void setNoBeep(bool on);

    // Sorts rows 1..maxRows by a column (what a header click does); stable, numbers compared as numbers,
    // empty cells last.
    void sortRows(int col, bool ascending);
    // After a sort (afterUserSort): for each row 1..maxRows, at index row - 1, the row it held before, so
    // that whoever keeps data beside the rows can follow them.
    const std::vector<int>& lastSortOrder() const;

    SpreadModel* spreadModel() const { return m_model; }

signals:
    // The active cell moved (programmatic moves included); new row 0 when no cell is active any more.
    void leaveCell(int col, int row, int newCol, int newRow);
    // A key went down while the grid had the focus: Qt key code and the shift state (kShiftMask...).
    void keyDown(int keyCode, int shift);
    // A mouse button was released over the grid: kLeftButton, kRightButton or kMiddleButton.
    void mouseUp(int button, int shift, int x, int y);
    // The user dragged column edges: the first and last column whose width changed.
    void colWidthChange(int col1, int col2);
    // A cell (or a header: row 0 / column 0) was clicked.
    void clicked(int col, int row);
    void dblClick(int col, int row);
    // A button or check-box cell was clicked (the grid does not change its text itself).
    void buttonClicked(int col, int row);
    // The user selected a block of more than one cell with the mouse.
    void blockSelected(int col, int row, int col2, int row2);
    // A header click is about to sort by `col`; handlers may still change the rows.
    void beforeUserSort(int col);
    void afterUserSort(int col);
    // The user changed a cell's text in the editor.
    void change(int col, int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void applySelectionBehaviour();
    void applyHeaderColors();
    void applyColumnWidth(int col);
    int textMargin() const;
    bool isNumberColumn(int col) const;
    void fitNumberColumns();
    void fitNumberColumn(int col, int firstRow, int lastRow);
    void syncRowsFromModel();
    void onHeaderClicked(int section);
    void onSectionResized(int section, int oldSize, int newSize);
    void openEditorIfPermanent();
    void paintCorner();

    SpreadModel* m_model = nullptr;
    QAbstractButton* m_corner = nullptr;  // the view's corner above the row numbers
    int m_headerRows = 1;
    std::vector<double> m_colWidths;  // index 0: row-header column
    double m_defaultColWidth = 8.0;
    double m_rowHeight = 12.0;                 // all rows
    static constexpr int kRowTextPadding = 2;  // pixels above and below a line of text in a row
    double m_headerHeight = 12.0;
    bool m_editPermanent = false;
    bool m_editReplace = false;
    OperationMode m_operationMode = OperationMode::Normal;
    int m_selectBlockOptions = 15;
    int m_userColAction = 0;
    int m_textTip = 0;
    bool m_noBeep = false;
    QColor m_shadowColor;
    QColor m_shadowText;
    QColor m_selBackColor;
    int m_sortCol = 0;
    bool m_sortAscending = true;
    bool m_settingWidth = false;
    int m_resizedFirst = 0;
    int m_resizedLast = 0;
    QModelIndex m_pressIndex;
    const QEvent* m_editorKey = nullptr;  // a key already reported by the cell editor, on its way up
    QString m_lastExportError;
    std::map<int, int> m_colMaxLength;
    friend class SpreadDelegate;
};
