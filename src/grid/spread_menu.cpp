#include "grid/spread_menu.h"

#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "common/trap.h"
#include "grid/form_ini.h"
#include "grid/spread_helpers.h"
#include "platform/dialogs.h"
#include "widgets/spread_grid.h"

#include <QWidget>

#include <cmath>

namespace {

const QString kTwoLines = QStringLiteral("\r\n\r\n");

// Asks for a number until the answer is empty (nullopt) or lies within [low, high]; 0 is accepted as
// "the design default" when zeroAllowed. Non-numeric answers read as 0.
std::optional<QString> askNumber(const QString& prompt, const QString& title, const QString& offer,
                                 double low, double high, bool zeroAllowed) {
    for (;;) {
        const QString answer = dialogs().inputBox(prompt, title, offer);
        if (answer.isEmpty()) return std::nullopt;
        const double v = LeadingNumber(answer);
        if ((zeroAllowed && v == 0) || (v >= low && v <= high)) return answer;
    }
}

void changeRowHeight(QWidget* window, SpreadGrid* sp, const QString& suffix) {
    const int current = int(std::trunc(sp->rowHeight(-1)));
    const auto answer =
        askNumber(QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~300, 0:기본값)"),
                  QStringLiteral("그리드의 줄높이 변경"), QString::number(current), 8, 300, true);
    if (!answer) return;
    const double v = LeadingNumber(*answer);
    if (v == current) return;
    if (v != 0) {
        sp->setRowHeight(-1, v);
        sp->setRowHeight(0, v + 2);
    }
    SaveSpreadIni_Gn(window, sp, QStringLiteral("RowHeight"), *answer, suffix);
}

void changeFontSize(QWidget* window, SpreadGrid* sp, const QString& suffix) {
    const double current = sp->fontSize(1, 1);
    const auto answer =
        askNumber(QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"),
                  QStringLiteral("그리드내 글자크기 변경"), QString::number(current), 8, 60, true);
    if (!answer) return;
    const double v = LeadingNumber(*answer);
    if (v == current) return;
    if (v != 0) {
        sp->setFontSize(-1, -1, v);
        sp->setFontSize(-1, 0, v);
    }
    SaveSpreadIni_Gn(window, sp, QStringLiteral("FontSize"), *answer, suffix);
}

void resetLayout(QWidget* window, const QString& suffix) {
    const QString question = QStringLiteral("해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이") + kTwoLines +
                             QStringLiteral(", 줄높이, 글자크기등이 모두 초기화 됩니다.") + kTwoLines +
                             QStringLiteral("초기화 하시겠습니까?");
    if (ShowQuestionMsg(question, QString(), true) != kYes) return;
    DelFormIni(window->objectName() + suffix);
    ShowInfoMsg(QStringLiteral("초기화를 완료하였습니다.") + kTwoLines +
                QStringLiteral("현재창을 닫고 다시 열어 주셔야 초기화된 형태가 제대로 보여집니다."));
}

// Flips the hidden state of the rows whose row-header tag passes `select`.
template <typename Select>
void flipRows(SpreadGrid* sp, Select select) {
    sp->setReDraw(false);
    for (int r = 1; r <= sp->maxRows(); ++r)
        if (select(sp->cellTag(0, r))) sp->setRowHidden(r, !sp->rowHidden(r));
    sp->setReDraw(true);
}

void showSeparators(SpreadGrid* sp) {
    const QString prompt = QStringLiteral("몇줄마다 구분선을 표시하시겠습니까?") + kTwoLines +
                           QStringLiteral("가능범위: 2 ~ 10000");
    QString offer = QStringLiteral("5");
    int every = 0;
    for (;;) {
        const QString answer = dialogs().inputBox(prompt, AppTitle(), offer);
        if (answer.isEmpty()) return;
        offer = answer;
        if (!IsNumericText(answer)) {
            ShowInfoMsg(QStringLiteral("입력값이 숫자가 아닙니다. 다시 입력해 주십시요."));
            continue;
        }
        const double n = LeadingNumber(answer);
        if (n < 2 || n > 10000) {
            ShowInfoMsg(QStringLiteral("입력값이 범위를 벗어났습니다. 다시 입력해 주십시요."));
            continue;
        }
        every = int(n);
        break;
    }
    // Rows painted by an earlier use get their own row colour back (white, or the even-row colour).
    for (int r = 1; r <= sp->maxRows(); ++r)
        if (sp->backColor(-1, r) == spread_colors::kSeparator)
            sp->setBackColor(-1, r, sp->rowDefaultBackColor(r));
    for (int r = every; r <= sp->maxRows(); r += every) sp->setBackColor(-1, r, spread_colors::kSeparator);
    sp->refresh();
}

void changeRowHeaderWidth(SpreadGrid* sp) {
    const int current = int(std::trunc(sp->colWidth(0)));
    const auto answer =
        askNumber(QStringLiteral("변경할 그리드의 줄번호 넓이를 입력하세요.(입력범위: 1~9)"),
                  QStringLiteral("그리드 줄번호 넓이 변경"), QString::number(current), 1, 9, false);
    if (!answer) return;
    const double v = LeadingNumber(*answer);
    if (v != current) sp->setColWidth(0, v);
}

}  // namespace

int ShowPopupMenu(QWidget* window, const QStringList& items) {
    QList<Dialogs::MenuItem> menu;
    for (const QString& item : items) {
        TrapStep("ShowPopupMenu", "ModWinApi", [&] {
            if (item == QLatin1String("-"))
                menu.append(Dialogs::MenuItem{});
            else
                menu.append(Dialogs::MenuItem{int(LeadingNumber(item.left(2))), item.mid(2)});
        });
    }
    int chosen = 0;
    TrapStep("ShowPopupMenu", "ModWinApi", [&] { chosen = dialogs().popupMenu(window, menu); });
    return chosen;
}

void SpreadPopupMenu(QWidget* window, SpreadGrid* sp, const QString& suffix) {
    QStringList items{QStringLiteral("08구분선 표시")};
    if (sp->rowHeadersShow()) items << QStringLiteral("09그리드 줄번호 넓이 변경");
    items << QStringLiteral("-") << QStringLiteral("01그리드 【줄높이】변경")
          << QStringLiteral("02【글자크기】       변경") << QStringLiteral("-")
          << QStringLiteral("03폼 및 그리드 설정【초기화】") << QStringLiteral("-")
          << QStringLiteral("06【소계】숨김/보기") << QStringLiteral("07【소계만】보기/해제")
          << QStringLiteral("-") << QStringLiteral("00메    뉴      닫    기");

    switch (ShowPopupMenu(window, items)) {
        case 1:
            changeRowHeight(window, sp, suffix);
            break;
        case 2:
            changeFontSize(window, sp, suffix);
            break;
        case 3:
            resetLayout(window, suffix);
            break;
        case 6:
            flipRows(sp, [](const QString& tag) { return tag == QLatin1String("subtot"); });
            break;
        case 7:
            flipRows(sp, [](const QString& tag) {
                return tag != QLatin1String("subtot") && tag != QLatin1String("gndtot");
            });
            break;
        case 8:
            showSeparators(sp);
            break;
        case 9:
            changeRowHeaderWidth(sp);
            break;
        default:
            break;
    }
}
