#pragma once

#include <QString>

// The reasons that print_service gives and its advice recognises; the unreachable service is named after
// the system's own print service (CUPS on Linux, the print spooler on Windows).
namespace print_service {

extern const QString kNotAccepting;
extern const QString kNotFound;
extern const QString kUnreachable;

}  // namespace print_service
