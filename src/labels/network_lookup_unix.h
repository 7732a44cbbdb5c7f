#pragma once

#include <netdb.h>

// How the network label printer's host name is looked up: the system's resolver (getaddrinfo). Tests put a
// lookup in its place that never answers, to show that the time limit covers the lookup too.
namespace labels {

using HostLookup = int (*)(const char* host, const char* service, const addrinfo* hints, addrinfo** found);

// Puts `lookup` in place (nullptr: the system's resolver again) and returns the one it replaces.
HostLookup SetHostLookup(HostLookup lookup);

}  // namespace labels
