// The INI text of a configuration file held in memory: finding a value and
// producing the text with one value set. Section and key names compare
// without regard to ASCII case; blanks around names and values are ignored.
// The first section and the first key of a name count, as with the Windows
// profile functions.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "base/zstring.h"

namespace zantor {

struct TextSpan {
  const char* text;
  uint32_t length;
};

// True with the key's value (blanks trimmed, possibly empty) when section
// holds key.
bool FindProfileValue(TextSpan file, const char* section, const char* key, TextSpan* value);

// The number at the start of a value as the profile functions read it:
// optional blanks and sign, then decimal digits (wrapping at 32 bits); a pair
// of enclosing quotes is dropped. No digits give 0.
int32_t ParseProfileInt(TextSpan value);

// Appends to out the file text with key=value in section: an existing key
// line is rewritten in place, a new key goes behind the section's last
// non-blank line, a new section goes at the end. Everything else is copied
// unchanged; new lines end like the file's first line (CR LF by default).
Result SetProfileValue(TextSpan file, const char* section, const char* key, const char* value, String* out);

}  // namespace zantor
