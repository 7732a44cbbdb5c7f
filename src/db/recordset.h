#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

struct st_mysql_res;
class Recordset;
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

    // Memory for the values, not zero-filled: every unit is written before it is read.
    template <typename T>
    struct Block {
        std::unique_ptr<T[]> data;
        std::size_t capacity = 0;
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
        const std::uint32_t begin = i == 0 ? 0 : m_ends.data[i - 1];
        return QStringView(m_text.data.get() + begin, qsizetype(m_ends.data[i] - begin));
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
