#pragma once

#include "db/recordset.h"

#include <QString>

#include <vector>

// The main window's three lists as plain rows: the directions of a date, the order lines of a direction
// and the product totals of a purchase date. The window keeps these rows and draws its grids from them;
// every command reads the rows, never the grids.
namespace orderdata {

// One direction of the direction list. Texts are the stored values; numbers are the leading numeric part
// of the stored text (0 when it does not begin with one).
struct DirectionRow {
    QString sdate;      // delivery date "yyyy-mm-dd" as stored
    QString ddate;      // order date as stored
    QString dtime;      // order time as stored
    QString staffName;  // local_user.local_name
    int branch = 0;     // the kind's number
    QString buyerName;
    QString state;  // "출력" once the sheet came out
    QString code;   // the direction's code as stored
    QString buyerCodeText;

    double codeNumber() const;
    double buyerCode() const;
    // "선발", "리드", "추가", "재고", or empty for a kind outside them.
    QString kind() const;
    bool printed() const;
};

// One order line of a direction.
struct OrderLineRow {
    QString customer;  // the customer's short name on the order
    QString product;   // the product name as ordered
    QString quantity;  // as stored, e.g. "12.50"
    QString unit;
    QString remark;
    QString car;  // empty when no car is allocated
    QString code;
    QString productCode;
    QString customerFull;  // the customer's full name
    QString productDesc;

    double quantityNumber() const;
    int productCodeNumber() const;
};

// One row of the product totals: the summed quantity of a product name and unit.
struct ProductTotalRow {
    QString product;
    QString quantity;
    QString unit;
};

// The rows of a result set of DirectionListSql, OrderLinesSql or ProductTotalsSql, in the server's order.
// A column the statement does not return raises AppError 3265.
std::vector<DirectionRow> DirectionRowsOf(const Recordset& rs);
std::vector<OrderLineRow> OrderLineRowsOf(const Recordset& rs);
std::vector<ProductTotalRow> ProductTotalRowsOf(const Recordset& rs);

// How reading a list ended: read (maybe no rows), failed (the connection has shown its box), or
// cancelled by the user while the server held it (whatever is shown stays as it was).
enum class ListRead { Read, Failed, Cancelled };

template <class Row>
struct ListResult {
    ListRead outcome = ListRead::Failed;
    std::vector<Row> rows;
};

// Run the list statements on the session connection. A statement that fails shows its box as every
// statement does; a result without the expected columns raises AppError.
ListResult<DirectionRow> ReadDirectionList(const QString& dateColumn, int buyerCode, const QString& dateText,
                                           bool ahead);
ListResult<OrderLineRow> ReadOrderLines(double directionCode);
ListResult<ProductTotalRow> ReadProductTotals(const QString& dateText, double buyerCode);

}  // namespace orderdata
