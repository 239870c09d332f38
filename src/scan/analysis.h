// Analysis: what the analysis of one image works on and produces. The opener
// sets the image, the settings snapshot and the file's DOS time; the
// analysis fills the entries and the Hrip reader's fields. All-zero is a
// valid empty analysis.
#pragma once
#include <cstdint>

#include "base/list.h"
#include "base/zstring.h"
#include "config/settings.h"

namespace zantor {

struct Entry;
struct SharedEntries;

struct Analysis {
  const uint8_t* image;   // the file's bytes, past a hobeta header
  uint32_t imageSize;
  Settings settings;      // snapshot taken at open
  uint32_t dosTime;       // the file's time as local DOS date-time
  List<Entry*> entries;   // listed items, owned unless shared
  SharedEntries* shared;  // set: entries are this shared list's, one reference held
  uint8_t isHripArchive;  // the image as a whole is a Hrip archive
  uint8_t hripDamaged;    // the Hrip reader met problems
  String hripReport;      // the Hrip reader's messages
  uint32_t hripLength;    // bytes of the image the Hrip archive occupies
};

// Releases the entries (or the reference to shared ones) and the report; the
// inputs stay. Cached results that expired are freed with them.
void ClearAnalysis(Analysis& analysis);

}  // namespace zantor
