#pragma once

// The columns of the main window's grids, numbered from 1 as the grid addresses them. Commands and loaders
// name a column through these, never by its number; the column tables in frm_main_lists.cpp follow the same
// order.
namespace orders {

// The direction list (spListO): 8 to 10 are hidden.
enum DirectionCol : int {
    kDirDeliveryDate = 1,  // 납품일, "mm-dd"
    kDirOrderDate,         // 발주일, "mm-dd"
    kDirOrderTime,         // 발주시간
    kDirManager,           // 담당자
    kDirBranch,            // 구분
    kDirBuyerName,         // 매입처
    kDirState,             // 상태
    kDirCode,              // the direction's code
    kDirBuyerCode,         // the buyer's code
    kDirFullDate,          // the full delivery date "yyyy-mm-dd"
    kDirColumnCount = kDirFullDate
};

// The order lines (spList): 7 to 10 are hidden.
enum LineCol : int {
    kLineCustomer = 1,  // 매출처, the customer's short name
    kLineProduct,       // 품명
    kLineQuantity,      // 수량
    kLineUnit,          // 단위
    kLineRemark,        // 특이사항
    kLineCar,           // 배차
    kLineCode,          // the order line's code
    kLineProductCode,   // the product's code
    kLineCustomerFull,  // the customer's full name
    kLineProductDesc,   // the product's description
    kLineColumnCount = kLineProductDesc
};

// The product totals (spListG).
enum TotalCol : int {
    kTotalProduct = 1,  // 품명
    kTotalQuantity,     // 수량
    kTotalUnit,         // 단위
    kTotalColumnCount = kTotalUnit
};

}  // namespace orders
