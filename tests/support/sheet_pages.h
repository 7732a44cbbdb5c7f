#pragma once

#include "print/print_document.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// What the tests read off a recorded page of the order sheet: its texts, a text's item, its rules.

// The texts of a page, in drawing order.
inline QStringList textsOf(const PrintPage& page) {
    QStringList texts;
    for (const PrintItem& item : page.items)
        if (item.kind == PrintItem::Kind::Text) texts << item.text;
    return texts;
}

// The first text item of the page that equals `text`; fails the test when there is none.
inline const PrintItem& textItem(const PrintPage& page, const QString& text) {
    for (const PrintItem& item : page.items)
        if (item.kind == PrintItem::Kind::Text && item.text == text) return item;
    ADD_FAILURE() << "no text " << text.toStdString() << " on the page";
    static const PrintItem none;
    return none;
}

inline bool hasText(const PrintPage& page, const QString& text) {
    return textsOf(page).contains(text);
}

// The Y of every horizontal line spanning the sheet (X 10 to 198), top to bottom, without repeats.
inline std::vector<double> ruleYs(const PrintPage& page) {
    std::vector<double> ys;
    for (const PrintItem& item : page.items)
        if (item.kind == PrintItem::Kind::Line && item.y1 == item.y2 && item.x1 == 10 && item.x2 == 198 &&
            (ys.empty() || std::fabs(ys.back() - item.y1) > 1e-9))
            ys.push_back(item.y1);
    return ys;
}

// The title block is on the page (its title, whichever mode).
inline bool hasTitle(const PrintPage& page) {
    for (const QString& t : textsOf(page))
        if (t.startsWith(QStringLiteral("라벤푸드 주문서"))) return true;
    return false;
}
