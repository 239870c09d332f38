// The listed FileTime and FileAttr, read as this platform's file managers
// read them: a local DOS date-time and Windows attribute bits on Windows,
// Unix seconds and a Unix file mode on Linux.
#pragma once

namespace zantor {

// "YYYY-MM-DD HH:MM:SS" in local time.
void FormatFileTime(int fileTime, char (&out)[20]);
bool IsFolder(int fileAttr);

}  // namespace zantor
