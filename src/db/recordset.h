#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct st_mysql_res;
class Recordset;

// The memory that record sets keep their values in. A large result takes blocks of tens or hundreds of
// megabytes; asked of the allocator for every result, each such block is mapped fresh from the system and
// every page of it faults (and is zeroed) again on the next statement. The pool keeps freed blocks for the
// next result instead: sizes from 64 KiB up grow geometrically (four steps to each doubling), so a block
// fits the next result of about the same size, and a larger result takes a larger size once. Smaller
// requests come from the heap as they are. The pool keeps at most kKeptBytes of free blocks and gives the
// blocks freed longest ago back beyond that.
namespace recordset_blocks {
inline constexpr std::size_t kPooledFrom = std::size_t(64) << 10;
inline constexpr std::size_t kKeptBytes = std::size_t(1) << 30;
// Memory for at least `bytes` bytes (one byte at least); `granted` receives the size to give back.
void* take(std::size_t bytes, std::size_t* granted);
void give(void* block, std::size_t bytes);
// The bytes of the free blocks the pool keeps.
std::size_t keptBytes();
}  // namespace recordset_blocks

using RecordsetPtr = std::unique_ptr<Recordset>;
RecordsetPtr FillRecordset(st_mysql_res* result);

// The in-memory table that every statement with a result comes back as. All values are text (a NULL of
// the server is the empty text); it holds its own copies and needs no connection once built. Callers walk
// it with a cursor and read values by column name (any letter case) or position.
class Recordset {
public:
    struct Column {
        QString name;
        int size = 0;  // the declared display length the server reports
    };
    enum class State { Closed, Open };

    // A column of the cursor row, as `Fields(...)` hands it out.
    class Field {
    public:
        // The value in the cursor row; raises AppError when the cursor is at the end.
        QString Value() const;
        const QString& Name() const;

    private:
        friend class Recordset;
        Field(const Recordset* rs, int column) : m_rs(rs), m_column(column) {}
        const Recordset* m_rs;
        int m_column;
    };

    // `values` holds the rows one after the other, columns.size() values each.
    Recordset(QList<Column> columns, const std::vector<QString>& values);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Memory for the values, from the record sets' block pool (below) and given back to it when the record
    // set lets it go. Not zero-filled: every unit is written before it is read.
    template <typename T>
    class Block {
    public:
        Block() = default;
        explicit Block(std::size_t n) {
            m_data = static_cast<T*>(recordset_blocks::take(n * sizeof(T), &m_bytes));
            m_capacity = m_bytes / sizeof(T);
        }
        Block(Block&& other) noexcept
            : m_data(std::exchange(other.m_data, nullptr)),
              m_bytes(std::exchange(other.m_bytes, 0)),
              m_capacity(std::exchange(other.m_capacity, 0)) {}
        Block& operator=(Block&& other) noexcept {
            if (this != &other) {
                release();
                m_data = std::exchange(other.m_data, nullptr);
                m_bytes = std::exchange(other.m_bytes, 0);
                m_capacity = std::exchange(other.m_capacity, 0);
            }
            return *this;
        }
        Block(const Block&) = delete;
        Block& operator=(const Block&) = delete;
        ~Block() { release(); }

        T* data() const { return m_data; }
        std::size_t capacity() const { return m_capacity; }

    private:
        void release() {
            if (m_data) recordset_blocks::give(m_data, m_bytes);
            m_data = nullptr;
            m_bytes = m_capacity = 0;
        }
        T* m_data = nullptr;
        std::size_t m_bytes = 0;
        std::size_t m_capacity = 0;
    };

    // The end of the rows (the cursor is past the last row). Named so because EOF is a C macro.
    bool Eof() const { return m_cursor >= m_rowCount; }
    void MoveNext();
    void MoveFirst() { m_cursor = 0; }
    int RecordCount() const { return m_rowCount; }
    int FieldCount() const { return int(m_columns.size()); }
    const QList<Column>& Columns() const { return m_columns; }
    // Raises AppError for a name or position that does not exist.
    Field Fields(const QString& name) const;
    Field Fields(int position) const;
    // The position of a column named so (any letter case); raises AppError 3265 when there is none.
    int ColumnIndex(const QString& name) const;
    State GetState() const { return m_state; }
    void Close();

    // Direct access for bulk readers (grids): the value at (row, column) without moving the cursor.
    QStringView ValueAt(int row, int column) const {
        const std::size_t i = std::size_t(row) * m_columns.size() + column;
        const std::uint32_t begin = i == 0 ? 0 : m_ends.data()[i - 1];
        return QStringView(m_text.data() + begin, qsizetype(m_ends.data()[i] - begin));
    }

private:
    friend RecordsetPtr FillRecordset(st_mysql_res* result);
    // All values in one buffer: value i (row-major) ends at m_ends[i] and starts where value i - 1 ended.
    // One allocation for the whole table instead of one per value keeps large results quick to build.
    Recordset(QList<Column> columns, Block<char16_t> text, Block<std::uint32_t> ends, std::size_t values);
    void indexColumns(std::size_t values);
    void checkOpen() const;

    QList<Column> m_columns;
    QHash<QString, int> m_byLowerName;
    Block<char16_t> m_text;
    Block<std::uint32_t> m_ends;
    int m_rowCount = 0;
    int m_cursor = 0;
    State m_state = State::Open;
};

// Closes the result set the reference holds, if any, and releases the reference.
void CloseRecordset(RecordsetPtr& rs);

// The client library's text conversion: the bytes up to the first NUL, decoded from code page 949, with
// every trailing space removed. A null pointer gives the empty text.
QString CStrToText(const char* bytes);
QString CStrToText(const char* bytes, unsigned long length);

// FillRecordset(result): builds the whole table from a result the client library has stored. Duplicate
// column names are qualified with their table alias; names that still coincide (in any letter case) raise
// AppError 1060.
