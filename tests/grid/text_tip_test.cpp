// The tip that shows a cut-off cell's whole text. Cells hold texts from the order database (customers,
// products, remarks); a tip shows them as they are and never reads them as markup, on the read-only lists
// of the main window and on the label window's editable list alike.
#include "grid/grid_fixture.h"
#include "grid/spread_helpers.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTextDocument>
#include <QToolTip>

#include <iterator>

namespace {

// The text that the visible tooltip shows, read the way its label reads it (rich text when Qt takes it
// for rich text), with line and paragraph separators as line breaks. Empty when no tip is shown.
QString shownTip() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* label = qobject_cast<QLabel*>(w);
        if (!label || !w->inherits("QTipLabel") || !w->isVisible()) continue;
        const bool rich = label->textFormat() == Qt::RichText ||
                          (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
        QTextDocument doc;
        if (rich)
            doc.setHtml(label->text());
        else
            doc.setPlainText(label->text());
        QString shown = doc.toPlainText();
        shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
        shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        shown.replace(QChar::Nbsp, QLatin1Char(' '));
        return shown;
    }
    return {};
}

// Points at a cell and lets the grid answer the tooltip request, as a resting mouse pointer does.
QString tipAt(SpreadGrid& g, int col, int row) {
    const QPoint pos = g.visualRect(g.model()->index(row - 1, col - 1)).center();
    QHelpEvent help(QEvent::ToolTip, pos, g.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(g.viewport(), &help);
    return shownTip();
}

class TextTip : public GridTest {};

TEST_F(TextTip, DatabaseTextsShowAsTheyAreOnReadOnlyAndEditableGrids) {
    struct Case {
        const char* what;
        QString text;
        QString shown;  // empty: the text itself
    };
    const QString hangul100 = QString(50, QChar(u'가'));  // 100 bytes in the database's code page
    const QString controls = QStringLiteral("A") + QChar(0x1B) + QStringLiteral("!R") + QChar(0x09) +
                             QStringLiteral("B") + QChar(0x0C) + QChar(0x0B) + QChar(0x00) +
                             QStringLiteral("C") + QChar(0x7F) + QStringLiteral("D");
    const Case cases[] = {
        {"markup", QStringLiteral("<html><b>BOLD</b><br>둘째 줄</html>"), {}},
        {"a harmless image", QStringLiteral("앞<img src=\"file:///nonexistent/pelora.png\">뒤"), {}},
        {"an endless image", QStringLiteral("<img src=\"/dev/zero\">"), {}},
        {"entities", QStringLiteral("<b>굵게</b> a < b && c > d &amp; &lt;"), {}},
        {"control bytes", controls, QStringLiteral("A !R B   C D")},
        {"line breaks", QStringLiteral("첫째\r\n둘째\n셋째"), QStringLiteral("첫째\n둘째\n셋째")},
        {"blanks", QStringLiteral("두  칸   세 칸"), {}},
        {"a 100-byte name", hangul100, {}},
        {"a 100-character name", QString(100, QLatin1Char('W')), {}},
    };

    for (const bool editable : {false, true}) {
        SpreadGrid g;
        fill(g, 2, int(std::size(cases)) + 1);
        // The main window's lists are read-only; the label window's list is edited in place.
        CommonSpreadDesign(&g, !editable, false, true, true, true);
        g.setColWidth(1, 3);  // narrow: every text below is cut off
        g.resize(600, 400);
        g.show();
        ASSERT_EQ(g.editModePermanent(), editable);
        // The cursor rests on the last row, so the cells pointed at are not under an editor.
        g.setActiveCell(2, int(std::size(cases)) + 1);
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            const int row = int(i) + 1;
            g.setText(1, row, c.text);
            // The first text read as markup ends the test, before any endless image is read.
            ASSERT_EQ(tipAt(g, 1, row), c.shown.isEmpty() ? c.text : c.shown)
                << c.what << (editable ? " on the editable grid" : " on a read-only grid");
        }
        QToolTip::hideText();
    }
}

}  // namespace
