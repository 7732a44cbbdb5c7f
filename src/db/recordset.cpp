#include "db/recordset.h"

#include "platform/app_error.h"
#include "platform/cp949.h"

#include <mysql.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

AppError noCurrentRow() {
    return AppError(3021, QStringLiteral("Recordset"),
                    QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

AppError noSuchColumn(const QString& name) {
    return AppError(3265, QStringLiteral("Recordset"),
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                   "name or ordinal: ") +
                        name);
}

}  // namespace

Recordset::Recordset(QList<Column> columns, const std::vector<QString>& values)
    : m_columns(std::move(columns)) {
    m_ends.reserve(values.size());
    for (const QString& v : values) {
        m_text.insert(m_text.end(), v.utf16(), v.utf16() + v.size());
        m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
    }
    indexColumns();
}

Recordset::Recordset(QList<Column> columns, std::vector<char16_t> text, std::vector<std::uint32_t> ends)
    : m_columns(std::move(columns)), m_text(std::move(text)), m_ends(std::move(ends)) {
    indexColumns();
}

void Recordset::indexColumns() {
    m_rowCount = m_columns.isEmpty() ? 0 : int(m_ends.size() / m_columns.size());
    m_byLowerName.reserve(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i) m_byLowerName.insert(m_columns[i].name.toLower(), i);
}

void Recordset::MoveNext() {
    checkOpen();
    if (m_cursor < m_rowCount) ++m_cursor;
}

Recordset::Field Recordset::Fields(const QString& name) const {
    checkOpen();
    return Field(this, ColumnIndex(name));
}

int Recordset::ColumnIndex(const QString& name) const {
    const auto it = m_byLowerName.constFind(name.toLower());
    if (it == m_byLowerName.cend()) throw noSuchColumn(name);
    return it.value();
}

Recordset::Field Recordset::Fields(int position) const {
    checkOpen();
    if (position < 0 || position >= m_columns.size()) throw noSuchColumn(QString::number(position));
    return Field(this, position);
}

void Recordset::Close() {
    m_state = State::Closed;
    m_text = {};
    m_ends = {};
    m_rowCount = 0;
    m_cursor = 0;
}

void Recordset::checkOpen() const {
    if (m_state != State::Open)
        throw AppError(3704, QStringLiteral("Recordset"),
                       QStringLiteral("Operation is not allowed when the object is closed."));
}

QString Recordset::Field::Value() const {
    m_rs->checkOpen();
    if (m_rs->Eof()) throw noCurrentRow();
    return m_rs->ValueAt(m_rs->m_cursor, m_column).toString();
}

const QString& Recordset::Field::Name() const {
    return m_rs->m_columns[m_column].name;
}

void CloseRecordset(RecordsetPtr& rs) {
    if (!rs) return;
    if (rs->GetState() == Recordset::State::Open) rs->Close();
    rs.reset();
}

namespace {

// The bytes that CStrToText converts: up to the first NUL (binary columns may carry one), without
// trailing spaces. A trail byte of code page 949 is never 0x20, so spaces can be cut before decoding.
unsigned long textLength(const char* bytes, unsigned long length) {
    const void* nul = std::memchr(bytes, 0, length);
    if (nul) length = static_cast<unsigned long>(static_cast<const char*>(nul) - bytes);
    while (length > 0 && bytes[length - 1] == ' ') --length;
    return length;
}

}  // namespace

QString CStrToText(const char* bytes, unsigned long length) {
    if (!bytes) return QString();
    return cp949::decode(bytes, textLength(bytes, length));
}

QString CStrToText(const char* bytes) {
    return bytes ? CStrToText(bytes, std::strlen(bytes)) : QString();
}

namespace {

struct PendingColumn {
    QString name;
    QString table;
    int size;
    bool qualified;
};

// Gives every column that shares its name with an earlier one the name "table.name"; the comparison runs
// against the names as already qualified, so a third equal name meets only qualified ones and stays plain.
void qualifyDuplicates(std::vector<PendingColumn>& cols) {
    for (std::size_t i = 0; i < cols.size(); ++i) {
        int count = 0;
        for (std::size_t j = 0; j < i; ++j) {
            if (cols[j].name != cols[i].name) continue;
            if (!cols[j].qualified) {
                cols[j].name = cols[j].table + QLatin1Char('.') + cols[j].name;
                cols[j].qualified = true;
            }
            ++count;
        }
        if (count > 0) {
            cols[i].name = cols[i].table + QLatin1Char('.') + cols[i].name;
            cols[i].qualified = true;
        }
    }
}

}  // namespace

RecordsetPtr FillRecordset(MYSQL_RES* result) {
    const unsigned int n = mysql_num_fields(result);
    const auto r = static_cast<std::uint32_t>(mysql_num_rows(result));

    std::vector<PendingColumn> pending;
    pending.reserve(n);
    MYSQL_FIELD* fields = mysql_fetch_fields(result);
    for (unsigned int i = 0; i < n; ++i)
        pending.push_back({CStrToText(fields[i].name, fields[i].name_length),
                           CStrToText(fields[i].table, fields[i].table_length), int(fields[i].length),
                           false});
    qualifyDuplicates(pending);

    QList<Recordset::Column> columns;
    columns.reserve(n);
    QHash<QString, int> seen;
    for (const PendingColumn& c : pending) {
        if (seen.contains(c.name.toLower()))
            throw AppError(1060, QStringLiteral("cMysql::query"),
                           QStringLiteral("Duplicate column name '%1'").arg(c.name));
        seen.insert(c.name.toLower(), 0);
        columns.append({c.name, c.size});
    }

    // The byte count bounds the UTF-16 units (never more units than bytes): one pass to size the text
    // buffer once, a second to decode into it.
    std::size_t bytes = 0;
    while (MYSQL_ROW native = mysql_fetch_row(result)) {
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned int k = 0; k < n; ++k) bytes += native[k] ? lengths[k] : 0;
    }
    mysql_data_seek(result, 0);

    std::vector<char16_t> text(bytes);
    std::vector<std::uint32_t> ends;
    ends.reserve(std::size_t(r) * n);
    std::size_t used = 0;
    for (std::uint32_t row = 0; row < r; ++row) {
        MYSQL_ROW native = mysql_fetch_row(result);
        if (!native) continue;
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned int k = 0; k < n; ++k) {
            if (native[k])  // NULL stays the empty text
                used += cp949::decodeInto(native[k], textLength(native[k], lengths[k]), text.data() + used);
            if (used > UINT32_MAX)
                throw AppError(1041, QStringLiteral("cMysql::query"), QStringLiteral("Out of memory"));
            ends.push_back(static_cast<std::uint32_t>(used));
        }
    }
    // Hangul takes two bytes but one unit: give back the slack when it is large.
    text.resize(used);
    if (used < text.capacity() * 3 / 4) text.shrink_to_fit();
    return RecordsetPtr(new Recordset(std::move(columns), std::move(text), std::move(ends)));
}
