#pragma once

// The label tests' helpers: the port settings, the label window with rows, and mouse clicks on its grid.

#include "labels/fb_print_label.h"
#include "labels/label_commands.h"
#include "labels/label_settings.h"
#include "platform/settings_store.h"
#include "support/scripted_dialogs.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace labels_test {

// Points a port name ("COM1", "LPT1") at a device file for this user.
inline void mapPort(const QString& portName, const QString& device) {
    settings::save(label_settings::kSettingsApp, label_settings::kSettingsSection, portName, device);
}
inline void setPortType(const QString& value) {
    settings::save(label_settings::kSettingsApp, label_settings::kSettingsSection,
                   label_settings::kPortTypeKey, value);
}
inline void setPortSetting(const QString& key, const QString& value) {
    settings::save(label_settings::kSettingsApp, label_settings::kSettingsSection, key, value);
}
inline QString portSetting(const QString& key) {
    return settings::get(label_settings::kSettingsApp, label_settings::kSettingsSection, key);
}
inline void clearPortSettings() {
    for (const char* key : {"PORTTYPE", "LPT1", "COM1", "COM2", "COM3", "COM4", "PORTKIND", "QUEUENAME",
                            "NETHOST", "NETPORT", "TIMEOUT"})
        settings::remove(label_settings::kSettingsApp, label_settings::kSettingsSection,
                         QString::fromLatin1(key));
}

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton),
                  Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}
inline QPoint cellCentre(SpreadGrid* grid, int col, int row) {
    return grid->visualRect(grid->model()->index(row - 1, col - 1)).center();
}
inline void clickCell(SpreadGrid* grid, int col, int row) {
    sendMouse(grid->viewport(), QEvent::MouseButtonPress, cellCentre(grid, col, row));
    sendMouse(grid->viewport(), QEvent::MouseButtonRelease, cellCentre(grid, col, row));
}
inline void dragCells(SpreadGrid* grid, int col1, int row1, int col2, int row2) {
    sendMouse(grid->viewport(), QEvent::MouseButtonPress, cellCentre(grid, col1, row1));
    sendMouse(grid->viewport(), QEvent::MouseButtonRelease, cellCentre(grid, col2, row2));
}

// A label window with a data folder of its own and clean port settings.
class LabelWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dataDir.isValid());
        qputenv("PELORA_DATA_DIR", dataDir.path().toUtf8());
        clearPortSettings();
        window = std::make_unique<fBPrintLabel>();
    }
    void TearDown() override {
        window.reset();
        clearPortSettings();
        qunsetenv("PELORA_DATA_DIR");
    }

    // Labels typed into the grid: each text fills column 3 (product name) of its own row; the entry row
    // follows them.
    void typeLabels(const QStringList& products) {
        SpreadGrid* g = window->spList();
        for (const QString& product : products) {
            window->AddBlankRow();
            g->setText(3, g->maxRows(), product);
        }
        window->AddBlankRow();
    }
    void showWindow() {
        window->show();
        QApplication::processEvents();
    }
    SpreadGrid* grid() const { return window->spList(); }
    QStringList column(int col) const {
        QStringList values;
        for (int row = 1; row <= grid()->maxRows(); ++row) values << grid()->text(col, row);
        return values;
    }
    QList<int> greyRows() const {
        QList<int> rows;
        for (int row = 1; row <= grid()->maxRows(); ++row)
            if (grid()->foreColor(2, row) == fBPrintLabel::PrintedColor()) rows << row;
        return rows;
    }

    QTemporaryDir dataDir;
    std::unique_ptr<fBPrintLabel> window;
};

// A label window that sends its checked rows.
class LabelSendTest : public LabelWindowTest {
protected:
    // The bytes of the setup and of the labels of the given rows, as the window sends them.
    QByteArray expectedBytes(const QList<int>& rows, const QByteArray& afterBlock = QByteArray()) const {
        using namespace label_commands;
        QByteArray bytes = Encode(LabelSetupBlock()) + afterBlock;
        for (int row : rows) bytes += Encode(LabelBlock(window->RowTexts(row))) + afterBlock;
        return bytes;
    }
    // The rows among `rows` whose label lies wholly within the first `taken` bytes of what the window sends
    // for them: the labels a printer that stopped after `taken` bytes has complete.
    QList<int> rowsWithin(const QList<int>& rows, qsizetype taken, const QByteArray& afterBlock = {}) const {
        using namespace label_commands;
        qsizetype end = Encode(LabelSetupBlock()).size() + afterBlock.size();
        QList<int> complete;
        for (int row : rows) {
            end += Encode(LabelBlock(window->RowTexts(row))).size() + afterBlock.size();
            if (end > taken) break;
            complete << row;
        }
        return complete;
    }
    // Rows 1 to n, the labels typed by typeLabels.
    static QList<int> firstRows(int n) {
        QList<int> rows;
        for (int row = 1; row <= n; ++row) rows << row;
        return rows;
    }
    // Prints the checked rows where the port cannot be opened: the question is confirmed and the one
    // fault box of the opening is answered. It opens with the clerk's line and the error icon; its
    // technical line (the last) is returned. Nothing may have turned grey.
    QString printExpectingOpenFault() {
        testDialogs().answer(Dialogs::ResultYes);
        testDialogs().answer(Dialogs::ResultOk);
        window->PrintCheckedRows();
        EXPECT_EQ(testDialogs().boxes().size(), 2);
        EXPECT_TRUE(greyRows().isEmpty());
        if (testDialogs().boxes().size() != 2) return QString();
        const auto& box = testDialogs().last();
        EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
        m_openAdvice = box.text.section(QStringLiteral("\r\n"), 0, 0);
        EXPECT_FALSE(m_openAdvice.startsWith(QStringLiteral("Error"))) << box.text.toStdString();
        const QString text = box.text.section(QStringLiteral("\r\n"), -1);
        EXPECT_TRUE(text.endsWith(QStringLiteral(") in procedure Print_PortOpen of Form FrmProd_prnbar")))
            << box.text.toStdString();
        return text;
    }
    void checkRows(const QList<int>& rows) {
        for (int row = 1; row <= grid()->maxRows(); ++row)
            grid()->setText(1, row, rows.contains(row) ? QStringLiteral("1") : QString());
    }
    void print() {
        testDialogs().answer(Dialogs::ResultYes);  // 정말 인쇄 하시겠습니까?
        window->PrintCheckedRows();
    }
    // The clerk's line of the last box printExpectingOpenFault answered.
    QString m_openAdvice;
};

}  // namespace labels_test
