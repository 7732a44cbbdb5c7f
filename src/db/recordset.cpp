#include "db/recordset.h"

#include "platform/app_error.h"
#include "platform/cp949.h"

#include <mysql.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

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

// The size of the block that serves `bytes` (from kPooledFrom up): the next of the four steps between two
// powers of two (1, 1.25, 1.5, 1.75), so a block wastes at most a fifth of itself and a result of about
// the same size as the last one finds its block again.
std::size_t sizeClass(std::size_t bytes) {
    const std::size_t step = std::bit_floor(bytes) / 4;
    return (bytes + step - 1) / step * step;
}

// The pool's free blocks, few at any time (one or two per size that results of the program have).
class BlockPool {
public:
    void* take(std::size_t bytes, std::size_t* granted) {
        if (bytes < recordset_blocks::kPooledFrom) {
            *granted = std::max<std::size_t>(bytes, 1);
            return allocate(*granted);
        }
        const std::size_t size = sizeClass(bytes);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            // The block freed last first: its pages are the likeliest still to be in the caches.
            for (auto it = m_free.rbegin(); it != m_free.rend(); ++it) {
                if (it->bytes != size) continue;
                void* block = it->data;
                m_freeBytes -= size;
                m_free.erase(std::next(it).base());
                *granted = size;
                return block;
            }
        }
        *granted = size;
        return allocate(size);
    }

    void give(void* block, std::size_t bytes) {
        if (bytes < recordset_blocks::kPooledFrom) {
            std::free(block);
            return;
        }
        std::vector<void*> released;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_free.push_back({block, bytes});
            m_freeBytes += bytes;
            // Over the limit, the blocks freed longest ago go first: the newest fit what the program lists
            // now.
            while (m_freeBytes > recordset_blocks::kKeptBytes) {
                released.push_back(m_free.front().data);
                m_freeBytes -= m_free.front().bytes;
                m_free.erase(m_free.begin());
            }
        }
        for (void* b : released) std::free(b);
    }

    std::size_t keptBytes() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_freeBytes;
    }

private:
    struct FreeBlock {
        void* data;
        std::size_t bytes;
    };
    static void* allocate(std::size_t bytes) {
        void* block = std::malloc(bytes);
        if (!block) throw std::bad_alloc();
        return block;
    }
    std::mutex m_mutex;
    std::vector<FreeBlock> m_free;
    std::size_t m_freeBytes = 0;
};

// The client library keeps a stored result in blocks of a few kilobytes from the heap, and frees them all
// with the result; glibc then gives the top of the heap back to the system once it exceeds 128 KiB, and
// the next result faults every page in again (a 100,000-row result about 15 MB: several milliseconds a
// statement). The heap keeps up to 128 MB free at its top instead. The record sets' own blocks live in the
// pool and need no setting. Applied once, before the first result is built.
void keepLibraryHeap() {
#ifdef __GLIBC__
    static const bool kept = [] {
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        return true;
    }();
    (void)kept;
#endif
}

// Never destroyed: record sets that outlive static destruction may still give their blocks back.
BlockPool& pool() {
    static BlockPool* const p = new BlockPool;
    return *p;
}

// A library that does not record max_length leaves the bound short: the block then grows (doubling), so a
// value is never written past its end.
Recordset::Block<char16_t> grown(Recordset::Block<char16_t> block, std::size_t used, std::size_t needed) {
    Recordset::Block<char16_t> bigger(std::max(needed, block.capacity() * 2));
    std::copy_n(block.data(), used, bigger.data());
    return bigger;
}

}  // namespace

namespace recordset_blocks {

void* take(std::size_t bytes, std::size_t* granted) {
    return pool().take(bytes, granted);
}

void give(void* block, std::size_t bytes) {
    pool().give(block, bytes);
}

std::size_t keptBytes() {
    return pool().keptBytes();
}

}  // namespace recordset_blocks

Recordset::Recordset(QList<Column> columns, const std::vector<QString>& values)
    : m_columns(std::move(columns)) {
    std::size_t units = 0;
    for (const QString& v : values) units += std::size_t(v.size());
    m_text = Block<char16_t>(units);
    m_ends = Block<std::uint32_t>(values.size());
    std::size_t used = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::copy_n(values[i].utf16(), values[i].size(), m_text.data() + used);
        used += std::size_t(values[i].size());
        m_ends.data()[i] = static_cast<std::uint32_t>(used);
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
    keepLibraryHeap();
    std::size_t rowBytes = 0;
    for (unsigned int k = 0; k < n; ++k) rowBytes += fields[k].max_length;
    const std::size_t values = std::size_t(r) * n;
    Recordset::Block<char16_t> text(rowBytes * r);
    Recordset::Block<std::uint32_t> ends(values);
    std::size_t used = 0;
    std::size_t filled = 0;
    for (std::uint32_t row = 0; row < r; ++row) {
        MYSQL_ROW native = mysql_fetch_row(result);
        if (!native) continue;
        const unsigned long* lengths = mysql_fetch_lengths(result);
        std::size_t bytes = 0;
        for (unsigned int k = 0; k < n; ++k) bytes += native[k] ? lengths[k] : 0;
        if (used + bytes > text.capacity()) text = grown(std::move(text), used, used + bytes);
        used += cp949::decodeFieldsInto(native, lengths, n, text.data() + used, ends.data() + filled, used);
        filled += n;
        if (used > UINT32_MAX)  // the ends are 32-bit
            throw AppError(1041, QStringLiteral("cMysql::query"), QStringLiteral("Out of memory"));
    }
    return RecordsetPtr(new Recordset(std::move(columns), std::move(text), std::move(ends), filled));
}
