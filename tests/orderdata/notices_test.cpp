// The day's notices on the sheet of a whole date come from the directions that have a remark: directions
// without one add no empty box, take no slots and leave no blank lines between the notices.
#include "sheet_fixture.h"

using namespace sheet_test;

namespace {

const PrintItem* boxOn(const PrintPage& page) {
    for (const PrintItem& item : page.items)
        if (item.kind == PrintItem::Kind::Box) return &item;
    return nullptr;
}

class NoticesTest : public SheetTest {};

TEST_F(NoticesTest, DirectionsWithoutARemarkAddNeitherABoxNorSlotsNorBlankLines) {
    const QString day = QStringLiteral("2030-05-10");
    struct Case {
        const char* name;
        QStringList remarks;  // of the day's directions, in code order
        int pages;
        QStringList notices;  // the box's lines, top to bottom; none: no box
    } cases[] = {
        // 15 lines fill one page; an empty box would take four more slots, and a page.
        {"no remark at all", {QString(), QString(), QString()}, 1, {}},
        {"remarks among directions without",
         {QString(), QStringLiteral("오전 중 납품"), QString(), QStringLiteral("차량 2대")},
         1,
         {QStringLiteral("오전 중 납품"), QStringLiteral("차량 2대")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seedBase(0);
        for (int i = 0; i < c.remarks.size(); ++i) addDirection(11 + i, 1, day, day, c.remarks[i]);
        addLines(11, 15);
        const PrintDocument doc = recordedSheet(11, false, false);
        ASSERT_EQ(int(doc.pages.size()), c.pages);
        const PrintPage& last = doc.pages.back();
        EXPECT_TRUE(hasText(last, QStringLiteral("Page.%1/%1 (총%1장)").arg(c.pages)));
        if (c.notices.isEmpty()) {
            EXPECT_EQ(boxOn(last), nullptr);
            EXPECT_FALSE(hasText(last, QStringLiteral("공지사항:")));
            continue;
        }
        ASSERT_NE(boxOn(last), nullptr);
        // The notices follow each other line by line from the box's first text line.
        const double first = textItem(last, c.notices[0]).y1;
        EXPECT_DOUBLE_EQ(first, 248);
        const double second = textItem(last, c.notices[1]).y1;
        EXPECT_GT(second, first);
        EXPECT_LT(second - first, 7) << "a blank line between the notices";
    }
}

}  // namespace
