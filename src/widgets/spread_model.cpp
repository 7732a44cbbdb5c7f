#include "widgets/spread_model.h"

#include <QBrush>
#include <QFont>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// A text that is wholly a number (blanks around it allowed), as number cells and sorting read it.
std::optional<double> numberOf(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    return v;
}

QString columnLetters(int col) {
    QString s;
    for (int n = col; n > 0; n = (n - 1) / 26) s.prepend(QChar(u'A' + (n - 1) % 26));
    return s;
}

}  // namespace

SpreadModel::Style* SpreadModel::RowStyles::cell(int col, bool create) {
    for (auto& [c, s] : cells)
        if (c == col) return &s;
    if (!create) return nullptr;
    cells.emplace_back(col, Style{});
    return &cells.back().second;
}

const SpreadModel::Style* SpreadModel::RowStyles::cell(int col) const {
    for (const auto& [c, s] : cells)
        if (c == col) return &s;
    return nullptr;
}

SpreadModel::SpreadModel(QObject* parent) : QAbstractTableModel(parent) {
    m_colStyles.resize(1);
    m_headers.resize(1, std::vector<QString>(1));
}

QString SpreadModel::textOf(Cell cell) const {
    switch (cell >> kTagShift) {
        case kInline: {
            char bytes[kInlineMax];
            const int n = int((cell >> 56) & 0xF);
            for (int i = 0; i < n; ++i) bytes[i] = char(cell >> (8 * i));
            return QString::fromLatin1(bytes, n);
        }
        case kArena: {
            const size_t at = size_t(cell & ((Cell(1) << 40) - 1));
            const auto n = qsizetype((cell >> 40) & 0xFFFF);
            const char* from = m_blocks[at >> kBlockBits].get() + (at & (kBlockSize - 1));
            if (cell & kWide) return QString(reinterpret_cast<const QChar*>(from), n);
            return QString::fromLatin1(from, n);
        }
        case kString:
            return m_strings[size_t(cell & 0xFFFFFFFF)];
        default:
            return {};
    }
}

void SpreadModel::store(Cell& cell, const QString& value) {
    if (value.isEmpty()) {
        release(cell);
        cell = 0;
        return;
    }
    if ((cell >> kTagShift) == kString && value.size() > kArenaMax) {
        m_strings[size_t(cell & 0xFFFFFFFF)] = value;  // a long text again: the cell keeps its slot
        return;
    }
    release(cell);
    cell = 0;
    if (m_arenaGarbage > kBlockSize && m_arenaGarbage * 2 > m_arenaUsed) compactArena();
    cell = encode(value);
}

SpreadModel::Cell SpreadModel::encode(const QString& value) {
    const qsizetype n = value.size();
    const auto* chars = reinterpret_cast<const char16_t*>(value.constData());
    if (n > kArenaMax) return stringCell(value);
    // A name or unit in Hangul shows it in its first character, and need not be read twice.
    bool wide = chars[0] >= 0x80;
    if (!wide) {
        char16_t bits = 0;
        for (qsizetype i = 1; i < n; ++i) bits |= chars[i];
        wide = bits >= 0x80;
    }
    if (!wide && n <= kInlineMax) {
        Cell cell = (kInline << kTagShift) | (Cell(n) << 56);
        for (qsizetype i = 0; i < n; ++i) cell |= Cell(chars[i]) << (8 * i);
        return cell;
    }
    const size_t bytes = wide ? size_t(n) * 2 : size_t(n);
    size_t at = (m_arenaUsed + 1) & ~size_t(1);  // UTF-16 two-byte aligned; bytes lose at most one
    const size_t within = at & (kBlockSize - 1);
    Cell cell = 0;
    char* to = nullptr;
    if (within + bytes <= kBlockSize && (at >> kBlockBits) < m_blocks.size()) {
        to = m_blocks[at >> kBlockBits].get() + within;
        m_arenaUsed = at + bytes;
        cell = (kArena << kTagShift) | (wide ? kWide : 0) | (Cell(n) << 40) | Cell(at);
    } else {
        to = arenaTake(bytes, size_t(n), wide, cell);
    }
    if (wide)
        std::copy_n(chars, n, reinterpret_cast<char16_t*>(to));
    else
        for (qsizetype i = 0; i < n; ++i) to[i] = char(chars[i]);
    return cell;
}

SpreadModel::Cell SpreadModel::stringCell(const QString& value) {
    std::uint32_t slot = 0;
    if (!m_freeStrings.empty()) {
        slot = m_freeStrings.back();
        m_freeStrings.pop_back();
        m_strings[slot] = value;
    } else {
        slot = std::uint32_t(m_strings.size());
        m_strings.push_back(value);
    }
    return (kString << kTagShift) | slot;
}

char* SpreadModel::arenaTake(size_t bytes, size_t length, bool wide, Cell& cell) {
    size_t at = (m_arenaUsed + 1) & ~size_t(1);
    if ((at & (kBlockSize - 1)) + bytes > kBlockSize) at = (at + kBlockSize - 1) & ~(kBlockSize - 1);
    const size_t block = at >> kBlockBits;
    if (block == m_blocks.size()) m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    m_arenaUsed = at + bytes;
    cell = (kArena << kTagShift) | (wide ? kWide : 0) | (Cell(length) << 40) | Cell(at);
    return m_blocks[block].get() + (at & (kBlockSize - 1));
}

void SpreadModel::release(Cell cell) {
    switch (cell >> kTagShift) {
        case kArena:
            m_arenaGarbage += arenaBytes(cell);
            break;
        case kString: {
            const auto slot = std::uint32_t(cell & 0xFFFFFFFF);
            m_strings[slot] = QString();
            m_freeStrings.push_back(slot);
            break;
        }
        default:
            break;
    }
}

void SpreadModel::releaseRange(size_t first, size_t end) {
    for (size_t i = first; i < end; ++i) release(m_cells[i]);
}

void SpreadModel::clearStorage() {
    m_cells.clear();
    m_strings.clear();
    m_freeStrings.clear();
    m_arenaUsed = 0;
    m_arenaGarbage = 0;
}

void SpreadModel::keepStorageFor(size_t cells) {
    // A list much shorter than the last one gives back what the last one took; one of about the same
    // length or longer writes into it.
    if (m_cells.capacity() <= 4 * cells || m_cells.capacity() * sizeof(Cell) <= kBlockSize) return;
    std::vector<Cell>().swap(m_cells);
    std::vector<QString>().swap(m_strings);
    std::vector<std::uint32_t>().swap(m_freeStrings);
    m_blocks.clear();
}

void SpreadModel::compactArena() {
    const std::vector<std::unique_ptr<char[]>> old = std::move(m_blocks);
    m_blocks.clear();
    m_arenaUsed = 0;
    m_arenaGarbage = 0;
    for (Cell& cell : m_cells) {
        if ((cell >> kTagShift) != kArena) continue;
        const size_t at = size_t(cell & ((Cell(1) << 40) - 1));
        const size_t bytes = arenaBytes(cell);
        const char* from = old[at >> kBlockBits].get() + (at & (kBlockSize - 1));
        std::copy_n(from, bytes, arenaTake(bytes, size_t((cell >> 40) & 0xFFFF), (cell & kWide) != 0, cell));
    }
}

void SpreadModel::setMaxRows(int rows) {
    rows = std::max(rows, 0);
    if (rows == m_rows) return;
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        if (m_rows == 0) keepStorageFor(size_t(rows) * stride());
        m_cells.resize(size_t(rows) * stride());
        m_meta.resize(size_t(rows));
        m_rows = rows;
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, m_rows - 1);
        if (rows == 0) {
            clearStorage();
        } else {
            releaseRange(size_t(rows) * stride(), m_cells.size());
            m_cells.resize(size_t(rows) * stride());
        }
        m_meta.resize(size_t(rows));
        m_rows = rows;
        endRemoveRows();
    }
    m_dataRowCnt = -1;
}

void SpreadModel::setMaxCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == m_cols) return;
    const size_t oldStride = stride();
    const size_t newStride = size_t(cols) + 1;
    std::vector<Cell> cells(size_t(m_rows) * newStride);
    const size_t keep = std::min(oldStride, newStride);
    for (size_t r = 0; r < size_t(m_rows); ++r) {
        for (size_t c = 0; c < keep; ++c) cells[r * newStride + c] = m_cells[r * oldStride + c];
        for (size_t c = keep; c < oldStride; ++c) release(m_cells[r * oldStride + c]);
    }
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
    } else {
        beginRemoveColumns({}, cols, m_cols - 1);
        for (RowMeta& meta : m_meta)
            if (meta.styles) std::erase_if(meta.styles->cells, [&](const auto& p) { return p.first > cols; });
    }
    m_cells = std::move(cells);
    m_cols = cols;
    m_colStyles.resize(newStride);
    for (auto& h : m_headers) h.resize(newStride);
    if (int(oldStride) - 1 < cols)
        endInsertColumns();
    else
        endRemoveColumns();
    m_dataRowCnt = -1;
}

void SpreadModel::setRowTexts(int row, int firstCol, std::span<const QString* const> texts) {
    Cell* cells = &m_cells[slot(firstCol, row)];
    for (const QString* value : texts) {
        Cell& cell = *cells++;
        if (cell != 0)
            store(cell, *value);
        else if (!value->isEmpty())
            cell = encode(*value);
    }
    m_dataRowCnt = -1;
    if (m_quiet || texts.empty()) return;
    const int lastCol = firstCol + int(texts.size()) - 1;
    if (firstCol == 0) emitCellChanged(0, row);
    if (lastCol >= 1)
        emit dataChanged(createIndex(row - 1, std::max(firstCol, 1) - 1), createIndex(row - 1, lastCol - 1));
}

void SpreadModel::setHeaderRows(int rows) {
    rows = std::max(rows, 0);
    m_headers.resize(size_t(rows), std::vector<QString>(stride()));
    if (m_cols > 0) emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

QString SpreadModel::headerText(int col, int headerRow) const {
    if (headerRow < 0 || headerRow >= headerRows() || col < 0 || col > m_cols) return {};
    return m_headers[size_t(headerRow)][size_t(col)];
}

void SpreadModel::setHeaderText(int col, int headerRow, const QString& value) {
    if (headerRow < 0 || headerRow >= headerRows() || col < 0 || col > m_cols) return;
    m_headers[size_t(headerRow)][size_t(col)] = value;
    if (col > 0) emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
}

int SpreadModel::dataRowCnt() const {
    if (m_dataRowCnt >= 0) return m_dataRowCnt;
    int found = 0;
    for (int r = m_rows; r >= 1 && found == 0; --r) {
        const Cell* row = &m_cells[slot(1, r)];
        for (int c = 0; c < m_cols; ++c)
            if (row[c] != 0) {
                found = r;
                break;
            }
    }
    m_dataRowCnt = found;
    return found;
}

void SpreadModel::setOddEven(const QColor& oddBack, const QColor& oddFore, const QColor& evenBack,
                             const QColor& evenFore) {
    m_oddBack = oddBack;
    m_oddFore = oddFore;
    m_evenBack = evenBack;
    m_evenFore = evenFore;
    if (!m_quiet) repaintAll();
}

QColor SpreadModel::rowDefaultBack(int row) const {
    const auto& c = (row % 2 == 1) ? m_oddBack : m_evenBack;
    return c ? *c : QColor(Qt::white);
}

QColor SpreadModel::rowDefaultFore(int row) const {
    const auto& c = (row % 2 == 1) ? m_oddFore : m_evenFore;
    return c ? *c : QColor(Qt::black);
}

bool SpreadModel::editable(int col, int row) const {
    const auto type = resolve(&Style::type, col, row).value_or(SpreadGrid::CellType::Edit);
    if (type == SpreadGrid::CellType::StaticText || type == SpreadGrid::CellType::Button ||
        type == SpreadGrid::CellType::CheckBox)
        return false;
    return !(m_protect && resolve(&Style::lock, col, row).value_or(false));
}

void SpreadModel::insertGridRows(int row, int count) {
    if (row < 1 || row > m_rows || count <= 0) return;
    count = std::min(count, m_rows - row + 1);
    // The last `count` rows drop off, then empty rows come in at `row`: the row count stays.
    beginRemoveRows({}, m_rows - count, m_rows - 1);
    releaseRange(size_t(m_rows - count) * stride(), m_cells.size());
    m_cells.resize(size_t(m_rows - count) * stride());
    m_meta.resize(size_t(m_rows - count));
    m_rows -= count;
    endRemoveRows();
    beginInsertRows({}, row - 1, row - 2 + count);
    m_cells.insert(m_cells.begin() + std::ptrdiff_t(size_t(row - 1) * stride()), size_t(count) * stride(),
                   Cell(0));
    std::vector<RowMeta> fresh(static_cast<size_t>(count));  // RowMeta is move-only
    m_meta.insert(m_meta.begin() + (row - 1), std::make_move_iterator(fresh.begin()),
                  std::make_move_iterator(fresh.end()));
    m_rows += count;
    endInsertRows();
    m_dataRowCnt = -1;
}

void SpreadModel::deleteGridRows(int row, int count) {
    if (row < 1 || row > m_rows || count <= 0) return;
    count = std::min(count, m_rows - row + 1);
    // The rows go, the rows below move up and empty rows fill the end: the row count stays.
    beginRemoveRows({}, row - 1, row - 2 + count);
    releaseRange(size_t(row - 1) * stride(), size_t(row - 1 + count) * stride());
    const auto first = m_cells.begin() + std::ptrdiff_t(size_t(row - 1) * stride());
    m_cells.erase(first, first + std::ptrdiff_t(size_t(count) * stride()));
    m_meta.erase(m_meta.begin() + (row - 1), m_meta.begin() + (row - 1 + count));
    m_rows -= count;
    endRemoveRows();
    beginInsertRows({}, m_rows, m_rows + count - 1);
    m_cells.resize(size_t(m_rows + count) * stride());
    m_meta.resize(size_t(m_rows + count));
    m_rows += count;
    endInsertRows();
    m_dataRowCnt = -1;
}

void SpreadModel::sortRows(int col, bool ascending) {
    if (col < 1 || col > m_cols || m_rows < 2) {
        m_lastSortOrder.assign(std::size_t(std::max(m_rows, 0)), 0);
        std::iota(m_lastSortOrder.begin(), m_lastSortOrder.end(), 1);
        return;
    }
    std::vector<int> order(static_cast<size_t>(m_rows));
    std::iota(order.begin(), order.end(), 1);
    std::vector<std::optional<double>> numbers(size_t(m_rows) + 1);
    bool allNumeric = true;
    for (int r = 1; r <= m_rows; ++r) {
        if (isEmpty(col, r)) continue;
        numbers[size_t(r)] = numberOf(text(col, r));
        if (!numbers[size_t(r)]) allNumeric = false;
    }
    std::vector<QString> texts;  // the column's texts, read once for the comparisons
    if (!allNumeric) {
        texts.resize(size_t(m_rows) + 1);
        for (int r = 1; r <= m_rows; ++r) texts[size_t(r)] = text(col, r);
    }
    auto less = [&](int a, int b) {
        const bool emptyA = isEmpty(col, a), emptyB = isEmpty(col, b);
        if (emptyA || emptyB) return !emptyA && emptyB;  // empty cells last
        if (allNumeric)
            return ascending ? *numbers[size_t(a)] < *numbers[size_t(b)]
                             : *numbers[size_t(b)] < *numbers[size_t(a)];
        const QString& ta = texts[size_t(a)];
        const QString& tb = texts[size_t(b)];
        return ascending ? ta.localeAwareCompare(tb) < 0 : tb.localeAwareCompare(ta) < 0;
    };
    std::stable_sort(order.begin(), order.end(), less);
    m_lastSortOrder = order;

    emit layoutAboutToBeChanged();
    std::vector<Cell> cells(m_cells.size());
    std::vector<RowMeta> meta(m_meta.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t from = size_t(order[i] - 1);
        std::copy_n(m_cells.begin() + std::ptrdiff_t(from * stride()), stride(),
                    cells.begin() + std::ptrdiff_t(i * stride()));
        meta[i] = std::move(m_meta[from]);
    }
    m_cells = std::move(cells);
    m_meta = std::move(meta);
    m_dataRowCnt = -1;
    emit layoutChanged();
}

void SpreadModel::setQuiet(bool quiet) {
    if (m_quiet == quiet) return;
    m_quiet = quiet;
    if (!quiet) repaintAll();
}

void SpreadModel::repaintAll() {
    if (m_rows > 0 && m_cols > 0) emit dataChanged(createIndex(0, 0), createIndex(m_rows - 1, m_cols - 1));
    if (m_cols > 0) emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (m_rows > 0) emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

void SpreadModel::repaintArea(int col, int row) {
    if (row == 0 || (col == -1 && row == -1)) {
        repaintAll();  // the header row or the whole sheet
        return;
    }
    if (m_rows < 1) return;
    if (col == 0) {  // the row-header column
        emit headerDataChanged(Qt::Vertical, row == -1 ? 0 : row - 1, row == -1 ? m_rows - 1 : row - 1);
        return;
    }
    if (m_cols < 1) return;
    if (row == -1)
        emit dataChanged(createIndex(0, col - 1), createIndex(m_rows - 1, col - 1));
    else if (col == -1)
        emit dataChanged(createIndex(row - 1, 0), createIndex(row - 1, m_cols - 1));
    else
        emit dataChanged(createIndex(row - 1, col - 1), createIndex(row - 1, col - 1));
}

void SpreadModel::emitCellChanged(int col, int row) {
    if (col == 0) {
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
        return;
    }
    const QModelIndex i = createIndex(row - 1, col - 1);
    emit dataChanged(i, i);
}

QString SpreadModel::displayText(int col, int row) const {
    QString t = text(col, row);
    if (t.isEmpty()) return t;
    const auto type = resolve(&Style::type, col, row);
    if (type != SpreadGrid::CellType::Number) return t;
    const auto value = numberOf(t);
    if (!value) return t;
    const auto fmt = resolve(&Style::number, col, row).value_or(SpreadGrid::NumberFormat{});
    QLocale locale = QLocale::c();
    if (!fmt.showSep)
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
    else
        locale.setNumberOptions({});
    return locale.toString(*value, 'f', fmt.decPlaces);
}

int SpreadModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int SpreadModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant SpreadModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_cols) return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    switch (role) {
        case Qt::DisplayRole: {
            if (resolve(&Style::type, col, row) == SpreadGrid::CellType::CheckBox) return {};
            return displayText(col, row);
        }
        case Qt::EditRole:
            return text(col, row);
        case Qt::CheckStateRole:
            if (resolve(&Style::type, col, row) != SpreadGrid::CellType::CheckBox) return {};
            return text(col, row) == QLatin1String("1") ? Qt::Checked : Qt::Unchecked;
        case Qt::BackgroundRole: {
            const auto back = resolve(&Style::back, col, row);
            return QBrush(back ? *back : rowDefaultBack(row));
        }
        case Qt::ForegroundRole: {
            if (resolve(&Style::type, col, row) == SpreadGrid::CellType::Number &&
                resolve(&Style::number, col, row).value_or(SpreadGrid::NumberFormat{}).negRed) {
                const auto v = numberOf(text(col, row));
                if (v && *v < 0) return QBrush(Qt::red);
            }
            const auto fore = resolve(&Style::fore, col, row);
            return QBrush(fore ? *fore : rowDefaultFore(row));
        }
        case Qt::FontRole: {
            const auto size = resolve(&Style::fontSize, col, row);
            const auto bold = resolve(&Style::bold, col, row);
            if (!size && !bold) return {};
            QFont f = baseFont;
            if (size && *size > 0) f.setPointSizeF(*size);
            if (bold) f.setBold(*bold);
            return f;
        }
        case Qt::TextAlignmentRole: {
            const auto type = resolve(&Style::type, col, row);
            auto h = resolve(&Style::hAlign, col, row)
                         .value_or(type == SpreadGrid::CellType::Number ? SpreadGrid::HAlign::Right
                                                                        : SpreadGrid::HAlign::Left);
            const auto v = resolve(&Style::vAlign, col, row).value_or(SpreadGrid::VAlign::Center);
            Qt::Alignment a = h == SpreadGrid::HAlign::Center  ? Qt::AlignHCenter
                              : h == SpreadGrid::HAlign::Right ? Qt::AlignRight
                                                               : Qt::AlignLeft;
            a |= v == SpreadGrid::VAlign::Top      ? Qt::AlignTop
                 : v == SpreadGrid::VAlign::Bottom ? Qt::AlignBottom
                                                   : Qt::AlignVCenter;
            return int(a);
        }
        default:
            return {};
    }
}

bool SpreadModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    if (!editable(col, row)) return false;
    const QString t = value.toString();
    if (t == text(col, row)) return true;
    store(m_cells[slot(col, row)], t);
    m_dataRowCnt = -1;
    emit dataChanged(index, index);
    emit userEdited(col, row);
    return true;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_cols) return {};
        const int col = section + 1;
        switch (role) {
            case Qt::DisplayRole: {
                QStringList lines;
                for (const auto& h : m_headers) lines << h[size_t(col)];
                const QString joined = lines.join(QLatin1Char('\n'));
                return joined.trimmed().isEmpty() && m_headers.size() <= 1 ? columnLetters(col) : joined;
            }
            case Qt::BackgroundRole:
                return headerBack.isValid() ? QVariant(QBrush(headerBack)) : QVariant();
            case Qt::ForegroundRole:
                return headerFore.isValid() ? QVariant(QBrush(headerFore)) : QVariant();
            case Qt::FontRole:
                return hasHeaderFont ? QVariant(headerFont) : QVariant();
            case Qt::TextAlignmentRole:
                return int(Qt::AlignCenter);
            default:
                return {};
        }
    }
    if (section < 0 || section >= m_rows) return {};
    switch (role) {
        case Qt::DisplayRole: {
            const QString t = text(0, section + 1);
            return t.isEmpty() ? QString::number(section + 1) : t;
        }
        case Qt::BackgroundRole:
            return headerBack.isValid() ? QVariant(QBrush(headerBack)) : QVariant();
        case Qt::ForegroundRole:
            return headerFore.isValid() ? QVariant(QBrush(headerFore)) : QVariant();
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        default:
            return {};
    }
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable(index.column() + 1, index.row() + 1)) f |= Qt::ItemIsEditable;
    return f;
}
