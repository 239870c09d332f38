#include "scan/naming.h"

#include <cstring>

namespace zantor {

namespace {

constexpr uint8_t kBasicType = TrdosDescriptor::kBasic;
constexpr uint32_t kLargestNumbered = 256;  // the prefix shows the number minus 1 in two hex digits

// bytes without their trailing spaces, forbidden ones escaped.
void AppendTrimmed(NameBuilder& name, const uint8_t* bytes, uint32_t count) {
  while (count > 0 && bytes[count - 1] == ' ') --count;
  for (uint32_t i = 0; i < count; ++i) name.Escaped(bytes[i]);
}

uint32_t Word(const uint8_t* at) { return static_cast<uint32_t>(at[0] | at[1] << 8); }

// The name, "." and the type number, then the header's length, start, third
// value (low half first) and last two bytes in hex.
void DrelmoName(NameBuilder& name, const DrelmoHeader& header) {
  const uint8_t* h = header.bytes;
  AppendTrimmed(name, h + 7, 10);
  name.Char('.');
  name.Decimal(h[6], 1);
  name.Text("   ");
  const uint8_t* words[] = {h + 17, h + 19, h + 21, h + 23};
  for (const uint8_t* word : words) {
    name.Hex(Word(word), 4);
    name.Char(' ');
  }
  name.Hex(h[29], 2);
  name.Char(' ');
  name.Hex(h[30], 2);
}

void NumberPrefix(NameBuilder& name, uint32_t number, const Settings& settings) {
  if (settings.FileNameNumbering == 1) {
    name.Hex(number - 1, 2);
  } else {
    name.Decimal(number - 1, 3);
  }
  const char* separator = settings.FileNameNumberingSeparator;
  for (uint32_t i = 0; i < sizeof settings.FileNameNumberingSeparator && separator[i] != 0; ++i) {
    name.Escaped(static_cast<uint8_t>(separator[i]));
  }
}

bool IsExtensionLetter(uint8_t byte) { return byte >= 0x21 && byte <= 0x7F; }

void OwnName(NameBuilder& name, const TrdosDescriptor& d, bool hobeta, bool extendedExtension) {
  AppendTrimmed(name, d.name, sizeof d.name);
  name.Char('.');
  if (hobeta) name.Char('$');
  if (d.type == ' ') {
    name.ForcedEscape(d.type);
  } else {
    name.Escaped(d.type);
  }
  // The 3-letter convention keeps the second and third letters in the start field.
  if (extendedExtension && d.type != kBasicType && IsExtensionLetter(d.start[0]) && IsExtensionLetter(d.start[1])) {
    name.Escaped(d.start[0]);
    name.Escaped(d.start[1]);
  }
}

}  // namespace

Result NameEntry(const Entry& entry, const Settings& settings, char* out) {
  uint32_t number = 0;
  const TrdosDescriptor* descriptor = nullptr;
  if (entry.kind == kArchiveMember) {
    if (entry.member.directory) FatalError("GN01");
    number = entry.member.ordinal;
    descriptor = &entry.member.memberDescriptor;
  } else if (entry.kind == kBlock) {
    descriptor = &entry.block.descriptor;
  } else {
    FatalError("GN02");
  }

  NameBuilder name;
  if (entry.drelmo.bytes[0] != 0) {
    DrelmoName(name, entry.drelmo);
  } else {
    if (NumberingInEffect(settings) != 0 && number >= 1 && number <= kLargestNumbered) {
      NumberPrefix(name, number, settings);
    }
    OwnName(name, *descriptor, entry.hobetaPresent != 0, settings.ExtendedExtension);
  }
  return name.Finish(out);
}

void FormatLabel(const BlockInfo& info, char* out) {
  const char* format = nullptr;
  switch (info.format) {
    case kFormatHrust1: format = "HR"; break;
    case kFormatHr21: format = "hr21"; break;
    case kFormatHrst2: format = "Hrst2"; break;
    default: FatalError("TTS1");
  }
  std::strcpy(out, format);
  if (info.headerLength == 0) std::strcat(out, " (raw)");
  if (info.stored) std::strcat(out, " (store)");
}

void NameDirectory(const MemberInfo& member, char* out) {
  uint32_t count = member.catalogueDescriptorLength;
  if (count > sizeof member.catalogueDescriptor) count = sizeof member.catalogueDescriptor;
  while (count > 0 && member.catalogueDescriptor[count - 1] <= 0x20) --count;
  NameBuilder name;
  if (count == 0) name.Text("-dir-");
  for (uint32_t i = 0; i < count; ++i) name.Escaped(member.catalogueDescriptor[i]);
  name.Finish(out);  // 11 bytes escaped at most: always fits
}

}  // namespace zantor
