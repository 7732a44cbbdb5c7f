#pragma once

#include "widgets/spread_grid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// The table behind SpreadGrid. Cells are one flat vector of 64-bit words, row after row, column 0 (the row
// header) first. A short ASCII text (codes, quantities, dates: most cells of a list) is kept as bytes, in
// the word itself up to seven characters or in the model's arena; another short text (names in Hangul) is
// kept in the arena as UTF-16; only a text longer than 255 characters is a QString of the model's own that
// shares its characters with the caller's. Filling and clearing a list thus copy characters but count no
// references. Per-row data is a small record whose cell
// properties are allocated only for rows that have any, so an ordinary list of plain texts costs a word a
// cell beyond its longer texts.
//
// The storage is kept when the rows go: a list that is cleared and loaded again (every load) writes into
// memory it already holds instead of taking fresh pages from the system for every load.
//
// Coordinates here are the grid's: rows and columns 1-based, column 0 the row-header column. The model's
// own QModelIndex row r / column c stand for grid row r + 1 / column c + 1.
class SpreadModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Cell properties that can be set on a cell, a row, a column or the sheet. Unset fields fall through
    // to the wider level.
    struct Style {
        std::optional<QColor> back;
        std::optional<QColor> fore;
        std::optional<bool> lock;
        std::optional<bool> bold;
        std::optional<double> fontSize;
        std::optional<SpreadGrid::CellType> type;
        std::optional<SpreadGrid::NumberFormat> number;
        std::optional<SpreadGrid::HAlign> hAlign;
        std::optional<SpreadGrid::VAlign> vAlign;
        std::optional<QString> tag;
    };
    template <typename T>
    using Field = std::optional<T> Style::*;

    explicit SpreadModel(QObject* parent = nullptr);

    int maxRows() const { return m_rows; }
    int maxCols() const { return m_cols; }
    void setMaxRows(int rows);
    void setMaxCols(int cols);

    // Cell text, rows 1..maxRows, columns 0..maxCols (callers check the range).
    QString text(int col, int row) const { return textOf(m_cells[slot(col, row)]); }
    bool isEmpty(int col, int row) const { return m_cells[slot(col, row)] == 0; }
    void setText(int col, int row, const QString& value) {
        Cell& cell = m_cells[slot(col, row)];
        if (cell != 0)
            store(cell, value);
        else if (!value.isEmpty())
            cell = encode(value);  // a list load: every cell starts empty
        m_dataRowCnt = -1;
        if (!m_quiet) emitCellChanged(col, row);
    }
    // Texts of row `row`, columns firstCol.. (callers check the range); one repaint of the row.
    void setRowTexts(int row, int firstCol, std::span<const QString* const> texts);
    // Column-header rows: header row h (0-based), columns 0..maxCols.
    int headerRows() const { return int(m_headers.size()); }
    void setHeaderRows(int rows);
    QString headerText(int col, int headerRow) const;
    void setHeaderText(int col, int headerRow, const QString& value);

    int dataRowCnt() const;

    // Row hidden flag and own height (negative: the height of all rows), kept with the row when rows move.
    bool rowHidden(int row) const { return m_meta[size_t(row - 1)].hidden; }
    void setRowHidden(int row, bool hidden) { m_meta[size_t(row - 1)].hidden = hidden; }
    double rowOwnHeight(int row) const { return m_meta[size_t(row - 1)].height; }
    void setRowOwnHeight(int row, double h) { m_meta[size_t(row - 1)].height = h; }

    // Cell properties, resolved from the most specific level that sets them.
    template <typename T>
    std::optional<T> resolve(Field<T> field, int col, int row) const;
    // Sets a property on a cell, a row (col -1), a column (row -1) or the sheet (both -1), clearing the
    // narrower settings of the same property inside that range.
    template <typename T>
    void assign(Field<T> field, int col, int row, const T& value);

    void setOddEven(const QColor& oddBack, const QColor& oddFore, const QColor& evenBack,
                    const QColor& evenFore);
    QColor rowDefaultBack(int row) const;
    QColor rowDefaultFore(int row) const;
    bool protect() const { return m_protect; }
    void setProtect(bool on) { m_protect = on; }
    bool editable(int col, int row) const;

    void insertGridRows(int row, int count);
    void deleteGridRows(int row, int count);
    // Stable sort of rows 1..maxRows by a column; empty texts last.
    void sortRows(int col, bool ascending);
    // The last sort's order: for each row 1..maxRows after it (index row - 1), the row it came from.
    const std::vector<int>& lastSortOrder() const { return m_lastSortOrder; }

    // Quiet: text changes send no signals (the grid's repainting is off); loud again repaints everything.
    void setQuiet(bool quiet);
    bool quiet() const { return m_quiet; }
    void repaintAll();
    // Repaints what a property set on (col, row) can change: a cell, a row (col -1), a column (row -1),
    // or everything. Painting one row of a long list must not cost a pass over all its rows.
    void repaintArea(int col, int row);

    // The text a cell shows: number cells formatted with their decimals and separators.
    QString displayText(int col, int row) const;

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QColor headerBack;
    QColor headerFore;
    QFont headerFont;
    QFont baseFont;  // the grid's own font, which cell font sizes and bold change
    bool hasHeaderFont = false;

signals:
    void userEdited(int col, int row);

private:
    struct RowStyles {
        Style row;
        std::vector<std::pair<int, Style>> cells;
        Style* cell(int col, bool create);
        const Style* cell(int col) const;
    };
    struct RowMeta {
        bool hidden = false;
        double height = -1;
        std::unique_ptr<RowStyles> styles;
    };

    // A cell's word: 0 is empty; the top two bits say what the rest holds.
    using Cell = std::uint64_t;
    static constexpr int kTagShift = 62;
    static constexpr Cell kInline = 1;  // length in bits 56..59, up to seven ASCII bytes in bits 0..55
    static constexpr Cell kArena =
        2;  // bit 61 set: UTF-16; length in bits 40..55, arena offset in bits 0..39
    static constexpr Cell kString = 3;  // index into m_strings
    static constexpr Cell kWide = Cell(1) << 61;
    static constexpr int kInlineMax = 7;
    static constexpr qsizetype kArenaMax = 255;  // longer texts are QStrings
    static constexpr size_t kBlockBits = 20;     // arena blocks of 1 MB
    static constexpr size_t kBlockSize = size_t(1) << kBlockBits;
    static size_t arenaBytes(Cell cell) { return size_t((cell >> 40) & 0xFFFF) << ((cell & kWide) ? 1 : 0); }

    QString textOf(Cell cell) const;
    void store(Cell& cell, const QString& value);
    // The word for a text that is not empty.
    Cell encode(const QString& value);
    Cell stringCell(const QString& value);
    // Room for `bytes` bytes in the arena (two-byte aligned for UTF-16); `cell` becomes the word that names
    // them, `length` characters of them.
    char* arenaTake(size_t bytes, size_t length, bool wide, Cell& cell);
    // Gives up what a cell holds (its QString slot, its arena bytes); the word itself is left as it was.
    void release(Cell cell);
    void releaseRange(size_t first, size_t end);
    // Forgets every text but keeps the memory for the next ones.
    void clearStorage();
    // Before an empty grid takes `cells` cells: gives back the memory of a far longer list.
    void keepStorageFor(size_t cells);
    // Copies the live arena texts together once most of the arena is texts that were overwritten.
    void compactArena();

    size_t stride() const { return size_t(m_cols) + 1; }
    size_t slot(int col, int row) const { return size_t(row - 1) * stride() + size_t(col); }
    void emitCellChanged(int col, int row);

    int m_rows = 0;
    int m_cols = 0;
    std::vector<Cell> m_cells;
    std::vector<QString> m_strings;
    std::vector<std::uint32_t> m_freeStrings;       // slots of m_strings that no cell uses
    std::vector<std::unique_ptr<char[]>> m_blocks;  // the arena
    size_t m_arenaUsed = 0;                         // offset of the arena's next free byte
    size_t m_arenaGarbage = 0;                      // bytes of texts that were overwritten or dropped
    std::vector<RowMeta> m_meta;
    std::vector<std::vector<QString>> m_headers;  // [header row][column 0..maxCols]
    Style m_sheet;
    std::vector<Style> m_colStyles;  // index 0..maxCols
    Style m_headerStyle;             // row 0
    std::optional<QColor> m_oddBack, m_oddFore, m_evenBack, m_evenFore;
    bool m_protect = true;
    bool m_quiet = false;
    std::vector<int> m_lastSortOrder;
    mutable int m_dataRowCnt = -1;
};

template <typename T>
std::optional<T> SpreadModel::resolve(Field<T> field, int col, int row) const {
    if (row >= 1 && row <= m_rows) {
        if (const RowStyles* rs = m_meta[size_t(row - 1)].styles.get()) {
            if (const Style* c = rs->cell(col); c && (c->*field)) return c->*field;
            if (rs->row.*field) return rs->row.*field;
        }
    }
    if (row == 0 && m_headerStyle.*field) return m_headerStyle.*field;
    if (col >= 0 && col <= m_cols && m_colStyles[size_t(col)].*field) return m_colStyles[size_t(col)].*field;
    return m_sheet.*field;
}

template <typename T>
void SpreadModel::assign(Field<T> field, int col, int row, const T& value) {
    auto clearCellsOf = [&](RowMeta& meta, int onlyCol) {
        if (!meta.styles) return;
        for (auto& [c, s] : meta.styles->cells)
            if (onlyCol < 0 || c == onlyCol) s.*field = std::nullopt;
    };
    if (row == 0) {
        m_headerStyle.*field = value;
    } else if (col == -1 && row == -1) {
        m_sheet.*field = value;
        for (Style& s : m_colStyles) s.*field = std::nullopt;
        for (RowMeta& meta : m_meta) {
            if (meta.styles) meta.styles->row.*field = std::nullopt;
            clearCellsOf(meta, -1);
        }
    } else if (row == -1) {
        if (col < 0 || col > m_cols) return;
        m_colStyles[size_t(col)].*field = value;
        for (RowMeta& meta : m_meta) clearCellsOf(meta, col);
    } else {
        if (row < 1 || row > m_rows) return;
        RowMeta& meta = m_meta[size_t(row - 1)];
        if (!meta.styles) meta.styles = std::make_unique<RowStyles>();
        if (col == -1) {
            meta.styles->row.*field = value;
            clearCellsOf(meta, -1);
        } else if (col >= 0 && col <= m_cols) {
            meta.styles->cell(col, true)->*field = value;
        } else {
            return;
        }
    }
    if (!m_quiet) repaintArea(col, row);
}
