#pragma once

#include <QString>

// One running copy per program file: a lock file in the user's runtime folder, held until the process
// ends. A lock left behind by a process that died is taken over.
namespace single_instance {

// Takes the lock named `name` for the rest of the process. False when another running instance holds it.
bool acquire(const QString& name);
// Gives up every lock this process took (tests).
void releaseAll();
// The lock file used for `name`.
QString lockPath(const QString& name);

}  // namespace single_instance
