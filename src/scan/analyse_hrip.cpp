#include <cstring>

#include "codec/hrst2_header.h"
#include "scan/analyse.h"
#include "scan/hrip_header.h"

namespace zantor {

bool IsWholeHripArchive(const uint8_t* image, uint32_t size) {
  HripHeader header{};
  if (!ReadHripHeader(image, size, &header)) return false;
  if (header.length >= 15 && size >= 15 && IsHrst2Signature(image + kHripHeaderLength)) return true;
  if (header.length != kHripHeaderLength) return false;
  // No members: either a bare header or one followed by its catalogue.
  if (header.catalogueFlag == 0) return true;
  return header.catalogueFlag == 1 && header.CatalogueOffset() == 256 && size >= 262 &&
         std::memcmp(image + 256, "Hrip", 4) == 0;
}

}  // namespace zantor
