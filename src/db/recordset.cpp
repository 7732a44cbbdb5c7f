#include "db/recordset.h"

#include "platform/app_error.h"
#include "platform/cp949.h"

#include <mysql.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

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

namespace {

// Large results are built from blocks of tens of megabytes. With glibc's default settings each such block
// is mapped fresh from the system and unmapped when freed, so every query pays a page fault per 4 KiB of
// its values again (and the client library's own buffers the same). Raising the mapping threshold to its
// maximum and keeping freed memory in the heap lets the next query reuse pages that are already mapped;
// what the heap keeps is bounded by the trim threshold. Applied once, before the first result is built.
void tuneAllocator() {
#ifdef __GLIBC__
    static const bool tuned = [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's upper bound on 64-bit systems
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        return true;
    }();
    (void)tuned;
#endif
}

// A block with room for `n` values, default-initialised: no zero fill, every unit is written before it is
// read.
template <typename T>
Recordset::Block<T> takeBlock(std::size_t n) {
    return {std::unique_ptr<T[]>(new T[std::max<std::size_t>(n, 1)]), n};
}

// A library that does not record max_length leaves the bound short: the block then grows (doubling), so a
// value is never written past its end.
Recordset::Block<char16_t> grown(Recordset::Block<char16_t> block, std::size_t used, std::size_t needed) {
    Recordset::Block<char16_t> bigger = takeBlock<char16_t>(std::max(needed, block.capacity * 2));
    std::copy_n(block.data.get(), used, bigger.data.get());
    return bigger;
}

}  // namespace

Recordset::Recordset(QList<Column> columns, const std::vector<QString>& values)
    : m_columns(std::move(columns)) {
    std::size_t units = 0;
    for (const QString& v : values) units += std::size_t(v.size());
    m_text = takeBlock<char16_t>(units);
    m_ends = takeBlock<std::uint32_t>(values.size());
    std::size_t used = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::copy_n(values[i].utf16(), values[i].size(), m_text.data.get() + used);
        used += std::size_t(values[i].size());
        m_ends.data[i] = static_cast<std::uint32_t>(used);
    }
    indexColumns(values.size());
}

Recordset::Recordset(QList<Column> columns, Block<char16_t> text, Block<std::uint32_t> ends,
                     std::size_t values)
    : m_columns(std::move(columns)), m_text(std::move(text)), m_ends(std::move(ends)) {
    indexColumns(values);
}

Recordset::~Recordset() = default;

void Recordset::indexColumns(std::size_t values) {
    m_rowCount = m_columns.isEmpty() ? 0 : int(values / m_columns.size());
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

// Decodes a value as CStrToText does, into `out` (room for `length` units), in one pass over its bytes:
// ASCII is copied as it is read, eight bytes at a time while none of them is a NUL or above 0x7F; from the
// first byte of a double-byte character on, the rest (up to a NUL) goes to the code page's decoder.
// Trailing spaces are cut from the units afterwards, which cuts the same as cutting the bytes: a trail
// byte is never 0x20. Returns the number of units.
std::size_t decodeValue(const char* bytes, unsigned long length, char16_t* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    unsigned long i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (((word - kOnes) | word) & kHighBits) break;  // a byte above 0x7F, or a NUL
        for (int j = 0; j < 8; ++j) out[i + j] = p[i + j];
    }
    for (; i < length && p[i] != 0 && p[i] < 0x80; ++i) out[i] = p[i];
    std::size_t units = i;
    if (i < length && p[i] != 0) {
        const void* nul = std::memchr(bytes + i, 0, length - i);
        const unsigned long end =
            nul ? static_cast<unsigned long>(static_cast<const char*>(nul) - bytes) : length;
        units += cp949::decodeInto(bytes + i, end - i, out + units);
    }
    while (units > 0 && out[units - 1] == u' ') --units;
    return units;
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

    // mysql_store_result records each column's longest value (max_length): their sum per row bounds the
    // UTF-16 units (never more units than bytes), so the text block is sized without a pass of its own.
    tuneAllocator();
    std::size_t rowBytes = 0;
    for (unsigned int k = 0; k < n; ++k) rowBytes += fields[k].max_length;
    const std::size_t values = std::size_t(r) * n;
    Recordset::Block<char16_t> text = takeBlock<char16_t>(rowBytes * r);
    Recordset::Block<std::uint32_t> ends = takeBlock<std::uint32_t>(values);
    std::size_t used = 0;
    std::size_t filled = 0;
    for (std::uint32_t row = 0; row < r; ++row) {
        MYSQL_ROW native = mysql_fetch_row(result);
        if (!native) continue;
        const unsigned long* lengths = mysql_fetch_lengths(result);
        for (unsigned int k = 0; k < n; ++k) {
            if (native[k] && used + lengths[k] > text.capacity)
                text = grown(std::move(text), used, used + lengths[k]);
            if (native[k])  // NULL stays the empty text
                used += decodeValue(native[k], lengths[k], text.data.get() + used);
            if (used > UINT32_MAX)
                throw AppError(1041, QStringLiteral("cMysql::query"), QStringLiteral("Out of memory"));
            ends.data[filled++] = static_cast<std::uint32_t>(used);
        }
    }
    return RecordsetPtr(new Recordset(std::move(columns), std::move(text), std::move(ends), filled));
}
