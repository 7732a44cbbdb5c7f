// The label printer's command blocks, compared byte for byte, and the preview that reads them back.
#include "labels/label_commands.h"
#include "labels/label_preview.h"
#include "platform/cp949.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace label_commands;

namespace {

QByteArray cp(const char* utf8) {
    return cp949::encode(QString::fromUtf8(utf8));
}

const QByteArray kTitleLines =
    cp("CLS \r\n"
       "SET COUNTER @1 1\r\n"
       "@1=\"000001\"\r\n"
       "TEXT 90,30,\"K\" ,0,2,2,\"(주)라벤푸드시스템\"\r\n");

LabelTexts remarkOnly(const QString& remark) {
    LabelTexts t;
    t[Remarks] = remark;
    return t;
}

}  // namespace

TEST(LabelCommands, SetupBlockIsTheNineMediaLines) {
    EXPECT_EQ(Encode(LabelSetupBlock()), QByteArray("SIZE 80 mm,70 mm\r\n"
                                                    "GAP 3 mm, 0 mm\r\n"
                                                    "HOME\r\n"
                                                    "DENSITY 8 \r\n"
                                                    "SPEED 2.0 \r\n"
                                                    "DIRECTION 0 \r\n"
                                                    "REFERENCE 0, 0 \r\n"
                                                    "SET CUTTER OFF \r\n"
                                                    "SET PEEL OFF \r\n"));
}

TEST(LabelCommands, ALabelWithOnlyAReceivingDateHasOneLineAt105) {
    LabelTexts t;
    t[ReceiveDate] = QStringLiteral("2030년 05월 10일");
    EXPECT_EQ(
        Encode(LabelBlock(t)),
        kTitleLines + cp("TEXT 20,105,\"K\" ,0,1,1,\"입 고 일: 2030년 05월 10일\"\r\n") + "PRINT 1,1\r\n");
}

TEST(LabelCommands, EveryFieldTakesTheNextLineAndEmptyFieldsMoveTheRestUp) {
    LabelTexts t;
    t[Customer] = QStringLiteral("한빛초");
    t[Quantity] = QStringLiteral("10kg/35kg");
    t[Maker] = QStringLiteral("똠방농산");
    t[Remarks] = QStringLiteral("오전 배송");
    EXPECT_EQ(Encode(LabelBlock(t)), kTitleLines +
                                         cp("TEXT 20,105,\"K\" ,0,1,1,\"고 객 사: 한빛초\"\r\n"
                                            "TEXT 20,150,\"K\" ,0,1,1,\"수    량: 10kg/35kg\"\r\n"
                                            "TEXT 20,195,\"K\" ,0,1,1,\"제 조 사: 똠방농산\"\r\n"
                                            "TEXT 20,240,\"K\" ,0,1,1,\"특이사항: 오전 배송\"\r\n") +
                                         "PRINT 1,1\r\n");
}

TEST(LabelCommands, RemarksAreCutAt42BytesWithoutSplittingASyllable) {
    const QString syllables21 = QString(21, QChar(u'가'));
    const QString ascii41 = QString(41, QLatin1Char('a'));
    struct Case {
        QString remark;
        QByteArray lines;
    } cases[] = {
        // 21 syllables are 42 bytes: one line.
        {syllables21, cp("TEXT 20,105,\"K\" ,0,1,1,\"특이사항: ") + cp949::encode(syllables21) + "\"\r\n"},
        // 22 syllables: 21 on the first line, the last after ten blanks.
        {syllables21 + QStringLiteral("똠"), cp("TEXT 20,105,\"K\" ,0,1,1,\"특이사항: ") +
                                                 cp949::encode(syllables21) + "\"\r\n" +
                                                 cp("TEXT 20,150,\"K\" ,0,1,1,\"          똠\"\r\n")},
        // 41 single bytes, then Hangul: the first syllable would be cut, so a blank ends line one.
        {ascii41 + QStringLiteral("가나"), cp("TEXT 20,105,\"K\" ,0,1,1,\"특이사항: ") + ascii41.toLatin1() +
                                               " \"\r\n" +
                                               cp("TEXT 20,150,\"K\" ,0,1,1,\"          가나\"\r\n")},
        // There is never a third line: a long rest goes whole.
        {ascii41 + ascii41 + ascii41, cp("TEXT 20,105,\"K\" ,0,1,1,\"특이사항: ") + QByteArray(42, 'a') +
                                          "\"\r\n" + cp("TEXT 20,150,\"K\" ,0,1,1,\"          ") +
                                          QByteArray(81, 'a') + "\"\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(LabelBlock(remarkOnly(c.remark))), kTitleLines + c.lines + "PRINT 1,1\r\n")
            << c.remark.toStdString();
}

TEST(LabelCommands, ATextCannotEndItsCommandOrStartAnother) {
    // A remark that tries to close the TEXT command and print a label of its own.
    LabelTexts t;
    t[ProductName] = QStringLiteral("양파 \"특\"");
    t[Remarks] = QStringLiteral("끝\"\r\nPRINT 5,5\r\nCLS\nTEXT 0,0,\"K\",0,1,1,\"x");
    const QByteArray bytes = Encode(LabelBlock(t));
    EXPECT_EQ(bytes, kTitleLines +
                         cp("TEXT 20,105,\"K\" ,0,1,1,\"제 품 명: 양파 \\[\"]특\\[\"]\"\r\n"
                            "TEXT 20,150,\"K\" ,0,1,1,\"특이사항: 끝\\[\"] PRINT 5,5 CLS TEXT 0,0,"
                            "\\[\"]K\\[\"],0,1,1,\\[\"]x\"\r\n") +
                         "PRINT 1,1\r\n");
    // The printer (here its stand-in, the preview's interpreter) sees one label with the texts as typed.
    const auto labels = label_preview::Interpret(bytes);
    ASSERT_EQ(labels.size(), 1);
    ASSERT_EQ(labels[0].texts.size(), 3);
    EXPECT_EQ(labels[0].texts[1].text, QStringLiteral("제 품 명: 양파 \"특\""));
    EXPECT_EQ(labels[0].texts[2].text,
              QStringLiteral("특이사항: 끝\" PRINT 5,5 CLS TEXT 0,0,\"K\",0,1,1,\"x"));
}

// Control bytes and backslashes from the database: nothing but printable bytes inside a TEXT string, no
// backslash of the text next to a quote or "[", and the preview reads one label with the texts as shown.
TEST(LabelCommands, ControlBytesAndBackslashesCannotReachThePrinterAsCommands) {
    struct Case {
        QString product;
        QString shown;  // the product line's text after its caption, as the printer prints it
    };
    const QString esc = QString(QChar(0x1B));
    const Case cases[] = {
        {esc + QStringLiteral("!R양파"), QStringLiteral(" !R양파")},
        {QStringLiteral("a\tb\fc\vd") + QChar(0) + QStringLiteral("e") + QChar(0x7F),
         QStringLiteral("a b c d e ")},
        {QStringLiteral("끝\\\"PRINT 9"), QStringLiteral("끝＼\"PRINT 9")},
        {QStringLiteral("끝\\"), QStringLiteral("끝＼")},
        {QStringLiteral("\\[R]\\[L]"), QStringLiteral("＼[R]＼[L]")},
        {QStringLiteral("C:\\temp\\a"), QStringLiteral("C:\\temp\\a")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.product.toStdString());
        LabelTexts t;
        t[ProductName] = c.product;
        const QByteArray bytes = Encode(LabelBlock(t));
        const QList<QByteArray> lines = bytes.split('\n');
        EXPECT_EQ(bytes.count("PRINT "), 1 + c.product.count(QStringLiteral("PRINT")));
        for (QByteArray line : lines) {
            if (line.endsWith('\r')) line.chop(1);
            for (char byte : line) EXPECT_TRUE(static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F);
            if (!line.startsWith("TEXT 20,105")) continue;
            // Inside the string: a backslash only as the start of our own quote escape.
            const QByteArray inside = line.mid(line.indexOf(",\"", 20) + 2).chopped(1);
            for (qsizetype i = inside.indexOf('\\'); i >= 0; i = inside.indexOf('\\', i + 1)) {
                const bool quoteEscape = inside.mid(i, 4) == "\\[\"]";
                const bool plain = i + 1 < inside.size() && inside[i + 1] != '"' && inside[i + 1] != '[';
                EXPECT_TRUE(quoteEscape || plain) << inside.constData();
            }
        }
        const auto labels = label_preview::Interpret(bytes);
        ASSERT_EQ(labels.size(), 1);
        ASSERT_EQ(labels[0].texts.size(), 2);
        EXPECT_EQ(labels[0].texts[1].text, QStringLiteral("제 품 명: ") + c.shown);
    }
}

TEST(LabelCommands, TextCommandWritesNumbersInTheirShortestForm) {
    EXPECT_EQ(MakeTextCommand(20.5, 105, QStringLiteral("a"), 1, 2),
              QStringLiteral("TEXT 20.5,105,\"K\" ,0,1,2,\"a\"\r\n"));
    EXPECT_EQ(NumberText(35), QStringLiteral("35"));
    EXPECT_EQ(NumberText(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(NumberText(1234567), QStringLiteral("1234567"));
}

namespace {

// Whether any pixel of the area is dark.
bool inked(const QImage& image, const QRect& area) {
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) return true;
    return false;
}

}  // namespace

TEST(LabelPreview, DrawsTheTitleAndAFieldLineWhereTheBlockPutsThem) {
    LabelTexts t;
    t[ReceiveDate] = QStringLiteral("2030년 05월 10일");
    const auto labels = label_preview::Interpret(Encode(LabelSetupBlock() + LabelBlock(t)));
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].widthMm, 80);
    EXPECT_EQ(labels[0].heightMm, 70);
    const QImage image = label_preview::Render(labels[0]);
    ASSERT_EQ(image.size(), QSize(640, 560));
    // The title from (90, 30) in double size (48 dots), the one field line from (20, 105) in single size.
    EXPECT_TRUE(inked(image, QRect(90, 30, 550, 48)));
    EXPECT_TRUE(inked(image, QRect(20, 105, 620, 24)));
    EXPECT_FALSE(inked(image, QRect(0, 0, 640, 29)));     // above the title
    EXPECT_FALSE(inked(image, QRect(0, 0, 19, 560)));     // left of the field line
    EXPECT_FALSE(inked(image, QRect(0, 0, 89, 95)));      // left of the title
    EXPECT_FALSE(inked(image, QRect(0, 92, 640, 12)));    // between the two
    EXPECT_FALSE(inked(image, QRect(0, 135, 640, 425)));  // below the field line
}
