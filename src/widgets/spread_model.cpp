#include "widgets/spread_model.h"

#include <QBrush>
#include <QFont>
#include <QLocale>

#include <algorithm>
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

void SpreadModel::setMaxRows(int rows) {
    rows = std::max(rows, 0);
    if (rows == m_rows) return;
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_texts.resize(size_t(rows) * stride());
        m_meta.resize(size_t(rows));
        m_rows = rows;
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, m_rows - 1);
        m_texts.resize(size_t(rows) * stride());
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
    std::vector<QString> texts(size_t(m_rows) * newStride);
    const size_t keep = std::min(oldStride, newStride);
    for (size_t r = 0; r < size_t(m_rows); ++r)
        for (size_t c = 0; c < keep; ++c) texts[r * newStride + c] = std::move(m_texts[r * oldStride + c]);
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
    } else {
        beginRemoveColumns({}, cols, m_cols - 1);
        for (RowMeta& meta : m_meta)
            if (meta.styles) std::erase_if(meta.styles->cells, [&](const auto& p) { return p.first > cols; });
    }
    m_texts = std::move(texts);
    m_cols = cols;
    m_colStyles.resize(newStride);
    for (auto& h : m_headers) h.resize(newStride);
    if (int(oldStride) - 1 < cols)
        endInsertColumns();
    else
        endRemoveColumns();
    m_dataRowCnt = -1;
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
        const QString* row = &m_texts[slot(1, r)];
        for (int c = 0; c < m_cols; ++c)
            if (!row[c].isEmpty()) {
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
    m_texts.resize(size_t(m_rows - count) * stride());
    m_meta.resize(size_t(m_rows - count));
    m_rows -= count;
    endRemoveRows();
    beginInsertRows({}, row - 1, row - 2 + count);
    m_texts.insert(m_texts.begin() + std::ptrdiff_t(size_t(row - 1) * stride()), size_t(count) * stride(),
                   QString());
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
    const auto first = m_texts.begin() + std::ptrdiff_t(size_t(row - 1) * stride());
    m_texts.erase(first, first + std::ptrdiff_t(size_t(count) * stride()));
    m_meta.erase(m_meta.begin() + (row - 1), m_meta.begin() + (row - 1 + count));
    m_rows -= count;
    endRemoveRows();
    beginInsertRows({}, m_rows, m_rows + count - 1);
    m_texts.resize(size_t(m_rows + count) * stride());
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
        const QString& t = text(col, r);
        if (t.isEmpty()) continue;
        numbers[size_t(r)] = numberOf(t);
        if (!numbers[size_t(r)]) allNumeric = false;
    }
    auto less = [&](int a, int b) {
        const QString& ta = text(col, a);
        const QString& tb = text(col, b);
        if (ta.isEmpty() || tb.isEmpty()) return !ta.isEmpty() && tb.isEmpty();  // empty cells last
        const bool aFirst = allNumeric  ? ascending ? *numbers[size_t(a)] < *numbers[size_t(b)]
                                                    : *numbers[size_t(b)] < *numbers[size_t(a)]
                             : ascending ? ta.localeAwareCompare(tb) < 0
                                        : tb.localeAwareCompare(ta) < 0;
        return aFirst;
    };
    std::stable_sort(order.begin(), order.end(), less);
    m_lastSortOrder = order;

    emit layoutAboutToBeChanged();
    std::vector<QString> texts(m_texts.size());
    std::vector<RowMeta> meta(m_meta.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t from = size_t(order[i] - 1);
        for (size_t c = 0; c < stride(); ++c)
            texts[i * stride() + c] = std::move(m_texts[from * stride() + c]);
        meta[i] = std::move(m_meta[from]);
    }
    m_texts = std::move(texts);
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
    const QString& t = text(col, row);
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
    m_texts[slot(col, row)] = t;
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
            const QString& t = text(0, section + 1);
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
