// The workbook writer's text input: any texts, in any cells, give a workbook that an independent reader
// (libfreexl) opens, with every text where it was written.
#include "fileformats/xls_writer.h"
#include "scratch_file.h"
#include "support/xls_book.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzScratchFile scratch("pelora-xls-fuzz-%1.xls");
    const QString& path = scratch.path();
    // The input as UTF-16 texts separated by U+0000; each goes to the next cell of a small block, so the
    // same input always makes the same sheet. The first unit, when there is one, names the sheet.
    const QString all = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    const QStringList texts = all.split(QChar(0));
    XlsWriter writer(texts.value(0));
    struct Cell {
        int row, col;
        QString text;
    };
    std::vector<Cell> cells;
    for (int i = 1; i < texts.size(); ++i) {
        const Cell c{(i - 1) / 4, (i - 1) % 4, texts[i]};
        if (c.text.isEmpty()) continue;
        if (!writer.writeText(c.row, c.col, c.text)) std::abort();
        cells.push_back(c);
    }
    QString error;
    if (!writer.save(path, &error)) std::abort();
    const XlsBook book(path);
    if (!book.opened) std::abort();
    for (const Cell& c : cells) {
        // An unpaired surrogate is no character: the cell holds U+FFFD in its place.
        QString expected = c.text;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            if (expected.at(i).isHighSurrogate() && i + 1 < expected.size() &&
                expected.at(i + 1).isLowSurrogate())
                ++i;
            else if (expected.at(i).isSurrogate())
                expected[i] = QChar::ReplacementCharacter;
        }
        // The reader takes a leading U+FEFF for a byte order mark and drops it; the workbook holds it.
        if (expected.startsWith(QChar(0xFEFF))) expected.remove(0, 1);
        if (book.text(unsigned(c.row), static_cast<unsigned short>(c.col)) != expected) std::abort();
    }
    return 0;
}
