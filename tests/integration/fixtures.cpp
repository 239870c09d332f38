// zantor_fixtures DIR: writes the files the host is tested on into DIR, and
// one folder per configuration (DIR/config/NAME/Zantor.cfg) for the plugin
// copies that read them. Blocks come from the reference corpus; without it
// the program exits with status 2.
#include <filesystem>
#include <string>

#include "config/settings_struct.h"
#include "support/image_builder.h"
#include "write_file.h"

namespace zantor::test {
namespace {

const char kScreen1[] = "dimidrol_bear__2014_.scr";
const char kScreen2[] = "diver_mercenary_4__2014_.scr";
const char kTune[] = "ziutek_shock7__1992_.stc";
const char kText[] = "grammar.lsp";

Hrst2Options WithDescriptor(const Bytes& descriptor, uint8_t flags = kFlagLast) {
  Hrst2Options o;
  o.flags = flags;
  o.descriptor = descriptor;
  return o;
}

// Every kind of block between filler: Hrust 1, "hr21" packed and stored,
// "Hrst2" with TR-DOS descriptors (one named like a device, one with bytes
// that need escapes) and stored.
Bytes BlocksImage() {
  Bytes image = Filler(700, 1);
  auto add = [&image](const Bytes& block, uint32_t gap) {
    image = Concat(Concat(image, block), Filler(gap, static_cast<uint32_t>(image.size())));
  };
  add(Hrust1Block(kScreen1), 300);
  add(Hr21Block(Hrust2Sample(kScreen2)), 129);
  add(Hr21Block(StoredPayload(Filler(300, 7))), 64);
  add(Hrst2Block(Hrust2Sample(kScreen1), WithDescriptor(Descriptor("SCREEN", 'C', 16384, 6912, 27))), 77);
  add(Hrst2Block(Hrust2Sample(kTune), WithDescriptor(Descriptor("NUL", 'C', 0x6000, 2368, 10))), 90);
  add(Hrst2Block(StoredPayload(Filler(512, 8)), WithDescriptor(Descriptor("A#B:C\x7F", 'C', 0x7978, 512, 2))), 33);
  return image;
}

// A sound archive: members with descriptors (one sector-exact with a shorter
// TR-DOS length, for smart length detection), directory records with a name,
// with blanks only and with bytes that need escapes.
HripArchive SoundArchive() {
  HripArchive a;
  a.body = {Hrst2Block(Hrust2Sample(kScreen1), WithDescriptor(Descriptor("SCREEN", 'C', 16384, 6912, 27))),
            DirectoryRecord("GAMES"),
            Hrst2Block(StoredPayload(Filler(7168, 5)), WithDescriptor(Descriptor("CODE", 'C', 32768, 6913, 28))),
            DirectoryRecord("      "),
            Hrst2Block(Hrust2Sample(kText), WithDescriptor(Descriptor("grammar", 'l', 0x7073, 3721, 15))),
            DirectoryRecord("a#b\x7F"),
            Hrst2Block(Hrust2Sample(kTune), WithDescriptor(Descriptor("NUL", 'C', 0x6000, 2368, 10)))};
  a.records = {CatalogueRecord("SCREEN", 'C', 16384), CatalogueRecord("GAMES", 'D', 0),
               CatalogueRecord("CODE", 'C', 32768),   CatalogueRecord("      ", 'D', 0),
               CatalogueRecord("grammar", 'l', 1),    CatalogueRecord("a#b\x7F", 'D', 0),
               CatalogueRecord("NUL", 'C', 0x6000)};
  return a;
}

// The sound archive with a wrong stored checksum in its first member: it
// lists soundly and fails when that member is unpacked.
HripArchive DamagedArchive() {
  HripArchive a = SoundArchive();
  Hrst2Options o = WithDescriptor(Descriptor("SCREEN", 'C', 16384, 6912, 27));
  o.wrongUnpackedCrc = true;
  a.body[0] = Hrst2Block(Hrust2Sample(kScreen1), o);
  return a;
}

// An "hr21" block whose packed data is broken past its start: the basic
// search lists it without a test, unpacking it fails.
Bytes DamagedBlockImage() {
  Payload p = Hrust2Sample(kScreen2);
  for (size_t i = p.packed.size() / 2; i < p.packed.size() / 2 + 40; ++i) p.packed[i] ^= 0x5A;
  return Concat(Filler(100, 3), Concat(Hr21Block(p), Filler(100, 4)));
}

// More small stored blocks than any entry limit lets through.
Bytes ManyBlocksImage() {
  Bytes image;
  for (uint32_t i = 0; i < 300; ++i) image = Concat(image, Concat(Hr21Block(StoredPayload(Filler(40, i + 10))), Filler(20, i)));
  return image;
}

std::string StructText(const void* data, uint32_t size) {
  std::string text(StructTextLength(size), '\0');
  text.resize(StructTextLength(size) + 1);
  EncodeStruct(data, size, text.data());
  text.resize(StructTextLength(size));
  return text;
}

bool WriteConfig(const std::filesystem::path& folder, const std::string& name, const std::string& keys) {
  std::filesystem::create_directories(folder / name);
  const std::string text = "[Zantor]\r\n" + keys;
  return WriteBytes((folder / name / "Zantor.cfg").string(), Bytes(text.begin(), text.end()));
}

bool WriteConfigs(const std::filesystem::path& folder) {
  const char separator[9] = {'-', '-', 0};
  std::filesystem::create_directories(folder / "default");
  return WriteConfig(folder, "numbering",
                     "FileNameNumbering=1\r\nFileNameNumberingSeparator=" + StructText(separator, 9) + "\r\n") &&
         WriteConfig(folder, "no-numbering", "FileNameNumbering=0\r\n") &&
         WriteConfig(folder, "drelmo", "DrelmoCompatible=1\r\n") &&
         WriteConfig(folder, "hobeta", "ExtractHobeta=1\r\n") &&
         WriteConfig(folder, "no-smart-length", "SmartLenDetect=0\r\n") &&
         WriteConfig(folder, "max-entries", "MaxEntries=10\r\n");
}

int Run(const std::filesystem::path& dir) {
  if (!CorpusPresent()) {
    std::fprintf(stderr, "corpus folder %s is absent\n", ZANTOR_CORPUS);
    return 2;
  }
  std::filesystem::create_directories(dir / "files");
  const Bytes blocks = BlocksImage();
  const Bytes archive = BuildHripArchive(SoundArchive());
  Bytes hobeta273 = HobetaHeaderBytes("one", 'C', 0x8000, 256, 1);
  Bytes badSize = Concat(HobetaHeaderBytes("bad", 'C', 0x8000, 256, 2), Hr21Block(StoredPayload(Filler(248, 2))));
  hobeta273 = Concat(hobeta273, Hr21Block(StoredPayload(Filler(248, 2))));
  const struct {
    const char* name;
    Bytes bytes;
  } files[] = {
      {"empty.bin", {}},
      {"hobeta-empty.$C", HobetaHeaderBytes("empty", 'C', 0x8000, 0, 0)},
      {"hobeta-273.$C", hobeta273},
      {"hobeta-bad-size.$C", badSize},
      {"blocks.bin", blocks},
      {"archive.hrp", archive},
      {"archive-bad-checksum.hrp", BuildHripArchive(DamagedArchive())},
      {"archive-truncated.hrp", Bytes(archive.begin(), archive.begin() + archive.size() / 2)},
      {"embedded.bin", Concat(Filler(1000, 9), Concat(archive, Filler(500, 10)))},
      {"damaged-block.bin", DamagedBlockImage()},
      {"many.bin", ManyBlocksImage()},
      {"old.bin", blocks},
      // Larger than every search's size limit at the defaults, a block near its end.
      {"oversized.bin", Concat(Filler(10 << 20, 11), Hr21Block(StoredPayload(Filler(40, 12))))},
  };
  for (const auto& f : files) {
    if (!WriteBytes((dir / "files" / f.name).string(), f.bytes)) return 1;
  }
  return WriteConfigs(dir / "config") ? 0 : 1;
}

}  // namespace
}  // namespace zantor::test

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zantor_fixtures DIR\n");
    return 1;
  }
  return zantor::test::Run(argv[1]);
}
