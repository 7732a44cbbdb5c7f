#include "orderdata/print_marking.h"

#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "db/server_time.h"
#include "orderdata/order_statements.h"

namespace orderdata {

MarkOutcome MarkPrinted(double directionCode) {
    const DBUpdateResult result = DBUpdate(MarkPrintedSql(directionCode, GetNowText(false, 0)));
    if (DBConnectionLost()) return MarkOutcome::ConnectionLost;
    return !result.failed && result.matched > 0 ? MarkOutcome::Saved : MarkOutcome::NotSaved;
}

double AheadDirectionCode(const QString& dateText, int buyerCode) {
    return LeadingNumber(DBGetValue(AheadDirectionSql(dateText, buyerCode)));
}

}  // namespace orderdata
