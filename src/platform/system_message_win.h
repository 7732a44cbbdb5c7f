#pragma once

#include <QString>

// The system's own words for a Windows error number (GetLastError, WSAGetLastError), for the technical
// line of a box.
QString SystemMessage(unsigned long error);
