// The few file-system services of the host program.
#pragma once
#include <cstddef>

namespace zantor {

extern const char kPathSeparator;
// The module a plugin host of this platform loads by default.
extern const char kDefaultPluginName[];

// Paths and arguments in the host are UTF-8. Windows: the command line is
// read again as UTF-16 and printed text goes out as UTF-8; POSIX: nothing to do.
void UseUtf8(int* argc, char*** argv);
// A path as text for the ANSI exports (Windows: the ANSI code page, where
// characters outside it become '?'); false when it does not fit.
bool AnsiPath(const char* path, char* out, size_t size);

// The folder of the running program, with a separator at its end.
bool ExecutableFolder(char* out, size_t size);
// The module to load without --plugin: the one beside the program (a build
// folder, an unpacked plugin package); on Linux, when there is none, the
// installed module.
bool DefaultPluginPath(char* out, size_t size);
// path made absolute against the current folder (not resolving links).
bool FullPath(const char* path, char* out, size_t size);
// Creates the folder; an existing one is fine.
bool MakeFolder(const char* path);
// Whether anything (file, folder, link) has this name.
bool PathExists(const char* path);

}  // namespace zantor
