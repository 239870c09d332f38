#include "support/image_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zantor::test {
namespace {

void Put16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

// Name bytes padded with spaces (or cut) to width.
void PutName(Bytes& out, const std::string& name, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : ' ');
}

}  // namespace

bool CorpusPresent() { return std::filesystem::is_directory(ZANTOR_CORPUS); }

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ReadCorpusFile(const std::string& relative) {
  return ReadFileBytes(std::string(ZANTOR_CORPUS) + "/" + relative);
}

std::vector<std::string> CorpusNamesBySize() {
  std::vector<std::pair<uintmax_t, std::string>> found;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(std::string(ZANTOR_CORPUS) + "/plain", error))
    if (item.is_regular_file()) found.emplace_back(item.file_size(), item.path().filename().string());
  std::sort(found.begin(), found.end());
  std::vector<std::string> names;
  for (auto& f : found) names.push_back(f.second);
  return names;
}

Payload Hrust2Sample(const std::string& name) {
  Payload p;
  Bytes file = ReadCorpusFile("hrust2/" + name + ".hr21");
  if (file.size() < 8) return p;
  p.packed.assign(file.begin() + 8, file.end());
  p.unpacked = ReadCorpusFile("plain/" + name);
  return p;
}

Payload StoredPayload(const Bytes& data) { return Payload{data, data, true}; }

Bytes Hrust1Block(const std::string& name) { return ReadCorpusFile("hrust1/" + name + ".hr1"); }

Bytes Descriptor(const std::string& name, uint8_t type, uint16_t start, uint16_t length,
                 uint8_t sectors) {
  Bytes d;
  PutName(d, name, 8);
  d.push_back(type);
  Put16(d, start);
  Put16(d, length);
  d.push_back(sectors);
  return d;
}

uint16_t ReferenceCrc16(const Bytes& data) {
  // Bit-serial form of the polynomial division, MSB first.
  uint32_t crc = 0;
  for (uint8_t byte : data) {
    for (int bit = 7; bit >= 0; --bit) {
      uint32_t in = (byte >> bit) & 1u;
      uint32_t top = (crc >> 15) & 1u;
      crc = (crc << 1) & 0xFFFFu;
      if (top ^ in) crc ^= 0x1021u;
    }
  }
  return static_cast<uint16_t>(crc);
}

uint32_t Hrst2HeaderLength(const Hrst2Options& options) {
  uint32_t n = options.extension;
  if (!options.descriptor.empty()) n = std::max<uint32_t>(n, 18);
  return 11 + n;
}

Bytes Hrst2Block(const Payload& payload, const Hrst2Options& options) {
  uint32_t n = Hrst2HeaderLength(options) - 11;
  uint8_t flags = options.flags | (payload.stored ? kFlagStored : 0);
  uint32_t unpacked = options.unpackedLength >= 0 ? options.unpackedLength : payload.unpacked.size();
  uint32_t packed = options.packedLength >= 0 ? options.packedLength : payload.packed.size();
  Bytes out;
  PutText(out, "Hrst2");
  out.push_back(flags);
  Put16(out, unpacked);
  Put16(out, packed);
  out.push_back(static_cast<uint8_t>(n));
  Bytes extension(n, 0);
  if (n >= 2) {
    uint16_t crc = ReferenceCrc16(payload.packed) ^ (options.wrongPackedCrc ? 0x0101 : 0);
    extension[0] = static_cast<uint8_t>(crc);
    extension[1] = static_cast<uint8_t>(crc >> 8);
  }
  if (n >= 4) {
    uint16_t crc = ReferenceCrc16(payload.unpacked) ^ (options.wrongUnpackedCrc ? 0x0101 : 0);
    extension[2] = static_cast<uint8_t>(crc);
    extension[3] = static_cast<uint8_t>(crc >> 8);
  }
  if (!options.descriptor.empty()) std::copy(options.descriptor.begin(), options.descriptor.end(), extension.begin() + 4);
  out.insert(out.end(), extension.begin(), extension.end());
  out.insert(out.end(), payload.packed.begin(), payload.packed.end());
  return out;
}

Bytes DirectoryRecord(const std::string& name, uint8_t flags) {
  Bytes out;
  PutText(out, "Hrst2");
  out.push_back(flags);
  out.push_back(static_cast<uint8_t>(name.size()));
  PutText(out, name);
  return out;
}

Bytes Hr21Block(const Payload& payload) {
  Bytes out;
  PutText(out, "hr21");
  if (payload.stored) out[3] |= 0x80;
  Put16(out, payload.unpacked.size());
  Put16(out, payload.packed.size());
  out.insert(out.end(), payload.packed.begin(), payload.packed.end());
  return out;
}

Bytes CatalogueRecord(const std::string& name, uint8_t type, uint16_t start) {
  Bytes r;
  PutName(r, name, 8);
  r.push_back(type);
  Put16(r, start);
  r.resize(16, 0);
  return r;
}

static uint32_t BodySize(const HripArchive& archive) {
  uint32_t size = 0;
  for (const Bytes& b : archive.body) size += b.size();
  return size;
}

static uint32_t ArchiveLength(const HripArchive& archive) {
  return archive.length >= 0 ? static_cast<uint32_t>(archive.length) : 8 + BodySize(archive);
}

uint32_t CatalogueOffset(const HripArchive& archive) { return (ArchiveLength(archive) + 255) / 256 * 256; }

Bytes BuildHripArchive(const HripArchive& archive) {
  uint32_t length = ArchiveLength(archive);
  uint32_t sectors = (length + 255) / 256;
  Bytes out;
  PutText(out, "HRi");
  out.push_back(0);
  out.push_back(static_cast<uint8_t>(length % 256));
  Put16(out, sectors);
  out.push_back(archive.catalogue ? 1 : 0);
  for (const Bytes& b : archive.body) out.insert(out.end(), b.begin(), b.end());
  if (!archive.catalogue) return out;
  out.resize(std::max<size_t>(out.size(), CatalogueOffset(archive)), 0);
  uint32_t count = archive.count >= 0 ? archive.count : archive.records.size();
  PutText(out, archive.catalogueSignature ? "Hrip" : "Hrix");
  out.push_back(static_cast<uint8_t>(count));
  out.push_back(static_cast<uint8_t>((count * 16 + 7 + 255) / 256));
  for (const Bytes& r : archive.records) out.insert(out.end(), r.begin(), r.end());
  if (archive.terminated) out.push_back(0);
  return out;
}

Bytes HobetaHeaderBytes(const std::string& name, uint8_t type, uint16_t start, uint16_t length,
                        uint8_t sectors) {
  Bytes h;
  PutName(h, name, 8);
  h.push_back(type);
  Put16(h, start);
  Put16(h, length);
  h.push_back(0);
  h.push_back(sectors);
  uint32_t sum = 0;
  for (uint8_t b : h) sum += b;
  Put16(h, (sum * 257 + 105) & 0xFFFF);
  return h;
}

Bytes Filler(size_t size, uint32_t seed) {
  Bytes out(size);
  uint32_t state = seed * 2654435761u + 12345u;
  for (auto& b : out) {
    state = state * 1103515245u + 12345u;
    b = static_cast<uint8_t>(state >> 16);
    if ((b & 0xDF) == 'H') b ^= 0x01;  // no 'H' or 'h': no signature can start
  }
  return out;
}

void PlaceAt(Bytes& image, size_t offset, const Bytes& bytes) {
  if (image.size() < offset + bytes.size()) image.resize(offset + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), image.begin() + offset);
}

Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes out(a);
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

std::unique_ptr<uint8_t[]> ExactCopy(const Bytes& data) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[data.size()]);
  std::copy(data.begin(), data.end(), copy.get());
  return copy;
}

}  // namespace zantor::test
