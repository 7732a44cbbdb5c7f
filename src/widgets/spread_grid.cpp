#include "widgets/spread_grid.h"

#include "widgets/form_helpers.h"
#include "widgets/spread_model.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Style = SpreadModel::Style;

int shiftState(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= SpreadGrid::kShiftMask;
    if (m & Qt::ControlModifier) s |= SpreadGrid::kCtrlMask;
    if (m & Qt::AltModifier) s |= SpreadGrid::kAltMask;
    return s;
}

// Pixels of one character unit of column width at 96 dpi, and the cell's padding.
constexpr double kCharPixels = 7.0;
constexpr double kWidthPadding = 5.0;
// Pixels of a cell's width that its text cannot use: the margins the style keeps on either side (the
// grid line takes one more).
constexpr int kCellTextMargin = 6;

// The grid's headers have a fixed thickness: the row-number column its width in characters, the header
// rows their height. The view still asks them for the size their texts would need whenever it lays out
// its rows, and a plain header measures up to 200 of its section texts for that answer after every change
// of the row count: more than all the rest of loading a short list. A header of fixed thickness answers
// with that thickness.
class SpreadHeader : public QHeaderView {
public:
    SpreadHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
        setSectionsClickable(true);
    }

    QSize sizeHint() const override {
        if (orientation() == Qt::Vertical && minimumWidth() == maximumWidth())
            return {minimumWidth(), defaultSectionSize()};
        if (orientation() == Qt::Horizontal && minimumHeight() == maximumHeight())
            return {defaultSectionSize(), minimumHeight()};
        return QHeaderView::sizeHint();
    }
};

}  // namespace

// The editor of a cell: the column's text limit, replace mode, and the grid's key-down event for keys
// typed while the editor has the focus.
class SpreadDelegate : public QStyledItemDelegate {
public:
    explicit SpreadDelegate(SpreadGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const int limit = m_grid->colMaxLength(index.column() + 1);
            if (limit > 0) edit->setMaxLength(limit);
        }
        return w;
    }

    // Most cells of a long list are plain texts on their row's colour: they are drawn directly, without
    // the style's general item drawing (decorations, check marks, text layout), which would cost more
    // than all the rest of showing the list. Selected and focused cells, check boxes and buttons, and
    // texts with control characters are drawn by the style as before.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!drawsPlainly(option, index)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        if (hasControlCharacters(text)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QVariant back = index.data(Qt::BackgroundRole);
        if (back.isValid()) painter->fillRect(option.rect, back.value<QBrush>());
        if (text.isEmpty()) return;
        const QVariant fontValue = index.data(Qt::FontRole);
        const QFont font = fontValue.isValid() ? fontValue.value<QFont>().resolve(option.font) : option.font;
        const QVariant fore = index.data(Qt::ForegroundRole);
        const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        // The style keeps a margin on either side of an item's text.
        const int margin = m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1;
        const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
        const QFontMetrics fm(font);
        painter->save();
        painter->setFont(font);
        painter->setPen(fore.isValid() ? fore.value<QBrush>().color() : option.palette.color(QPalette::Text));
        painter->drawText(textRect, int(align) | Qt::TextSingleLine,
                          fm.elidedText(text, Qt::ElideRight, textRect.width()));
        painter->restore();
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        QStyledItemDelegate::setEditorData(editor, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            if (m_grid->editModeReplace())
                edit->selectAll();
            else
                edit->setCursorPosition(int(edit->text().size()));
        }
    }

    // A key the editor kept for itself never reaches the grid, so the mark of a reported key would stay
    // behind; a later key sent to the grid itself may reuse the same address and must not be taken for it.
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        m_grid->m_editorKey = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            m_grid->m_editorKey = event;
            emit m_grid->keyDown(key->key(), shiftState(key->modifiers()));
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    bool drawsPlainly(const QStyleOptionViewItem& option, const QModelIndex& index) const {
        if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) return false;
        const auto type = m_grid->cellType(index.column() + 1, index.row() + 1);
        return type != SpreadGrid::CellType::CheckBox && type != SpreadGrid::CellType::Button;
    }

    static bool hasControlCharacters(const QString& text) {
        return std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x20; });
    }

    SpreadGrid* m_grid;
};

SpreadGrid::SpreadGrid(QWidget* parent) : QTableView(parent), m_model(new SpreadModel(this)) {
    setHorizontalHeader(new SpreadHeader(Qt::Horizontal, this));
    setVerticalHeader(new SpreadHeader(Qt::Vertical, this));
    setModel(m_model);
    setItemDelegate(new SpreadDelegate(this));
    setWordWrap(false);
    m_model->baseFont = font();
    m_colWidths.assign(1, 4.0);

    QHeaderView* h = horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setMinimumSectionSize(1);
    h->setHighlightSections(false);
    h->setSectionsClickable(true);
    // A header click sorts (when enabled) rather than selecting the column.
    disconnect(h, &QHeaderView::sectionPressed, this, nullptr);
    disconnect(h, &QHeaderView::sectionEntered, this, nullptr);
    connect(h, &QHeaderView::sectionClicked, this, &SpreadGrid::onHeaderClicked);
    connect(h, &QHeaderView::sectionResized, this, &SpreadGrid::onSectionResized);
    h->viewport()->installEventFilter(this);

    // The corner above the row numbers shows the text of cell (0, 0), as a header cell does.
    m_corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner) m_corner->installEventFilter(this);

    QHeaderView* v = verticalHeader();
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->setMinimumSectionSize(1);
    v->setHighlightSections(false);

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        emit clicked(i.column() + 1, i.row() + 1);
        const CellType t = cellType(i.column() + 1, i.row() + 1);
        if (t == CellType::Button || t == CellType::CheckBox) emit buttonClicked(i.column() + 1, i.row() + 1);
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit dblClick(i.column() + 1, i.row() + 1); });
    connect(v, &QHeaderView::sectionClicked, this, [this](int section) { emit clicked(0, section + 1); });
    connect(m_model, &SpreadModel::userEdited, this, [this](int col, int row) { emit change(col, row); });

    setRowHeight(-1, m_rowHeight);
    setRowHeight(0, m_headerHeight);
    setColWidth(0, 4.0);
    applySelectionBehaviour();
    setEditModePermanent(false);
}

SpreadGrid::~SpreadGrid() = default;

// --- units ---

int SpreadGrid::colWidthToPixels(double chars) const {
    const double scale = logicalDpiX() / 96.0;
    return chars <= 0 ? 0 : int(std::lround((chars * kCharPixels + kWidthPadding) * scale));
}

double SpreadGrid::pixelsToColWidth(int pixels) const {
    const double scale = logicalDpiX() / 96.0;
    const double chars = (pixels / scale - kWidthPadding) / kCharPixels;
    return std::max(0.0, std::round(chars * 100.0) / 100.0);
}

int SpreadGrid::rowHeightToPixels(double points) const {
    return std::max(1, int(std::lround(points * logicalDpiY() / 72.0)));
}

double SpreadGrid::pixelsToRowHeight(int pixels) const {
    return std::round(pixels * 72.0 / logicalDpiY() * 100.0) / 100.0;
}

// --- size and cursor ---

int SpreadGrid::maxRows() const {
    return m_model->maxRows();
}

void SpreadGrid::setMaxRows(int rows) {
    m_model->setMaxRows(rows);
}

int SpreadGrid::maxCols() const {
    return m_model->maxCols();
}

void SpreadGrid::setMaxCols(int cols) {
    const int old = m_model->maxCols();
    m_model->setMaxCols(cols);
    m_colWidths.resize(size_t(std::max(cols, 0)) + 1, m_defaultColWidth);
    for (int c = old + 1; c <= cols; ++c) applyColumnWidth(c);
}

int SpreadGrid::dataRowCnt() const {
    return m_model->dataRowCnt();
}

int SpreadGrid::activeRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int SpreadGrid::activeCol() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void SpreadGrid::setActiveCell(int col, int row) {
    if (row < 1 || row > maxRows() || maxCols() < 1) return;
    col = std::clamp(col, 1, maxCols());
    setCurrentIndex(m_model->index(row - 1, col - 1));
}

int SpreadGrid::topRow() const {
    const int r = rowAt(0);
    return r < 0 ? (maxRows() > 0 ? 1 : 0) : r + 1;
}

void SpreadGrid::setTopRow(int row) {
    if (row < 1 || row > maxRows() || maxCols() < 1) return;
    const int col = currentIndex().isValid() ? currentIndex().column() : 0;
    scrollTo(m_model->index(row - 1, col), QAbstractItemView::PositionAtTop);
}

int SpreadGrid::colHeaderRows() const {
    return m_model->headerRows();
}

void SpreadGrid::setColHeaderRows(int rows) {
    m_model->setHeaderRows(rows);
    setRowHeight(0, m_headerHeight);
}

// --- cell text ---

bool SpreadGrid::getText(int col, int row, QString& value) const {
    value.clear();
    if (col < 0 || col > maxCols()) return false;
    if (row <= kHeaderRow + 999 && row >= kHeaderRow) {
        value = m_model->headerText(col, row - kHeaderRow);
    } else if (row == 0) {
        value = m_model->headerText(col, 0);
    } else if (row >= 1 && row <= maxRows()) {
        value = m_model->text(col, row);
    }
    return !value.isEmpty();
}

QString SpreadGrid::text(int col, int row) const {
    QString v;
    getText(col, row, v);
    return v;
}

void SpreadGrid::setText(int col, int row, const QString& value) {
    const SpreadModel& model = *m_model;
    if (col < 0 || col > model.maxCols()) return;
    // Data cells first and with nothing else to do while the grid is quiet: a list load writes a
    // million of them.
    if (row >= 1 && row <= model.maxRows()) {
        m_model->setText(col, row, value);
        if (col >= 1 && !model.quiet() && !value.isEmpty() && isNumberColumn(col))
            fitNumberColumn(col, row, row);
        return;
    }
    if (row <= kHeaderRow + 999 && row >= kHeaderRow)
        m_model->setHeaderText(col, row - kHeaderRow, value);
    else if (row == 0)
        m_model->setHeaderText(col, 0, value);
    if (col == 0 && (row == 0 || row == kHeaderRow) && m_corner) m_corner->update();
}

void SpreadGrid::setRowTexts(int row, int firstCol, std::span<const QString* const> texts) {
    SpreadModel& model = *m_model;
    if (row < 1 || row > model.maxRows() || firstCol < 0 || firstCol > model.maxCols()) return;
    texts = texts.first(std::min(texts.size(), size_t(model.maxCols() - firstCol + 1)));
    model.setRowTexts(row, firstCol, texts);
    if (model.quiet()) return;
    for (size_t i = 0; i < texts.size(); ++i) {
        const int col = firstCol + int(i);
        if (col >= 1 && !texts[i]->isEmpty() && isNumberColumn(col)) fitNumberColumn(col, row, row);
    }
}

void SpreadGrid::clearRange(int col, int row, int col2, int row2) {
    const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? maxCols() : std::min(col2, maxCols());
    const int r1 = row == -1 ? 1 : row, r2 = row == -1 ? maxRows() : std::min(row2, maxRows());
    for (int r = std::max(r1, 1); r <= r2; ++r)
        for (int c = std::max(c1, 1); c <= c2; ++c)
            if (!m_model->isEmpty(c, r)) m_model->setText(c, r, QString());
}

// --- layout ---

double SpreadGrid::colWidth(int col) const {
    if (col < 0 || col > maxCols()) return m_defaultColWidth;
    return m_colWidths[size_t(col)];
}

void SpreadGrid::setColWidth(int col, double chars) {
    if (chars < 0) return;
    if (col == -1) {
        m_defaultColWidth = chars;
        for (int c = 1; c <= maxCols(); ++c) {
            m_colWidths[size_t(c)] = chars;
            applyColumnWidth(c);
        }
        return;
    }
    if (col < 0 || col > maxCols()) return;
    m_colWidths[size_t(col)] = chars;
    applyColumnWidth(col);
}

void SpreadGrid::applyColumnWidth(int col) {
    const int px = colWidthToPixels(m_colWidths[size_t(col)]);
    if (col == 0) {
        verticalHeader()->setFixedWidth(std::max(px, 1));
        return;
    }
    m_settingWidth = true;
    horizontalHeader()->resizeSection(col - 1, px);
    m_settingWidth = false;
}

int SpreadGrid::textMargin() const {
    return kCellTextMargin + (showGrid() ? 1 : 0);
}

bool SpreadGrid::isNumberColumn(int col) const {
    return m_model->resolve(&Style::type, col, -1) == CellType::Number;
}

// A quantity cut to "1,20..." reads as another number: a number column is widened (never narrowed) until
// its widest value fits at the font it is shown in. The width is not the user's choice, so it is not
// reported as a column-width change and not stored.
void SpreadGrid::fitNumberColumns() {
    const int rows = dataRowCnt();
    if (rows == 0) return;
    for (int c = 1; c <= maxCols(); ++c)
        if (isNumberColumn(c)) fitNumberColumn(c, 1, rows);
}

void SpreadGrid::fitNumberColumn(int col, int firstRow, int lastRow) {
    if (isColumnHidden(col - 1)) return;
    // Digits are equally wide in the grid's fonts, so only the longest values can be the widest.
    std::vector<std::pair<int, QString>> shown;
    qsizetype longest = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        QString t = m_model->displayText(col, r);
        if (t.size() + 1 < longest) continue;
        longest = std::max(longest, t.size());
        shown.emplace_back(r, std::move(t));
    }
    int needed = 0;
    for (const auto& [r, t] : shown) {
        if (t.size() + 1 < longest) continue;
        const QVariant f = m_model->data(m_model->index(r - 1, col - 1), Qt::FontRole);
        const QFontMetrics fm(f.isValid() ? f.value<QFont>() : font());
        needed = std::max(needed, fm.horizontalAdvance(t) + textMargin());
    }
    if (needed <= columnWidth(col - 1)) return;
    double chars = pixelsToColWidth(needed);
    while (colWidthToPixels(chars) < needed) chars += 0.01;
    m_colWidths[size_t(col)] = chars;
    applyColumnWidth(col);
}

double SpreadGrid::rowHeight(int row) const {
    if (row == -1) return m_rowHeight;
    if (row == 0) return m_headerHeight;
    if (row < 1 || row > maxRows()) return m_rowHeight;
    const double own = m_model->rowOwnHeight(row);
    return own > 0 ? own : m_rowHeight;
}

void SpreadGrid::setRowHeight(int row, double points) {
    if (points <= 0) return;
    if (row == -1) {
        m_rowHeight = points;
        for (int r = 1; r <= maxRows(); ++r)
            if (m_model->rowOwnHeight(r) > 0) m_model->setRowOwnHeight(r, -1);
        verticalHeader()->setDefaultSectionSize(rowHeightToPixels(points));
        return;
    }
    if (row == 0) {
        m_headerHeight = points;
        horizontalHeader()->setFixedHeight(rowHeightToPixels(points) * std::max(colHeaderRows(), 1));
        return;
    }
    if (row < 1 || row > maxRows()) return;
    m_model->setRowOwnHeight(row, points);
    verticalHeader()->resizeSection(row - 1, rowHeightToPixels(points));
}

bool SpreadGrid::colHidden(int col) const {
    if (col == 0) return !rowHeadersShow();
    return col >= 1 && col <= maxCols() && isColumnHidden(col - 1);
}

void SpreadGrid::setColHidden(int col, bool hidden) {
    if (col == 0) {
        setRowHeadersShow(!hidden);
        return;
    }
    if (col == -1) {
        for (int c = 1; c <= maxCols(); ++c) setColHidden(c, hidden);
        return;
    }
    if (col < 1 || col > maxCols()) return;
    setColumnHidden(col - 1, hidden);
    if (!hidden) applyColumnWidth(col);
}

bool SpreadGrid::rowHidden(int row) const {
    return row >= 1 && row <= maxRows() && m_model->rowHidden(row);
}

void SpreadGrid::setRowHidden(int row, bool hidden) {
    if (row == -1) {
        for (int r = 1; r <= maxRows(); ++r) setRowHidden(r, hidden);
        return;
    }
    if (row < 1 || row > maxRows()) return;
    m_model->setRowHidden(row, hidden);
    QTableView::setRowHidden(row - 1, hidden);
    // The view brings a shown row back at the size it had when it was hidden; the height of all rows may
    // have changed since (the context menu, a layout file), so it gets the height it has now.
    if (!hidden) {
        const double own = m_model->rowOwnHeight(row);
        const int px = rowHeightToPixels(own > 0 ? own : m_rowHeight);
        if (verticalHeader()->sectionSize(row - 1) != px) verticalHeader()->resizeSection(row - 1, px);
    }
}

bool SpreadGrid::rowHeadersShow() const {
    return !verticalHeader()->isHidden();
}

void SpreadGrid::setRowHeadersShow(bool show) {
    verticalHeader()->setHidden(!show);
}

bool SpreadGrid::colHeadersShow() const {
    return !horizontalHeader()->isHidden();
}

void SpreadGrid::setColHeadersShow(bool show) {
    horizontalHeader()->setHidden(!show);
}

double SpreadGrid::fontSize(int col, int row) const {
    if (row == 0) return m_model->hasHeaderFont ? m_model->headerFont.pointSizeF() : font().pointSizeF();
    return m_model->resolve(&Style::fontSize, col, row).value_or(font().pointSizeF());
}

void SpreadGrid::setFontSize(int col, int row, double points) {
    if (points <= 0) return;
    // A larger font for the whole sheet or the header row makes those rows tall enough for its letters;
    // a row height the user chose stays when the letters fit in it.
    const auto fittingHeight = [this](const QFont& f) {
        return pixelsToRowHeight(QFontMetrics(f).height() + kRowTextPadding);
    };
    if (row == 0) {
        QFont f = m_model->hasHeaderFont ? m_model->headerFont : font();
        f.setPointSizeF(points);
        m_model->headerFont = f;
        m_model->hasHeaderFont = true;
        horizontalHeader()->setFont(f);
        if (maxCols() > 0) emit m_model->headerDataChanged(Qt::Horizontal, 0, maxCols() - 1);
        if (m_headerHeight < fittingHeight(f)) setRowHeight(0, fittingHeight(f));
        return;
    }
    if (col == -1 && row == -1) {
        // The whole sheet: the grid's own font, so that editors and metrics follow.
        QFont f = font();
        f.setPointSizeF(points);
        setFont(f);
        m_model->baseFont = f;
        if (m_rowHeight < fittingHeight(f)) setRowHeight(-1, fittingHeight(f));
    }
    m_model->assign(&Style::fontSize, col, row, points);
    if (!m_model->quiet()) fitNumberColumns();
}

bool SpreadGrid::fontBold(int col, int row) const {
    return m_model->resolve(&Style::bold, col, row).value_or(false);
}

void SpreadGrid::setFontBold(int col, int row, bool bold) {
    m_model->assign(&Style::bold, col, row, bold);
}

// --- cell look and editing ---

QColor SpreadGrid::backColor(int col, int row) const {
    return m_model->resolve(&Style::back, col, row).value_or(QColor());
}

void SpreadGrid::setBackColor(int col, int row, const QColor& color) {
    m_model->assign(&Style::back, col, row, color);
}

QColor SpreadGrid::foreColor(int col, int row) const {
    return m_model->resolve(&Style::fore, col, row).value_or(QColor());
}

void SpreadGrid::setForeColor(int col, int row, const QColor& color) {
    m_model->assign(&Style::fore, col, row, color);
}

bool SpreadGrid::lock(int col, int row) const {
    return m_model->resolve(&Style::lock, col, row).value_or(false);
}

void SpreadGrid::setLock(int col, int row, bool locked) {
    m_model->assign(&Style::lock, col, row, locked);
}

QString SpreadGrid::cellTag(int col, int row) const {
    return m_model->resolve(&Style::tag, col, row).value_or(QString());
}

void SpreadGrid::setCellTag(int col, int row, const QString& tag) {
    m_model->assign(&Style::tag, col, row, tag);
}

SpreadGrid::CellType SpreadGrid::cellType(int col, int row) const {
    return m_model->resolve(&Style::type, col, row).value_or(CellType::Edit);
}

void SpreadGrid::setCellType(int col, int row, CellType type) {
    m_model->assign(&Style::type, col, row, type);
}

SpreadGrid::NumberFormat SpreadGrid::typeNumber(int col, int row) const {
    return m_model->resolve(&Style::number, col, row).value_or(NumberFormat{});
}

void SpreadGrid::setTypeNumber(int col, int row, const NumberFormat& format) {
    m_model->assign(&Style::number, col, row, format);
}

SpreadGrid::HAlign SpreadGrid::typeHAlign(int col, int row) const {
    return m_model->resolve(&Style::hAlign, col, row)
        .value_or(cellType(col, row) == CellType::Number ? HAlign::Right : HAlign::Left);
}

void SpreadGrid::setTypeHAlign(int col, int row, HAlign align) {
    m_model->assign(&Style::hAlign, col, row, align);
}

SpreadGrid::VAlign SpreadGrid::typeVAlign(int col, int row) const {
    return m_model->resolve(&Style::vAlign, col, row).value_or(VAlign::Center);
}

void SpreadGrid::setTypeVAlign(int col, int row, VAlign align) {
    m_model->assign(&Style::vAlign, col, row, align);
}

int SpreadGrid::colMaxLength(int col) const {
    const auto it = m_colMaxLength.find(col);
    return it == m_colMaxLength.end() ? 0 : it->second;
}

void SpreadGrid::setColMaxLength(int col, int length) {
    if (col == -1) {
        for (int c = 1; c <= maxCols(); ++c) setColMaxLength(c, length);
        return;
    }
    if (length > 0)
        m_colMaxLength[col] = length;
    else
        m_colMaxLength.erase(col);
}

bool SpreadGrid::editModePermanent() const {
    return m_editPermanent;
}

void SpreadGrid::setEditModePermanent(bool on) {
    m_editPermanent = on;
    setEditTriggers(on ? QAbstractItemView::AllEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    applySelectionBehaviour();
    if (on) openEditorIfPermanent();
}

bool SpreadGrid::editModeReplace() const {
    return m_editReplace;
}

void SpreadGrid::setEditModeReplace(bool on) {
    m_editReplace = on;
}

bool SpreadGrid::protect() const {
    return m_model->protect();
}

void SpreadGrid::setProtect(bool on) {
    m_model->setProtect(on);
}

bool SpreadGrid::isCellEditable(int col, int row) const {
    return col >= 1 && col <= maxCols() && row >= 1 && row <= maxRows() && m_model->editable(col, row);
}

void SpreadGrid::openEditorIfPermanent() {
    if (!m_editPermanent || state() == QAbstractItemView::EditingState) return;
    const QModelIndex i = currentIndex();
    if (i.isValid() && isVisible() && (m_model->flags(i) & Qt::ItemIsEditable)) edit(i);
}

// --- rows ---

void SpreadGrid::insertRows(int row, int count) {
    m_model->insertGridRows(row, count);
}

void SpreadGrid::deleteRows(int row, int count) {
    m_model->deleteGridRows(row, count);
}

// --- search ---

namespace {

bool matches(const QString& cell, const QString& text, int flags) {
    if (text.isEmpty()) return false;  // an empty search text matches nothing
    const Qt::CaseSensitivity cs =
        (flags & SpreadGrid::kSearchCaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (flags & SpreadGrid::kSearchPartial) return cell.contains(text, cs);
    return cell.compare(text, cs) == 0;
}

}  // namespace

int SpreadGrid::searchRow(int row, int colStart, int colEnd, const QString& text, int flags) const {
    if (row < 1 || row > maxRows()) return -1;
    const int last = (colEnd < 0 || colEnd > maxCols()) ? maxCols() : colEnd;
    for (int c = std::max(colStart + 1, 1); c <= last; ++c)
        if (matches(m_model->displayText(c, row), text, flags)) return c;
    return -1;
}

int SpreadGrid::searchCol(int col, int rowStart, int rowEnd, const QString& text, int flags) const {
    if (col < 1 || col > maxCols()) return -1;
    const int last = (rowEnd < 0 || rowEnd > maxRows()) ? maxRows() : rowEnd;
    for (int r = std::max(rowStart + 1, 1); r <= last; ++r)
        if (matches(m_model->displayText(col, r), text, flags)) return r;
    return -1;
}

// --- painting ---

bool SpreadGrid::reDraw() const {
    return !m_model->quiet();
}

void SpreadGrid::setReDraw(bool on) {
    if (on == reDraw()) return;
    viewport()->setUpdatesEnabled(on);
    // The row headers too: while they may not paint, hiding or sizing a row skips their position
    // bookkeeping, which otherwise walks every row each time.
    verticalHeader()->setUpdatesEnabled(on);
    verticalHeader()->viewport()->setUpdatesEnabled(on);
    m_model->setQuiet(!on);
    if (on) {
        fitNumberColumns();
        viewport()->update();
        verticalHeader()->viewport()->update();
    }
}

void SpreadGrid::refresh() {
    if (reDraw()) {
        m_model->repaintAll();
        viewport()->update();
    }
}

QString SpreadGrid::lastExportError() const {
    return m_lastExportError;
}

// --- design ---

SpreadGrid::OperationMode SpreadGrid::operationMode() const {
    return m_operationMode;
}

void SpreadGrid::setOperationMode(OperationMode mode) {
    m_operationMode = mode;
    applySelectionBehaviour();
}

int SpreadGrid::selectBlockOptions() const {
    return m_selectBlockOptions;
}

void SpreadGrid::setSelectBlockOptions(int options) {
    m_selectBlockOptions = options;
    applySelectionBehaviour();
}

void SpreadGrid::applySelectionBehaviour() {
    if (m_operationMode == OperationMode::SingleSelect || m_operationMode == OperationMode::RowMode) {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        return;
    }
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // While a cell is always being edited, a drag edits rather than selects blocks.
    const bool blocks = m_selectBlockOptions != 0 && !m_editPermanent;
    setSelectionMode(blocks ? QAbstractItemView::ContiguousSelection : QAbstractItemView::SingleSelection);
}

int SpreadGrid::userColAction() const {
    return m_userColAction;
}

void SpreadGrid::setUserColAction(int action) {
    m_userColAction = action;
    horizontalHeader()->setSortIndicatorShown(action == 1 && m_sortCol > 0);
}

QColor SpreadGrid::shadowColor() const {
    return m_shadowColor;
}

void SpreadGrid::setShadowColor(const QColor& color) {
    m_shadowColor = color;
    applyHeaderColors();
}

QColor SpreadGrid::shadowText() const {
    return m_shadowText;
}

void SpreadGrid::setShadowText(const QColor& color) {
    m_shadowText = color;
    applyHeaderColors();
}

void SpreadGrid::applyHeaderColors() {
    m_model->headerBack = m_shadowColor;
    m_model->headerFore = m_shadowText;
    QString sheet;
    if (m_shadowColor.isValid())
        sheet += QStringLiteral("QHeaderView::section, QTableCornerButton::section { background-color: %1; ")
                     .arg(m_shadowColor.name());
    if (!sheet.isEmpty()) {
        if (m_shadowText.isValid()) sheet += QStringLiteral("color: %1; ").arg(m_shadowText.name());
        sheet += QStringLiteral(
            "border: 0px; border-right: 1px solid #a0a0a0; border-bottom: 1px solid #a0a0a0; }");
    }
    setStyleSheet(sheet);
}

QColor SpreadGrid::selBackColor() const {
    return m_selBackColor;
}

void SpreadGrid::setSelBackColor(const QColor& color) {
    m_selBackColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Highlight, color);
    p.setColor(QPalette::HighlightedText, Qt::black);
    setPalette(p);
}

int SpreadGrid::textTip() const {
    return m_textTip;
}

void SpreadGrid::setTextTip(int mode) {
    m_textTip = mode;
}

void SpreadGrid::setOddEvenRowColor(const QColor& oddBack, const QColor& oddFore, const QColor& evenBack,
                                    const QColor& evenFore) {
    m_model->setOddEven(oddBack, oddFore, evenBack, evenFore);
}

QColor SpreadGrid::rowDefaultBackColor(int row) const {
    return m_model->rowDefaultBack(row);
}

bool SpreadGrid::noBeep() const {
    return m_noBeep;
}

void SpreadGrid::setNoBeep(bool on) {
    m_noBeep = on;
}

// --- sorting ---

void SpreadGrid::onHeaderClicked(int section) {
    const int col = section + 1;
    emit clicked(col, 0);
    if (m_userColAction != 1 || maxRows() < 1) return;
    emit beforeUserSort(col);
    const bool ascending = (col == m_sortCol) ? !m_sortAscending : true;
    sortRows(col, ascending);
    emit afterUserSort(col);
}

void SpreadGrid::sortRows(int col, bool ascending) {
    if (col < 1 || col > maxCols()) return;
    m_sortCol = col;
    m_sortAscending = ascending;
    m_model->sortRows(col, ascending);
    syncRowsFromModel();
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(col - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

const std::vector<int>& SpreadGrid::lastSortOrder() const {
    return m_model->lastSortOrder();
}

// Rows carry their hidden flag and own height with them when they move; the view's header is told again.
void SpreadGrid::syncRowsFromModel() {
    QHeaderView* v = verticalHeader();
    const int normal = rowHeightToPixels(m_rowHeight);
    for (int r = 1; r <= maxRows(); ++r) {
        const bool hidden = m_model->rowHidden(r);
        if (isRowHidden(r - 1) != hidden) QTableView::setRowHidden(r - 1, hidden);
        const double own = m_model->rowOwnHeight(r);
        const int px = own > 0 ? rowHeightToPixels(own) : normal;
        if (!hidden && v->sectionSize(r - 1) != px) v->resizeSection(r - 1, px);
    }
}

// --- events ---

void SpreadGrid::keyPressEvent(QKeyEvent* event) {
    // A key the editor did not take comes up to the grid: it was reported already.
    if (event != m_editorKey) emit keyDown(event->key(), shiftState(event->modifiers()));
    m_editorKey = nullptr;
    QTableView::keyPressEvent(event);
}

void SpreadGrid::mousePressEvent(QMouseEvent* event) {
    m_pressIndex = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void SpreadGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex release = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && m_pressIndex.isValid() && release.isValid() &&
        release != m_pressIndex && selectionMode() == QAbstractItemView::ContiguousSelection) {
        emit blockSelected(std::min(m_pressIndex.column(), release.column()) + 1,
                           std::min(m_pressIndex.row(), release.row()) + 1,
                           std::max(m_pressIndex.column(), release.column()) + 1,
                           std::max(m_pressIndex.row(), release.row()) + 1);
    }
    m_pressIndex = QModelIndex();
    const int button = event->button() == Qt::RightButton    ? kRightButton
                       : event->button() == Qt::MiddleButton ? kMiddleButton
                                                             : kLeftButton;
    const QPoint p = event->position().toPoint();
    emit mouseUp(button, shiftState(event->modifiers()), p.x(), p.y());
}

QString SpreadGrid::textTipOf(int col, int row) const {
    if (m_textTip == 0 || col < 1 || col > maxCols() || row < 1 || row > maxRows()) return {};
    const QModelIndex i = m_model->index(row - 1, col - 1);
    const QString shown = m_model->displayText(col, row);
    const QVariant f = m_model->data(i, Qt::FontRole);
    const QFontMetrics fm(f.isValid() ? f.value<QFont>() : font());
    const int room = columnWidth(col - 1) - textMargin();
    return !shown.isEmpty() && fm.horizontalAdvance(shown) > room ? shown : QString();
}

bool SpreadGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex i = indexAt(help->pos());
        const QString tip = i.isValid() ? textTipOf(i.column() + 1, i.row() + 1) : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), PlainToolTip(tip), viewport(), visualRect(i));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void SpreadGrid::paintCorner() {
    QStyleOptionHeader opt;
    opt.initFrom(m_corner);
    opt.state = QStyle::State_None;
    if (m_corner->isEnabled()) opt.state |= QStyle::State_Enabled;
    if (m_corner->isActiveWindow()) opt.state |= QStyle::State_Active;
    opt.rect = m_corner->rect();
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.text = m_model->headerText(0, 0);
    opt.textAlignment = Qt::AlignCenter;
    QPainter painter(m_corner);
    m_corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, m_corner);
}

bool SpreadGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_corner && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease &&
        m_resizedFirst > 0) {
        const int first = m_resizedFirst, last = m_resizedLast;
        m_resizedFirst = m_resizedLast = 0;
        emit colWidthChange(first, last);
    }
    return QTableView::eventFilter(watched, event);
}

void SpreadGrid::onSectionResized(int section, int, int newSize) {
    if (m_settingWidth || newSize <= 0) return;
    const int col = section + 1;
    if (col > maxCols()) return;
    m_colWidths[size_t(col)] = pixelsToColWidth(newSize);
    m_resizedFirst = m_resizedFirst == 0 ? col : std::min(m_resizedFirst, col);
    m_resizedLast = std::max(m_resizedLast, col);
}

void SpreadGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    emit leaveCell(previous.isValid() ? previous.column() + 1 : 0,
                   previous.isValid() ? previous.row() + 1 : 0, current.isValid() ? current.column() + 1 : 0,
                   current.isValid() ? current.row() + 1 : 0);
    openEditorIfPermanent();
}
