// The host's call sequence over one archive: OpenArchive, then ReadHeader and
// ProcessFile alternating until the end of the list, then CloseArchive.
#pragma once

#include "zantor/plugin_module.h"
#include "zantor/printer.h"

namespace zantor {

// Where extraction writes: each entry goes to folder (a full path), a
// separator and its listed name. Existing files are replaced only with
// overwrite set.
struct Destination {
  const char* folder;
  bool overwrite;
};

// archive: the full path passed as ArcName; shown: the name the user gave,
// for the output (both UTF-8). wide: through the Unicode variants (the module
// has them), else the ANSI ones. Failures are also written to standard error
// with the plugin's code.
WalkSummary Walk(const PluginModule& plugin, bool wide, const char* archive, const char* shown, Action action,
                 const Destination& destination, Printer& printer);

// True when the summary records no failure.
bool WalkSucceeded(const WalkSummary& summary);

}  // namespace zantor
