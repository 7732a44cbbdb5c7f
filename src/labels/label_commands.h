#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The label printer's command blocks (TSPL, the command language of TSC label printers), built from
// texts alone: no window, no port. The label window sends them, the preview draws them, tests and the
// benchmark compare their bytes. Lines end with CR LF; blocks go to the printer in code page 949.
//
// Layout in printer dots: the title at (90, 30) in double size; the field lines at x 20 from y 105 down,
// 45 dots apart, in single size; an empty field takes no line.
namespace label_commands {

// The ten texts of one label, in the order of the label grid's columns 2 to 11.
enum Field { Customer, ProductName, Quantity, Origin, Storage, ReceiveDate, Expiry, Vehicle, Maker, Remarks };
inline constexpr int kFieldCount = 10;
using LabelTexts = std::array<QString, kFieldCount>;

// The label's size and the gap between labels, millimetres.
inline constexpr int kLabelWidthMm = 80;
inline constexpr int kLabelHeightMm = 70;
inline constexpr int kGapMm = 3;
// Remarks longer than this many code page 949 bytes go on two lines.
inline constexpr int kRemarkLineBytes = 42;

// The shortest decimal text of a number: 90, 2.5, no grouping, no trailing zeros.
QString NumberText(double value);

// A text as it may stand between the double quotes of a command, so that no text can end the string or
// the command, start a new one, or carry a printer control: a double quote becomes \["], a line break (CR
// LF, CR or LF) one blank, every other control character (below 0x20, and 0x7F) a blank, and a backslash
// that could pair with what follows it (before a double quote or "[", or at the end) the full-width ＼.
QString QuotedText(const QString& text);

// One TEXT command line in the printer's Korean font "K": position in dots, rotation 0, the multipliers.
QString MakeTextCommand(double x, double y, const QString& text, int xMultiplier, int yMultiplier);

// The media setup sent once before the labels: size, gap, home, density, speed, direction, reference,
// no cutter, no peel-off.
QString LabelSetupBlock();
// The block of one label: clear, counter, title, a line per non-empty field, the remark on one or two
// lines, print one.
QString LabelBlock(const LabelTexts& texts);

// The bytes that go to the printer.
QByteArray Encode(const QString& block);

}  // namespace label_commands
