// Entry naming: the file names the host lists for archive members, found
// blocks and directory records, in the plugin's own style or in the Drelmo
// style that encodes the file's tape header in the name.
#pragma once

#include "base/result.h"
#include "config/settings.h"
#include "scan/entry.h"
#include "scan/name_builder.h"

namespace zantor {

// Names an ArchiveMember (not a directory) or a Block that carries a TR-DOS
// descriptor into out (260 bytes). Fails, shown, with "Filename too long".
Result NameEntry(const Entry& entry, const Settings& settings, char* out);

// The label of a block without descriptor, such as "hr21 (store)" or
// "HR (raw)", zero-terminated at out.
void FormatLabel(const BlockInfo& info, char* out);

// The name of a directory record, or "-dir-" when it has none; at most 33
// characters, so it always fits the host's field.
void NameDirectory(const MemberInfo& member, char* out);

}  // namespace zantor
