#include "orders/live_watch.h"

#include "common/app_title.h"
#include "db/mysql_func.h"
#include "platform/settings_store.h"

#include <QScopedValueRollback>

namespace {

// While busy, the watch looks again after this long instead of waiting a whole period.
constexpr int kBusyRetryMilliseconds = 500;

// A watch statement that the server has not answered within this is given up, silently; the next period
// tries again. The watch's statement is answered from an index in milliseconds.
constexpr int kStatementLimitMilliseconds = 3000;

}  // namespace

int LiveWatch::periodFromSettings() {
    const QString text = settings::get(AppTitle(), QStringLiteral("Config"), QStringLiteral("자동조회초"),
                                       QString::number(kDefaultSeconds));
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    if (!ok) return kDefaultSeconds;
    return seconds > 0 ? seconds : 0;
}

LiveWatch::LiveWatch(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LiveWatch::onTimer);
}

void LiveWatch::setPeriod(int seconds) {
    m_periodSeconds = seconds > 0 ? seconds : 0;
    m_waiting = false;
    m_timer.stop();
    if (m_periodSeconds > 0) m_timer.start(m_periodSeconds * 1000);
}

RecordsetPtr LiveWatch::quietQuery(const QString& sql) {
    cMySQL* conn = DBConn();
    if (!conn) return nullptr;
    const DBQuietScope background(kStatementLimitMilliseconds);
    RecordsetPtr rs = conn->query(sql);
    conn->free_result();
    return rs;
}

QString LiveWatch::readMark() {
    if (!m_statement) return QString();
    ++m_watches;
    RecordsetPtr rs = quietQuery(m_statement());
    if (!rs || rs->Eof() || rs->FieldCount() < 1) return QString();
    QStringList values;
    for (int c = 0; c < rs->FieldCount(); ++c) values << rs->Fields(c).Value();
    CloseRecordset(rs);
    return values.join(QLatin1Char('|'));
}

void LiveWatch::takeBaseline() {
    if (!enabled()) return;
    m_baseline = readMark();
    // A full read is as good as a watch: the next one comes a whole period later.
    m_waiting = false;
    m_timer.start(m_periodSeconds * 1000);
}

void LiveWatch::onTimer() {
    if (m_active && !m_active()) {
        m_waiting = false;
        m_timer.start(m_periodSeconds * 1000);
        return;
    }
    if (m_watching || (m_busy && m_busy())) {
        // Look again soon: the watch runs as soon as the program is free, not a whole period later.
        m_waiting = true;
        m_timer.start(kBusyRetryMilliseconds);
        return;
    }
    m_waiting = false;
    m_timer.start(m_periodSeconds * 1000);
    watchNow();
}

void LiveWatch::watchNow() {
    if (m_watching) return;
    const QScopedValueRollback<bool> watching(m_watching, true);
    const QString mark = readMark();
    if (mark.isEmpty()) return;  // failed: silent, the next period tries again
    if (m_baseline.isEmpty()) {
        m_baseline = mark;
        return;
    }
    if (mark == m_baseline) return;
    ++m_rereads;
    if (m_onChanged && m_onChanged()) m_baseline = mark;
}
