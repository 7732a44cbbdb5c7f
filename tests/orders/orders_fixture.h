#pragma once

// The order browser's tests: a small order database of two buyers around 2030-05-10, the session of
// buyer 1, the main window, and ways to act on it as a user does.

#include "db/mysql_func.h"
#include "orders/frm_main.h"
#include "platform/printer/page_printer.h"
#include "print/print_canvas.h"
#include "startup/session.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"
#include "support/widget_input.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace orders_test {

// The users' table too: the session's user is one of the fixture's rows.
inline const QStringList kOrderTables = testdb::kOrderDataTables + QStringList{QStringLiteral("local_user")};

// Buyer 1's directions, by delivery date (sdate), order date (ddate) and purchase date (bdate):
//   11 리드  sdate 05-10  ddate 05-09  bdate 05-11   lines 101 (car), 102 (no car), 104; 103 has no link
//   12 추가  sdate 05-10  ddate 05-10  bdate 05-10   no lines
//   13 (7)   sdate 05-10  ddate 05-08  bdate 05-10   lines 105, 106: 양파 kg and 양파 망
//   14 선발  sdate 05-12  ddate 05-10  bdate 05-12   line 107
//   15 선발  sdate 05-11  ddate 05-10  bdate 05-11   line 108
//   16 리드  sdate 05-11  ddate 05-10  bdate 05-11
//   17 선발  sdate 05-10  ddate 05-09  bdate 05-10   line 109: 양파 kg
//   18 재고  sdate 05-10  ddate 05-09  bdate 05-10   line 110: 배추
//   19 추가  sdate 05-20  ddate 05-20  bdate 05-20   no lines
// Buyer 2's direction 21 (sdate 05-10, bdate 05-10) never shows for buyer 1.
inline void seedOrders() {
    testdb::truncate(kOrderTables);
    testdb::execAll({
        QStringLiteral(
            "INSERT INTO t_buyer (code, mname, printtotal) VALUES (1, '라벤청과', 1), (2, '한우리축산', 0)"),
        QStringLiteral("INSERT INTO local_user (code, loginid, loginpwd, c_buyer, local_name, branch) VALUES "
                       "(1, 'ADMIN', '', 1, '관리자', 2), (6, 'BUY1', 'x', 0, '정발주', 1)"),
        QStringLiteral("INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, "
                       "state) VALUES "
                       "(11, '2030-05-10', '2030-05-09', '09:00', '2030-05-11', 1, 6, 1, ''),"
                       "(12, '2030-05-10', '2030-05-10', '10:00', '2030-05-10', 2, 6, 1, '출력'),"
                       "(13, '2030-05-10', '2030-05-08', '11:00', '2030-05-10', 7, 6, 1, ''),"
                       "(14, '2030-05-12', '2030-05-10', '12:00', '2030-05-12', 0, 6, 1, ''),"
                       "(15, '2030-05-11', '2030-05-10', '13:00', '2030-05-11', 0, 6, 1, ''),"
                       "(16, '2030-05-11', '2030-05-10', '14:00', '2030-05-11', 1, 6, 1, ''),"
                       "(17, '2030-05-10', '2030-05-09', '15:00', '2030-05-10', 0, 6, 1, ''),"
                       "(18, '2030-05-10', '2030-05-09', '16:00', '2030-05-10', 3, 6, 1, ''),"
                       "(19, '2030-05-20', '2030-05-20', '17:00', '2030-05-20', 2, 6, 1, ''),"
                       "(21, '2030-05-10', '2030-05-10', '08:00', '2030-05-10', 1, 6, 2, '')"),
        QStringLiteral(
            "INSERT INTO t_product (code, mname, unit, mnote, c_buyer1) VALUES "
            "(1, '양파', 'kg', '깐양파', 1), (2, '대파', '단', '', 1), (3, '양파', '망', '15kg 망', 1), "
            "(4, '배추', '포기', '', 1), (5, '감자', '박스', '', 1)"),
        QStringLiteral(
            "INSERT INTO t_client (code, mname) VALUES (501, '한빛초등학교'), (502, '똠방각하 분식')"),
        QStringLiteral(
            "INSERT INTO t_order (code, c_client, nickname) VALUES (401, 501, '한빛초'), (402, 502, '똠방')"),
        QStringLiteral("INSERT INTO t_orderuser (code, c_order) VALUES (301, 401), (302, 402)"),
        QStringLiteral("INSERT INTO t_car (code, mname) VALUES (1, '1호차')"),
        QStringLiteral("INSERT INTO t_allocate_user (code, c_orderuser, c_car) VALUES (1, 301, 1)"),
        QStringLiteral(
            "INSERT INTO t_orderuser_sub (code, c_orderuser, c_product) VALUES "
            "(201, 301, 1), (202, 302, 2), (203, 301, 3), (205, 301, 1), (206, 302, 3), (207, 301, 1), "
            "(208, 302, 2), (209, 302, 1), (210, 301, 4)"),
        QStringLiteral(
            "INSERT INTO t_ordering (code, pname, qnt, bigo, c_direction, c_product, c_orderuser_sub) VALUES "
            "(101, '양파', 10, '오전 배송', 11, 1, 201), (102, '대파', 5, '', 11, 2, 202), "
            "(103, '감자', 7, '', 11, 5, 0), (104, '양파', 2, '', 11, 3, 203), "
            "(105, '양파', 4, '', 13, 1, 205), (106, '양파', 2, '', 13, 3, 206), "
            "(107, '감자', 1, '', 14, 5, 207), (108, '대파', 3, '', 15, 2, 208), "
            "(109, '양파', 6, '', 17, 1, 209), (110, '배추', 3, '', 18, 4, 210)"),
    });
}

// Counts the floating notices that come up while it lives.
class NoticeCounter : public QObject {
public:
    NoticeCounter() { qApp->installEventFilter(this); }
    ~NoticeCounter() override { qApp->removeEventFilter(this); }
    int count() const { return m_count; }
    QString lastText() const { return m_lastText; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* label = qobject_cast<QLabel*>(watched);
            if (label && label->isWindow() && label->windowType() == Qt::ToolTip) {
                ++m_count;
                m_lastText = label->text();
            }
        }
        return false;
    }

private:
    int m_count = 0;
    QString m_lastText;
};

// A column of a grid, rows 1..maxRows.
inline QStringList column(const SpreadGrid* grid, int col) {
    QStringList values;
    for (int row = 1; row <= grid->maxRows(); ++row) values << grid->text(col, row);
    return values;
}

class OrdersTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dataDir.isValid());
        qputenv("PELORA_DATA_DIR", dataDir.path().toUtf8());
        seedOrders();
        ASSERT_TRUE(testdb::openSession());
        BuyerCode = 1;
        // The sheets go to the printers the page printer knows, as the program wires them at start.
        ProgramPrinters().SetInstalledPrintersSource(&page_printer::installedPrinterNames);
    }
    void TearDown() override {
        window.reset();
        DBClose();
    }

    // The main window as it comes up after the login (its first query lists tomorrow: nothing here).
    frmMain& open() {
        window = std::make_unique<frmMain>();
        return *window;
    }
    // The list of a date kind and date, as the user asks for it.
    void query(const QString& kind, const QString& date, bool ahead = false) {
        window->cmbField()->setCurrentText(kind);
        window->SetDateText(date);
        window->chkAhead()->setChecked(ahead);
        window->RunQuery();
    }
    QStringList listedCodes() const { return column(window->spListO(), 8); }
    // A direction's print mark and its stamp, as the server holds them.
    static QString stateOf(int code) {
        return testdb::scalar(QStringLiteral("SELECT state FROM t_direction WHERE code = %1").arg(code));
    }
    static QString stampOf(int code) {
        return testdb::scalar(QStringLiteral("SELECT updatechk FROM t_direction WHERE code = %1").arg(code));
    }

    QTemporaryDir dataDir;
    std::unique_ptr<frmMain> window;
};

}  // namespace orders_test
