#pragma once

// What poppler's pdftotext reads off a PDF the program wrote: its words with their boxes, or its text.

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

// A word of `pdftotext -bbox`: its page (from 0) and its box in millimetres from the paper's top-left corner.
struct PdfWord {
    int page;
    double xMin, yMin, xMax, yMax;
    QString text;
};

inline bool havePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The output of pdftotext with `args` before the file (its text to standard output); fails the test when
// pdftotext does.
inline QString pdftotext(const QString& pdf, const QStringList& args = {}) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args + QStringList{pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext " << pdf.toStdString() << ": " << p.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The words of every page, page by page, in reading order.
inline std::vector<PdfWord> pdfWords(const QString& pdf) {
    constexpr double kMmPerPoint = 25.4 / 72;
    const QString html = pdftotext(pdf, {QStringLiteral("-bbox")});
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<PdfWord> words;
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint,
                         m.captured(3).toDouble() * kMmPerPoint, m.captured(4).toDouble() * kMmPerPoint,
                         m.captured(5)});
    }
    return words;
}
