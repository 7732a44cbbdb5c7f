#pragma once

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// A progress box with 취소 over a window, for work done in steps on the window's thread (pages of a sheet,
// labels of a run). It is modal to its window and shows at once; each step lets the window repaint.
class ProgressBox {
public:
    ProgressBox(const QString& text, const QString& title, const QString& objectName, int steps,
                QWidget* owner);
    ~ProgressBox();
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

    // The box counts in this unit after its text: "... (3/12장)".
    void setCountUnit(const QString& unit) { m_unit = unit; }
    // `done` steps are done; false once the user cancelled.
    bool step(int done);
    bool cancelled() const;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    QString m_text;
    QString m_unit;
};
