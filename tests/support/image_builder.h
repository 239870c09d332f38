// Test-only assembly of file images: Hrust block headers around real packed
// streams from the corpus, Hrip archives, hobeta headers and placement of
// blocks inside other data. Everything is std::vector based and
// little-endian like the ZX Spectrum formats.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zantor::test {

using Bytes = std::vector<uint8_t>;

// ---- Corpus ---------------------------------------------------------------

// True when the corpus folder (ZANTOR_CORPUS) exists.
bool CorpusPresent();
// Skips the calling test with a clear message when the corpus is absent.
#define ZANTOR_REQUIRE_CORPUS()                                                    \
  do {                                                                             \
    if (!::zantor::test::CorpusPresent())                                          \
      GTEST_SKIP() << "corpus folder " << ZANTOR_CORPUS << " is absent";           \
  } while (0)

// Whole content of a file; empty when it cannot be read.
Bytes ReadFileBytes(const std::string& path);
// Content of ZANTOR_CORPUS/relative (e.g. "plain/sum").
Bytes ReadCorpusFile(const std::string& relative);
// Names in corpus/plain, sorted by file size (smallest first).
std::vector<std::string> CorpusNamesBySize();

// What one block holds: the data after its header and what it unpacks to.
struct Payload {
  Bytes packed;    // the packed stream, or the bytes themselves when stored
  Bytes unpacked;  // the original data
  bool stored = false;
};

// The Hrust 2 stream of hrust2/NAME.hr21 (without its 8-byte header) and
// plain/NAME. Empty payload when the files are missing.
Payload Hrust2Sample(const std::string& name);
// Stored data: packed and unpacked are both data.
Payload StoredPayload(const Bytes& data);
// The whole "HR" block hrust1/NAME.hr1 as the file holds it.
Bytes Hrust1Block(const std::string& name);

// ---- Block headers ----------------------------------------------------------

// TR-DOS descriptor: name (space padded to 8), type, start, length, sectors.
Bytes Descriptor(const std::string& name, uint8_t type, uint16_t start, uint16_t length,
                 uint8_t sectors);

// CRC-16/XMODEM, computed independently of the product code.
uint16_t ReferenceCrc16(const Bytes& data);

// Hrip flag bits of a "Hrst2" header.
enum : uint8_t {
  kFlagStored = 0x01,
  kFlagLast = 0x02,
  kFlagSolidEntry = 0x08,
  kFlagSolidArchive = 0x10,
  kFlagDeleted = 0x20,
  kFlagEncrypted = 0x40,
  kFlagDirectory = 0x80,
};

struct Hrst2Options {
  uint8_t flags = kFlagLast;  // kFlagStored is added for a stored payload
  uint8_t extension = 4;      // n: 0/1 no CRC, 2 packed CRC, >= 4 both CRCs
  Bytes descriptor;           // 14 bytes at header offset 15; forces n >= 18
  bool wrongPackedCrc = false;
  bool wrongUnpackedCrc = false;
  int32_t unpackedLength = -1;  // header field override (-1: the payload's)
  int32_t packedLength = -1;    // header field override (-1: the payload's)
};
// A "Hrst2" header followed by the payload's packed bytes.
Bytes Hrst2Block(const Payload& payload, const Hrst2Options& options = {});
// A "Hrst2" header length 11 + n for the given options (without data).
uint32_t Hrst2HeaderLength(const Hrst2Options& options);
// A Hrip directory record: "Hrst2", flags (bit 7 set), name length, name.
Bytes DirectoryRecord(const std::string& name, uint8_t flags = kFlagDirectory | kFlagLast);
// An "hr21" header (stored: bit 7 of the fourth byte) followed by the data.
Bytes Hr21Block(const Payload& payload);

// ---- Hrip archives -----------------------------------------------------------

// A 16-byte catalogue record: name (space padded to 8), type, start, 5 zeros.
Bytes CatalogueRecord(const std::string& name, uint8_t type, uint16_t start);

struct HripArchive {
  std::vector<Bytes> body;     // blocks and directory records, in order
  std::vector<Bytes> records;  // catalogue records, in member order
  bool catalogue = true;       // catalogue flag 1 and a catalogue after the body
  bool catalogueSignature = true;  // false: the catalogue does not read "Hrip"
  int32_t count = -1;          // catalogue count byte (-1: records.size())
  bool terminated = true;      // the 0 after the last record
  int32_t length = -1;         // archive length L in the header (-1: 8 + body)
};
// Header "HRi", the body, zero padding to whole sectors, then the catalogue.
Bytes BuildHripArchive(const HripArchive& archive);
// Offset of the catalogue of an archive built from this description.
uint32_t CatalogueOffset(const HripArchive& archive);

// ---- Images -----------------------------------------------------------------

// A 17-byte hobeta header with its checksum.
Bytes HobetaHeaderBytes(const std::string& name, uint8_t type, uint16_t start, uint16_t length,
                        uint8_t sectors);
// Deterministic filler without any signature of the formats in it.
Bytes Filler(size_t size, uint32_t seed = 1);
// Writes bytes at offset, growing image (with zeros) as needed.
void PlaceAt(Bytes& image, size_t offset, const Bytes& bytes);
// a followed by b.
Bytes Concat(const Bytes& a, const Bytes& b);

// A heap copy of exactly data.size() bytes, so that AddressSanitizer sees
// any read past the end.
std::unique_ptr<uint8_t[]> ExactCopy(const Bytes& data);

}  // namespace zantor::test
