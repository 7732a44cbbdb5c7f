#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Writes one worksheet as an Excel 97-2003 workbook (BIFF8 records in a compound file). Texts are stored
// as UTF-16 in the shared string table, so Hangul survives; numbers as numbers with their display format.
// Cells are added in any order (rows and columns 0-based); save() writes the file in one go through a
// temporary file, so a failed save leaves no workbook behind.
class XlsWriter {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxCols = 256;

    // Cell styles: the default, the bold centred header style, and number styles made on demand.
    static constexpr int kStyleNormal = 0;
    static constexpr int kStyleHeader = 1;

    explicit XlsWriter(const QString& sheetName);

    // A number style: decimals, thousands separators, negatives in red. Returns the style to pass to
    // writeNumber; the same arguments give the same style.
    int numberStyle(int decimals, bool separators, bool negativeRed);
    // Column width in characters, and whether the column is hidden.
    void setColumn(int col, double widthChars, bool hidden);
    // False when the cell lies beyond the format's 65,536 rows or 256 columns (nothing is written then).
    bool writeText(int row, int col, const QString& text, int style = kStyleNormal);
    bool writeNumber(int row, int col, double value, int style = kStyleNormal);

    // The workbook as bytes, and writing it to a file. save() fails (with a reason) when a cell was refused
    // or the file cannot be written; the target is then left as it was.
    QByteArray workbook() const;
    bool save(const QString& path, QString* error) const;

    int rowCount() const { return m_lastRow + 1; }
    int colCount() const { return m_lastCol + 1; }
    int stringCount() const { return int(m_strings.size()); }

    // A sheet name as the format accepts it: at most 31 characters, none of : \ / ? * [ ], not empty.
    static QString cleanSheetName(const QString& name);

private:
    struct Column {
        int col;
        double width;
        bool hidden;
    };
    struct NumberFormat {
        int decimals;
        bool separators;
        bool negativeRed;
    };
    int stringIndex(const QString& text);
    void growStringSlots();
    // The workbook stream is head + m_cells + end: the globals and the worksheet's first records, the
    // cells as written, and the worksheet's last records (with the padding a short stream needs).
    QByteArray streamHead() const;
    QByteArray streamEnd(qsizetype sizeBefore) const;
    void cell(quint16 type, int row, int col, int style, const char* payload, int payloadSize);

    QString m_sheetName;
    // The shared strings in the order of their first use, with their hashes, and an open-addressing
    // index over them (string position + 1, 0 for a free slot; a power of two in size, at most half
    // full). Growing it moves only numbers: no string is hashed twice.
    std::vector<QString> m_strings;
    std::vector<size_t> m_stringHashes;
    std::vector<quint32> m_stringSlots;
    quint32 m_stringRefs = 0;
    QByteArray m_cells;  // LABELSST and NUMBER records, in the order written
    std::vector<Column> m_columns;
    std::vector<NumberFormat> m_numberFormats;  // style 2 + i
    int m_lastRow = -1;
    int m_lastCol = -1;
    bool m_refused = false;
};
