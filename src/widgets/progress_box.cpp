#include "widgets/progress_box.h"

#include <QCoreApplication>
#include <QProgressDialog>

ProgressBox::ProgressBox(const QString& text, const QString& title, const QString& objectName, int steps,
                         QWidget* owner)
    : m_dialog(std::make_unique<QProgressDialog>(text, QStringLiteral("취소"), 0, steps, owner)),
      m_text(text) {
    m_dialog->setObjectName(objectName);
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
    m_dialog->show();
}

ProgressBox::~ProgressBox() = default;

bool ProgressBox::step(int done) {
    m_dialog->setValue(done);
    if (!m_unit.isEmpty())
        m_dialog->setLabelText(m_text + QStringLiteral(" (") + QString::number(done) + QLatin1Char('/') +
                               QString::number(m_dialog->maximum()) + m_unit + QLatin1Char(')'));
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

bool ProgressBox::cancelled() const {
    return m_dialog->wasCanceled();
}
