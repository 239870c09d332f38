// zantor_sample FILE: writes the sample file the project ships. Everything in
// it is packed here, by a small greedy packer over the Hrust 1 and Hrust 2
// stream writers, so the sample owes nothing to outside data.
#include <string>

#include "support/hrust1_writer.h"
#include "support/hrust2_writer.h"
#include "support/image_builder.h"
#include "write_file.h"

namespace zantor::test {
namespace {

constexpr size_t kTail = 6;
constexpr size_t kLongestRun = 42;
constexpr size_t kLongestLiteralRow = 11;

// Literals as the packer writes them: runs of 12 to 42 (even) bytes, and at
// most eleven single literals in a row.
template <class Writer>
void FlushLiterals(Writer& w, const Bytes& text, size_t from, size_t to) {
  while (to - from > kLongestLiteralRow) {
    size_t run = std::min(to - from, kLongestRun) & ~size_t{1};
    w.LiteralRun(Bytes(text.begin() + from, text.begin() + from + run));
    from += run;
  }
  for (; from < to; ++from) w.Literal(text[from]);
}

// Packs text (at least 7 bytes) greedily with the writer of either format:
// the longest earlier match of 3 or more bytes within window becomes a copy,
// anything else a literal. Returns the packed data.
template <class Writer>
Bytes PackWith(const std::string& s, size_t window) {
  const Bytes text(s.begin(), s.end());
  const size_t body = text.size() - kTail;
  Writer w(Bytes(text.end() - kTail, text.end()), text[0]);
  size_t pending = 1;
  size_t at = 1;
  while (at < body) {
    size_t bestLength = 0;
    size_t bestDistance = 0;
    for (size_t from = at > window ? at - window : 0; from < at; ++from) {
      size_t n = 0;
      while (at + n < body && n < 4095 && text[from + n] == text[at + n]) ++n;
      if (n > bestLength) bestLength = n, bestDistance = at - from;
    }
    if (bestLength < 3) {
      ++at;
      continue;
    }
    FlushLiterals(w, text, pending, at);
    w.Copy(static_cast<uint32_t>(bestLength), static_cast<uint32_t>(bestDistance));
    at += bestLength;
    pending = at;
  }
  FlushLiterals(w, text, pending, body);
  w.End();
  return w.packed();
}

Payload Pack(const std::string& s) {
  return Payload{PackWith<Hrust2Writer>(s, 65536), Bytes(s.begin(), s.end()), false};
}

// An "HR" block: the signature, the unpacked size and the size of the whole
// block, header included. Hrust 1 far offsets start 2 bits wide, so the
// packer looks back at most 1024 bytes.
Bytes HrBlock(const std::string& s) {
  Bytes packed = PackWith<Hrust1Writer>(s, 1024);
  const size_t total = packed.size() + 6;
  Bytes block{'H', 'R', uint8_t(s.size()), uint8_t(s.size() >> 8), uint8_t(total), uint8_t(total >> 8)};
  return Concat(block, packed);
}

std::string Repeat(const std::string& line, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += line;
  return out;
}

Bytes SampleImage() {
  // No format signature may appear in the texts: literals are kept as they
  // are in the packed data, and the search would take them for headers.
  const std::string readme =
      "This sample holds packed blocks of both formats, with and without a\r\n"
      "TR-DOS name, a stored block and an embedded archive, all between\r\n"
      "unrelated bytes. Extracting any of the blocks gives back this text.\r\n";
  const std::string song = Repeat("C-4 E-4 G-4 C-5 | G-4 E-4 C-4 --- |\n", 40);
  const std::string table = Repeat("DEFB 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n", 30);
  Hrst2Options named;
  named.descriptor = Descriptor("readme", 'T', 0x7478, static_cast<uint16_t>(readme.size()), 1);
  Hrst2Options songMember;
  songMember.descriptor = Descriptor("tune", 'C', 0xC000, static_cast<uint16_t>(song.size()), 0);

  HripArchive archive;
  Hrst2Options tableMember;
  tableMember.descriptor = Descriptor("table", 'C', 0x8000, static_cast<uint16_t>(table.size()), 0);
  archive.body = {Hrst2Block(Pack(song), songMember), DirectoryRecord("DATA"), Hrst2Block(Pack(table), tableMember)};
  archive.records = {CatalogueRecord("tune", 'C', 0xC000), CatalogueRecord("DATA", 'D', 0),
                     CatalogueRecord("table", 'C', 0x8000)};

  Bytes image = Filler(512, 21);
  image = Concat(image, Hr21Block(Pack(readme)));
  image = Concat(image, Filler(200, 22));
  image = Concat(image, Hrst2Block(Pack(readme), named));
  image = Concat(image, Filler(100, 23));
  image = Concat(image, Hr21Block(StoredPayload(Bytes(readme.begin(), readme.end()))));
  image = Concat(image, Filler(300, 24));
  image = Concat(image, HrBlock(readme));
  image = Concat(image, Filler(150, 26));
  image = Concat(image, BuildHripArchive(archive));
  return Concat(image, Filler(256, 25));
}

}  // namespace
}  // namespace zantor::test

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zantor_sample FILE\n");
    return 2;
  }
  return zantor::test::WriteBytes(argv[1], zantor::test::SampleImage()) ? 0 : 1;
}
