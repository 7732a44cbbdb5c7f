#include "fileformats/xls_writer.h"

#include "fileformats/compound_file.h"
#include "platform/file_commit.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Record types of the workbook stream.
enum : quint16 {
    kBof = 0x0809,
    kEof = 0x000A,
    kInterfaceHdr = 0x00E1,
    kMms = 0x00C1,
    kInterfaceEnd = 0x00E2,
    kCodepage = 0x0042,
    kDsf = 0x0161,
    kWindowProtect = 0x0019,
    kProtect = 0x0012,
    kPassword = 0x0013,
    kBackup = 0x0040,
    kHideObj = 0x008D,
    kDateMode = 0x0022,
    kPrecision = 0x000E,
    kBookBool = 0x00DA,
    kWindow1 = 0x003D,
    kFont = 0x0031,
    kFormat = 0x041E,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kDefColWidth = 0x0055,
    kColInfo = 0x007D,
    kDimensions = 0x0200,
    kWindow2 = 0x023E,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
};

constexpr int kMaxRecordData = 8224;
constexpr int kFirstCustomFormat = 164;
constexpr int kCellXfBase = 15;  // XFs 0..14 are style XFs, 15 the default cell XF

void put16(QByteArray& b, quint16 v) {
    char x[2];
    qToLittleEndian(v, x);
    b.append(x, 2);
}
void put32(QByteArray& b, quint32 v) {
    char x[4];
    qToLittleEndian(v, x);
    b.append(x, 4);
}
void record(QByteArray& out, quint16 type, const QByteArray& data) {
    put16(out, type);
    put16(out, quint16(data.size()));
    out.append(data);
}
void record16(QByteArray& out, quint16 type, quint16 value) {
    QByteArray d;
    put16(d, value);
    record(out, type, d);
}

bool fitsLatin1(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// The characters of a string in the record's form: one byte each when every character fits, else UTF-16.
void appendChars(QByteArray& b, const QString& s, qsizetype from, qsizetype count, bool wide) {
    if (wide) {
        const qsizetype start = b.size();
        b.resize(start + count * 2);
        char* p = b.data() + start;
        for (qsizetype i = 0; i < count; ++i) qToLittleEndian(quint16(s.at(from + i).unicode()), p + 2 * i);
    } else {
        for (qsizetype i = 0; i < count; ++i) b.append(char(s.at(from + i).unicode()));
    }
}

// A "short" string: 8-bit length, flags, characters (sheet and font names).
void shortString(QByteArray& b, const QString& s) {
    const bool wide = !fitsLatin1(s);
    b.append(char(s.size()));
    b.append(char(wide ? 1 : 0));
    appendChars(b, s, 0, s.size(), wide);
}

void bof(QByteArray& out, quint16 kind) {
    QByteArray d;
    put16(d, 0x0600);  // BIFF8
    put16(d, kind);
    put16(d, 0x0DBB);
    put16(d, 0x07CC);
    put32(d, 0x00000041);
    put32(d, 0x00000006);
    record(out, kBof, d);
}

void font(QByteArray& out, bool bold) {
    QByteArray d;
    put16(d, 180);  // 9 points, in twentieths
    put16(d, 0);
    put16(d, 0x7FFF);  // automatic colour
    put16(d, bold ? 700 : 400);
    put16(d, 0);
    d.append(char(0));    // no underline
    d.append(char(0));    // family
    d.append(char(129));  // Hangul character set
    d.append(char(0));
    shortString(d, QStringLiteral("굴림"));
    record(out, kFont, d);
}

void xf(QByteArray& out, quint16 fontIndex, quint16 format, bool style, quint8 align, quint8 used) {
    QByteArray d;
    put16(d, fontIndex);
    put16(d, format);
    put16(d, style ? 0xFFF5 : 0x0001);
    d.append(char(align));
    d.append(char(0));
    d.append(char(0));
    d.append(char(used));
    put32(d, 0);
    put32(d, 0);
    put16(d, 0x20C0);  // pattern colours: automatic
    record(out, kXf, d);
}

QString formatCode(int decimals, bool separators, bool negativeRed) {
    QString body = separators ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (decimals > 0) body += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return negativeRed ? body + QStringLiteral(";[Red]\\-") + body : body;
}

// The shared string table, split into SST and CONTINUE records at the format's record limit, with the
// index of every eighth (or so) string that Excel uses to find strings quickly.
void sharedStrings(QByteArray& out, const std::vector<QString>& strings, quint32 refs) {
    const quint32 unique = quint32(strings.size());
    const quint32 perBucket = std::max<quint32>(8, (unique + 127) / 128);
    QByteArray ext;
    put16(ext, quint16(perBucket));

    qsizetype recStart = out.size();  // header position of the record being written
    put16(out, kSst);
    put16(out, 0);
    put32(out, refs);
    put32(out, unique);
    auto used = [&] { return int(out.size() - recStart - 4); };
    auto closeRecord = [&] { qToLittleEndian(quint16(used()), out.data() + recStart + 2); };
    auto newContinue = [&] {
        closeRecord();
        recStart = out.size();
        put16(out, kContinue);
        put16(out, 0);
    };

    for (quint32 i = 0; i < unique; ++i) {
        const QString& s = strings[i];
        const bool wide = !fitsLatin1(s);
        // The string's header and its first character stay together in one record.
        if (used() + 3 + (wide ? 2 : 1) > kMaxRecordData) newContinue();
        if (i % perBucket == 0) {
            put32(ext, quint32(out.size()));
            put16(ext, quint16(out.size() - recStart));
            put16(ext, 0);
        }
        put16(out, quint16(s.size()));
        out.append(char(wide ? 1 : 0));
        qsizetype done = 0;
        while (done < s.size()) {
            const int room = (kMaxRecordData - used()) / (wide ? 2 : 1);
            if (room <= 0) {
                newContinue();
                out.append(char(wide ? 1 : 0));  // a continued string repeats its flags
                continue;
            }
            const qsizetype n = std::min<qsizetype>(room, s.size() - done);
            appendChars(out, s, done, n, wide);
            done += n;
        }
    }
    closeRecord();
    record(out, kExtSst, ext);
}

}  // namespace

namespace {

// A text as the workbook holds it: at most `limit` code units, not ending in half a character where the
// cut falls inside a surrogate pair, and every unpaired surrogate (which no reader can turn into a
// character) replaced by U+FFFD.
QString wellFormed(const QString& text, qsizetype limit) {
    QString t = text.left(limit);
    if (text.size() > limit && !t.isEmpty() && t.back().isHighSurrogate()) t.chop(1);
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i).isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (t.at(i).isSurrogate()) t[i] = QChar::ReplacementCharacter;
    }
    return t;
}

// Excel keeps at most 32,767 characters in a cell.
QString cellText(const QString& text) {
    return wellFormed(text, 32767);
}

}  // namespace

XlsWriter::XlsWriter(const QString& sheetName) : m_sheetName(cleanSheetName(sheetName)) {}

QString XlsWriter::cleanSheetName(const QString& name) {
    QString s;
    for (QChar c : name)
        if (!QStringLiteral(":\\/?*[]").contains(c) && c.unicode() >= 0x20) s += c;
    s = wellFormed(s, 31);
    return s.isEmpty() ? QStringLiteral("Sheet1") : s;
}

int XlsWriter::numberStyle(int decimals, bool separators, bool negativeRed) {
    decimals = std::clamp(decimals, 0, 15);
    for (size_t i = 0; i < m_numberFormats.size(); ++i) {
        const NumberFormat& f = m_numberFormats[i];
        if (f.decimals == decimals && f.separators == separators && f.negativeRed == negativeRed)
            return 2 + int(i);
    }
    m_numberFormats.push_back({decimals, separators, negativeRed});
    return 1 + int(m_numberFormats.size());
}

void XlsWriter::setColumn(int col, double widthChars, bool hidden) {
    if (col < 0 || col >= kMaxCols) return;
    m_columns.push_back({col, widthChars, hidden});
}

int XlsWriter::stringIndex(const QString& text) {
    ++m_stringRefs;
    if ((m_strings.size() + 1) * 2 > m_stringSlots.size()) growStringSlots();
    const size_t hash = qHash(text);
    const size_t mask = m_stringSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const quint32 slot = m_stringSlots[i];
        if (slot == 0) {
            m_stringSlots[i] = quint32(m_strings.size() + 1);
            m_strings.push_back(text);
            m_stringHashes.push_back(hash);
            return int(m_strings.size() - 1);
        }
        if (m_stringHashes[slot - 1] == hash && m_strings[slot - 1] == text) return int(slot - 1);
    }
}

void XlsWriter::growStringSlots() {
    // Starts at a size that a typical export's strings fit without growing; a large one grows fourfold.
    std::vector<quint32> table(m_stringSlots.empty() ? 8192 : m_stringSlots.size() * 4, 0);
    const size_t mask = table.size() - 1;
    for (size_t s = 0; s < m_strings.size(); ++s) {
        size_t i = m_stringHashes[s] & mask;
        while (table[i] != 0) i = (i + 1) & mask;
        table[i] = quint32(s + 1);
    }
    m_stringSlots = std::move(table);
}

void XlsWriter::cell(quint16 type, int row, int col, int style, const char* payload, int payloadSize) {
    char head[10];
    qToLittleEndian(type, head);
    qToLittleEndian(quint16(6 + payloadSize), head + 2);
    qToLittleEndian(quint16(row), head + 4);
    qToLittleEndian(quint16(col), head + 6);
    qToLittleEndian(quint16(kCellXfBase + style), head + 8);
    m_cells.append(head, 10);
    m_cells.append(payload, payloadSize);
    m_lastRow = std::max(m_lastRow, row);
    m_lastCol = std::max(m_lastCol, col);
}

bool XlsWriter::writeText(int row, int col, const QString& text, int style) {
    if (row < 0 || row >= kMaxRows || col < 0 || col >= kMaxCols) {
        m_refused = true;
        return false;
    }
    if (text.isEmpty()) return true;
    char payload[4];
    qToLittleEndian(quint32(stringIndex(cellText(text))), payload);
    cell(kLabelSst, row, col, style, payload, 4);
    return true;
}

bool XlsWriter::writeNumber(int row, int col, double value, int style) {
    if (row < 0 || row >= kMaxRows || col < 0 || col >= kMaxCols) {
        m_refused = true;
        return false;
    }
    char payload[8];
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    qToLittleEndian(bits, payload);
    cell(kNumber, row, col, style, payload, 8);
    return true;
}

QByteArray XlsWriter::streamHead() const {
    QByteArray out;
    qsizetype stringBytes = 0;
    for (const QString& s : m_strings) stringBytes += 3 + s.size() * 2;
    out.reserve(stringBytes + stringBytes / kMaxRecordData * 5 + qsizetype(m_strings.size()) / 2 + 8192);

    // Workbook globals.
    bof(out, 0x0005);
    record16(out, kInterfaceHdr, 1200);
    record16(out, kMms, 0);
    record(out, kInterfaceEnd, {});
    record16(out, kCodepage, 1200);  // texts are UTF-16
    record16(out, kDsf, 0);
    record16(out, kWindowProtect, 0);
    record16(out, kProtect, 0);
    record16(out, kPassword, 0);
    record16(out, kBackup, 0);
    record16(out, kHideObj, 0);
    record16(out, kDateMode, 0);
    record16(out, kPrecision, 1);
    record16(out, kBookBool, 0);
    {
        QByteArray d;
        put16(d, 0x0168);
        put16(d, 0x001E);
        put16(d, 0x3A98);
        put16(d, 0x1D4C);
        put16(d, 0x0038);
        put16(d, 0);  // first sheet active
        put16(d, 0);
        put16(d, 1);
        put16(d, 0x0258);
        record(out, kWindow1, d);
    }
    // Fonts 0 to 3 are the normal font; the format has no font 4, so the next record is font 5 (bold).
    for (int i = 0; i < 4; ++i) font(out, false);
    font(out, true);
    for (size_t i = 0; i < m_numberFormats.size(); ++i) {
        const NumberFormat& f = m_numberFormats[i];
        const QString code = formatCode(f.decimals, f.separators, f.negativeRed);
        QByteArray d;
        put16(d, quint16(kFirstCustomFormat + i));
        put16(d, quint16(code.size()));
        d.append(char(0));
        appendChars(d, code, 0, code.size(), false);
        record(out, kFormat, d);
    }
    for (int i = 0; i < 15; ++i) xf(out, 0, 0, true, 0x20, 0);
    xf(out, 0, 0, false, 0x20, 0);     // style 0: normal cell
    xf(out, 5, 0, false, 0x12, 0x18);  // style 1: bold, centred both ways
    for (size_t i = 0; i < m_numberFormats.size(); ++i)
        xf(out, 0, quint16(kFirstCustomFormat + i), false, 0x20, 0x04);
    {
        QByteArray d;
        put16(d, 0x8000);  // built-in style "Normal" on XF 0
        d.append(char(0));
        d.append(char(0xFF));
        record(out, kStyle, d);
    }
    const qsizetype sheetOffsetAt = out.size() + 4;
    {
        QByteArray d;
        put32(d, 0);  // patched below
        d.append(char(0));
        d.append(char(0));
        shortString(d, m_sheetName);
        record(out, kBoundSheet, d);
    }
    sharedStrings(out, m_strings, m_stringRefs);
    record(out, kEof, {});

    // The worksheet.
    qToLittleEndian(quint32(out.size()), out.data() + sheetOffsetAt);
    bof(out, 0x0010);
    record16(out, kDefColWidth, 8);
    for (const Column& c : m_columns) {
        QByteArray d;
        put16(d, quint16(c.col));
        put16(d, quint16(c.col));
        put16(d, quint16(std::clamp(std::lround(c.width * 256.0), 0L, 65535L)));
        put16(d, quint16(kCellXfBase));
        put16(d, c.hidden ? 0x0001 : 0x0000);
        put16(d, 0);
        record(out, kColInfo, d);
    }
    {
        QByteArray d;
        put32(d, 0);
        put32(d, quint32(m_lastRow + 1));
        put16(d, 0);
        put16(d, quint16(m_lastCol + 1));
        put16(d, 0);
        record(out, kDimensions, d);
    }
    return out;
}

QByteArray XlsWriter::streamEnd(qsizetype sizeBefore) const {
    QByteArray out;
    {
        QByteArray d;
        put16(d, 0x06B6);  // grid lines, headers, zeros, outline symbols, selected, shown
        put16(d, 0);
        put16(d, 0);
        put32(d, 0x00000040);
        put16(d, 0);
        put16(d, 0);
        put32(d, 0);
        record(out, kWindow2, d);
    }
    record(out, kEof, {});
    // A stream below the cut-off would have to live in the mini stream; padding keeps one layout.
    const qsizetype size = sizeBefore + out.size();
    if (size < compound_file::kMiniStreamCutoff) out.append(compound_file::kMiniStreamCutoff - size, '\0');
    return out;
}

QByteArray XlsWriter::workbook() const {
    const QByteArray head = streamHead();
    const QByteArray end = streamEnd(head.size() + m_cells.size());
    const qsizetype size = head.size() + m_cells.size() + end.size();
    const QByteArray trailer = compound_file::trailer(QStringLiteral("Workbook"), size);
    QByteArray file = compound_file::header(size);
    file.reserve(file.size() + size + trailer.size());
    file.append(head).append(m_cells).append(end).append(trailer);
    return file;
}

bool XlsWriter::save(const QString& path, QString* error) const {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (m_refused)
        return fail(QStringLiteral("the sheet exceeds %1 rows or %2 columns").arg(kMaxRows).arg(kMaxCols));
    // Written whole or not at all: a full disk leaves no truncated workbook behind, and the reason is
    // the system's.
    // The cells, the bulk of the file, go from their own buffer to the file: no joined copy of the workbook.
    const QByteArray head = streamHead();
    const QByteArray end = streamEnd(head.size() + m_cells.size());
    const qsizetype size = head.size() + m_cells.size() + end.size();
    return file_commit::replaceFile(path,
                                    {compound_file::header(size), head, m_cells, end,
                                     compound_file::trailer(QStringLiteral("Workbook"), size)},
                                    error);
}
