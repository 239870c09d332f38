// Session: one opened archive, from OpenArchive to CloseArchive. Its address
// is the handle the host gets. All-zero is a valid empty session.
#pragma once
#include <cstdint>

#include "base/list.h"
#include "base/zstring.h"
#include "config/settings.h"
#include "plugin/file.h"

namespace zantor {

struct Entry;

struct Session {
  File source;                // open and mapped whole for the session's life
  Settings settings;          // snapshot taken at open
  List<Entry*> entries;       // listed items, owned
  uint32_t current;           // entry the next ReadHeader reports
  uint8_t verifyPacked;       // set by the first test operation
  uint8_t isHripArchive;      // the image as a whole is a Hrip archive
  uint8_t hripDamaged;        // the Hrip reader met problems
  String hripReport;          // the Hrip reader's messages
  uint32_t hripLength;        // bytes of the image the Hrip archive occupies
  uint64_t lastWriteTime;     // FILETIME of the archive file
  uint32_t dosTime;           // the same as local DOS date and time
  char archiveName[260];
  const uint8_t* image;       // the mapped view, past a hobeta header
  uint32_t imageSize;
};

}  // namespace zantor
