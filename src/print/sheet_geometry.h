#pragma once

#include <vector>

// The tables of the order sheet that a header and a row belong to; a title block alone carries none.
enum class RowKind { OrderLine, Summary, TitleOnly };

// The order sheet's page: millimetres from the paper's top-left corner, points for font sizes.
namespace sheet_geometry {

inline constexpr double kLeft = 10;
inline constexpr double kRight = 198;

// The title block at the top of every page.
inline constexpr double kTitleY = 8.5;
inline constexpr double kTitleSize = 20;
inline constexpr double kTitleLineY = 26;  // recipient, delivery date and page line

// The tables: a header of 9 mm with its labels 3 mm below its top, then rows of 13 mm with their texts
// 5 mm below their tops.
inline constexpr double kTableTop = 33;  // the header under the title block
inline constexpr double kHeaderHeight = 9;
inline constexpr double kLabelOffset = 3;
inline constexpr double kRowHeight = 13;
inline constexpr double kTextOffset = 5;
inline constexpr double kRowSize = 12;   // points, row and header texts
inline constexpr double kCellPad = 0.5;  // room kept between a text and the rule on its side

// Row slots: 18 a page, slot 1 right under the header, the last ending at 276.
inline constexpr int kSlotsPerPage = 18;
inline constexpr double kFirstSlotTop = kTableTop + kHeaderHeight;
// The top of row slot n (1 to 18).
constexpr double slotTop(int n) {
    return kFirstSlotTop + kRowHeight * (n - 1);
}

// A page whose lines or summary used this many slots takes no further block: the summary or the notice
// box starts on a new page.
inline constexpr int kNearlyFullSlots = 16;
// The summary's caption and header take the two slots before its first row: the caption ("집계표") 3 mm
// above the first of them, the header 4 mm below its top.
inline constexpr int kSummaryLeadSlots = 2;
inline constexpr double kSummaryCaptionAbove = 3;
inline constexpr double kSummaryHeaderBelow = 4;

// The notice box ("공지사항:") at the foot of the page, as tall as the last four slots.
struct NoticeBox {
    double top;
    double left;
    double bottom;
    double right;
    double penWidth;  // pixels of a 600-dpi printer: a heavy frame
    double captionY;
    double textX;  // the caption and the notices text
    double textY;
    double captionSize;
    int wrap;       // bytes a notices line holds
    int pageSlots;  // the slots it takes in the page count
};
inline constexpr NoticeBox kNoticeBox{237, kLeft, 276, kRight, 12, 239, 12, 248, 14, 88, 4};

// Where the vertical rules of a table stand, left to right (its columns' left edges, then its right).
std::vector<double> ColumnRules(RowKind kind);

}  // namespace sheet_geometry
