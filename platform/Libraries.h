#pragma once

#include <map>
#include <string>

namespace platform {

struct LoadedLibrary;
using HMODULE = const LoadedLibrary *;

// Loads a library by name (case does not matter); nullptr when none is there.
HMODULE LoadLibraryA(const std::string &name);
// An entry point of a loaded library by name; nullptr when it has none.
void *GetProcAddress(HMODULE library, const std::string &name);

// Makes a library of the given entry points loadable under a name, replacing
// any library of that name, built-in ones included.
void RegisterLibrary(const std::string &name, std::map<std::string, void *> entryPoints);
// Makes a name impossible to load.
void RefuseLibrary(const std::string &name);
// Forgets every registration, so the built-in libraries load again.
void RestoreLibraries();

} // namespace platform
