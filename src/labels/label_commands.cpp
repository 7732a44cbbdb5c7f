#include "labels/label_commands.h"

#include "common/text_helpers.h"
#include "platform/cp949.h"

#include <QLocale>

namespace label_commands {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTitle = QStringLiteral("(주)라벤푸드시스템");
constexpr double kTitleX = 90;
constexpr double kTitleY = 30;
constexpr double kFieldX = 20;
constexpr double kLineStep = 45;

// The captions of the first nine fields; the remark has its own.
const QString kCaptions[kFieldCount - 1] = {
    QStringLiteral("고 객 사: "), QStringLiteral("제 품 명: "), QStringLiteral("수    량: "),
    QStringLiteral("원 산 지: "), QStringLiteral("보관방법: "), QStringLiteral("입 고 일: "),
    QStringLiteral("유통기한: "), QStringLiteral("배송차량: "), QStringLiteral("제 조 사: "),
};
const QString kRemarkCaption = QStringLiteral("특이사항: ");
const QString kRemarkIndent = QStringLiteral("          ");  // ten blanks under the caption

// Line breaks inside a text become one blank each (CR LF counts as one break).
QString withoutLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace

QString NumberText(double value) {
    return QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
}

QString QuotedText(const QString& text) {
    const QString plain = withoutLineBreaks(text);
    QString out;
    out.reserve(plain.size());
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            // ESC, TAB, NUL, ... from a database text would reach the printer raw inside the string (ESC !R
            // is an immediate command): a blank in their place.
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('"')) {
            out += QStringLiteral("\\[\"]");
        } else if (c == QLatin1Char('\\') && (i + 1 == plain.size() || plain[i + 1] == QLatin1Char('"') ||
                                              plain[i + 1] == QLatin1Char('['))) {
            // A backslash from the text must never pair with what follows it: before our \["] it could make
            // the quote read as ending the string, before "[" it starts an escape of its own, and as the
            // last character it stands before the closing quote. The full-width one looks alike and has no
            // backslash byte in code page 949.
            out += QChar(0xFF3C);
        } else {
            out += c;
        }
    }
    return out;
}

QString MakeTextCommand(double x, double y, const QString& text, int xMultiplier, int yMultiplier) {
    return QStringLiteral("TEXT ") + NumberText(x) + QLatin1Char(',') + NumberText(y) +
           QStringLiteral(",\"K\" ,0,") + QString::number(xMultiplier) + QLatin1Char(',') +
           QString::number(yMultiplier) + QStringLiteral(",\"") + QuotedText(text) + QLatin1Char('"') + kCrLf;
}

QString LabelSetupBlock() {
    QString block;
    block += QStringLiteral("SIZE ") + NumberText(kLabelWidthMm) + QStringLiteral(" mm,") +
             NumberText(kLabelHeightMm) + QStringLiteral(" mm") + kCrLf;
    block += QStringLiteral("GAP ") + NumberText(kGapMm) + QStringLiteral(" mm, 0 mm") + kCrLf;
    block += QStringLiteral("HOME") + kCrLf;
    block += QStringLiteral("DENSITY 8 ") + kCrLf;
    block += QStringLiteral("SPEED 2.0 ") + kCrLf;
    block += QStringLiteral("DIRECTION ") + NumberText(0) + QStringLiteral(" ") + kCrLf;
    block += QStringLiteral("REFERENCE 0, 0 ") + kCrLf;
    block += QStringLiteral("SET CUTTER OFF ") + kCrLf;
    block += QStringLiteral("SET PEEL OFF ") + kCrLf;
    return block;
}

QString LabelBlock(const LabelTexts& texts) {
    QString block;
    block.reserve(1024);
    block += QStringLiteral("CLS ") + kCrLf;
    block += QStringLiteral("SET COUNTER @1 1") + kCrLf;
    block += QStringLiteral("@1=\"000001\"") + kCrLf;
    block += MakeTextCommand(kTitleX, kTitleY, kTitle, 2, 2);

    double y = kTitleY + 30;
    for (int i = 0; i < kFieldCount - 1; ++i) {
        if (texts[size_t(i)].isEmpty()) continue;
        y += kLineStep;
        block += MakeTextCommand(kFieldX, y, kCaptions[i] + texts[size_t(i)], 1, 1);
    }

    // The remark is measured after its line breaks became blanks, so that the cut counts what is printed.
    const QString remark = withoutLineBreaks(texts[Remarks]);
    if (!remark.isEmpty()) {
        y += kLineStep;
        if (LenByte(remark) <= kRemarkLineBytes) {
            block += MakeTextCommand(kFieldX, y, kRemarkCaption + remark, 1, 1);
        } else {
            // A double-byte character cut by the 42nd byte opens the second line; a blank keeps the width.
            block += MakeTextCommand(kFieldX, y, kRemarkCaption + LeftByte(remark, kRemarkLineBytes), 1, 1);
            y += kLineStep;
            block += MakeTextCommand(kFieldX, y, kRemarkIndent + MidByte(remark, kRemarkLineBytes + 1), 1, 1);
        }
    }
    block += QStringLiteral("PRINT 1,") + QStringLiteral("1") + kCrLf;
    return block;
}

QByteArray Encode(const QString& block) {
    return cp949::encode(block);
}

}  // namespace label_commands
