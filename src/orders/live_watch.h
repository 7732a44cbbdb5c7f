#pragma once

#include "db/recordset.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// The main window's quiet watch: every few seconds, while the window is idle, one small statement asks the
// server whether the direction list on screen would come out differently; only then is the list re-read.
// Nothing the watch does is ever reported to the user: a statement that fails is tried again at the next
// period, and the next query of the user reports the server as it always has.
class LiveWatch : public QObject {
public:
    // The period when the settings name none; "0" turns the watch off.
    static constexpr int kDefaultSeconds = 60;
    // AppTitle / "Config" / "자동조회초": whole seconds, 0 (or a negative number) for no watch; any other
    // text gives the default.
    static int periodFromSettings();

    explicit LiveWatch(QObject* parent = nullptr);

    // Starts, restarts or (0) stops the clock.
    void setPeriod(int seconds);
    int period() const { return m_periodSeconds; }
    bool enabled() const { return m_periodSeconds > 0; }

    // True while the program is busy with something else (a command, a box, another window): the watch
    // then waits and looks again shortly, so it never runs inside another command's statements.
    void setBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }
    // False when there is nothing to watch now (the window is hidden); the watch skips that period.
    void setActiveCheck(std::function<bool()> active) { m_active = std::move(active); }
    // The statement whose one row stands for the list on screen.
    void setMarkStatement(std::function<QString()> statement) { m_statement = std::move(statement); }
    // Re-reads the list; false when it could not, so the same change is tried again.
    void setOnChanged(std::function<bool()> reread) { m_onChanged = std::move(reread); }

    // The list is about to be read in full: the mark read now is what later watches compare with. Read
    // before the list, a change that lands between the two makes one more re-read, never a missed one.
    void takeBaseline();
    // One watch now (what the clock runs).
    void watchNow();

    // Statements the watch has sent and the re-reads it caused, for the window's tests.
    int watchesRun() const { return m_watches; }
    int rereads() const { return m_rereads; }

    // Runs a statement in the background: no box, no wait dialog, no wait cursor, given up after a few
    // seconds; null when it failed or was given up (the next statement of the program connects again).
    static RecordsetPtr quietQuery(const QString& sql);

private:
    void onTimer();
    // The mark of the list on screen, empty after a failure.
    QString readMark();

    QTimer m_timer;
    int m_periodSeconds = 0;
    bool m_waiting = false;   // a period came while the program was busy
    bool m_watching = false;  // a watch waits for the server (the window keeps its events going meanwhile)
    QString m_baseline;       // empty: not known yet
    std::function<bool()> m_busy;
    std::function<bool()> m_active;
    std::function<QString()> m_statement;
    std::function<bool()> m_onChanged;
    int m_watches = 0;
    int m_rereads = 0;
};
