#pragma once

#include <QString>
#include <QStringList>

namespace labels {

// The queues of the print service (CUPS_SERVER or the system's scheduler), sorted. Empty with `error` set
// when the service cannot be reached.
QStringList PrintQueueNames(QString* error = nullptr);

}  // namespace labels
