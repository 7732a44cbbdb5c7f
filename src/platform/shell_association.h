#pragma once

#include <QString>

namespace shell_association {

// True when the desktop says for certain that no program opens this file. When it cannot be asked, or
// `pathOrUrl` is a URL, false: opening decides.
bool nothingIsAssociated(const QString& pathOrUrl);

}  // namespace shell_association
