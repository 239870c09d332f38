// ReadHeader and ProcessFile: the host's walk over a session's entries.
#include "plugin/listing.h"

#include <cstdio>
#include <cstring>

#include "base/heap.h"
#include "plugin/host_convention.h"
#include "plugin/output_file.h"
#include "scan/dispatch.h"
#include "scan/entry.h"
#include "scan/naming.h"

namespace zantor {

namespace {

constexpr uint32_t kNameField = sizeof(wcx::tHeaderData::FileName);
constexpr const char kDestPathText[] = "DestPath is not null.\nPlease report this error to plugin author.";

uint32_t HobetaLength(const Entry& entry) { return entry.hobetaPresent ? HobetaHeader::kSize : 0; }

void NameNotice(const Entry& entry, const Settings& settings, char* out) {
  if (entry.notice.archiveCorrupt) {
    std::snprintf(out, kNameField, "__archive_corrupt!");
  } else if (entry.notice.onlyFirstShown) {
    std::snprintf(out, kNameField, "__Only first %u entries shown! ", static_cast<unsigned>(settings.MaxEntries));
  } else if (entry.notice.searchStopped) {
    std::snprintf(out, kNameField, "__Search stopped early: too much work! ");
  } else if (entry.notice.notSearched) {
    std::snprintf(out, kNameField, "__Not searched: file larger than the size limits! ");
  } else {
    FatalError("RH01");
  }
}

// A block is listed as its number text, a blank, and its TR-DOS name or its
// format label.
Result NameBlock(const Entry& entry, const Settings& settings, char* out) {
  const BlockPart& block = entry.block;
  uint32_t n = static_cast<uint32_t>(strnlen(block.numberText, sizeof(block.numberText) - 1));
  std::memcpy(out, block.numberText, n);
  out[n++] = ' ';
  if (!block.hasDescriptor) {
    FormatLabel(block.info, out + n);
    return kSuccess;
  }
  // NameEntry fills a whole field; the name must then fit behind the number.
  char name[kNameField];
  Result r = NameEntry(entry, settings, name);
  if (r.failed()) return r;
  const size_t length = std::strlen(name);
  if (n + length >= kNameField) return ShownFailure(kFilenameTooLong);
  std::memcpy(out + n, name, length + 1);
  return kSuccess;
}

// Describes entry in header; the Result is that of the naming.
Result Describe(const Session& session, const Entry& entry, wcx::tHeaderData& header) {
  switch (entry.kind) {
    case kNotice:
      NameNotice(entry, session.analysis.settings, header.FileName);
      return kSuccess;
    case kArchiveMember:
      if (entry.member.directory) {
        header.Flags = 16;
        NameDirectory(entry.member, header.FileName);
        return kSuccess;
      }
      header.PackSize = static_cast<int>(entry.member.packedSize);
      header.UnpSize = static_cast<int>(entry.listedSize + HobetaLength(entry));
      return NameEntry(entry, session.analysis.settings, header.FileName);
    case kBlock:
      header.PackSize = static_cast<int>(entry.block.info.packed);
      header.UnpSize = static_cast<int>(entry.listedSize + HobetaLength(entry));
      return NameBlock(entry, session.analysis.settings, header.FileName);
    case kEmbeddedArchive:
      header.PackSize = static_cast<int>(entry.embedded.length);
      header.UnpSize = static_cast<int>(entry.embedded.length);
      std::memcpy(header.FileName, entry.embedded.name, strnlen(entry.embedded.name, sizeof(entry.embedded.name) - 1));
      return kSuccess;
  }
  FatalError("RH02");
}

// What ProcessFile works with for one entry; release with Finish.
struct Work {
  uint8_t* buffer;      // an unpacked block, or a member's block window; owned
  String message;       // text of a shown failure, owned
  const uint8_t* data;  // what extraction writes; null: nothing to write
  uint32_t length;
  const Entry* member;  // a member streamed block by block instead of data
};

// Whether [position, position + length) lies in the image. The entry list may
// come from the analysis cache, made for an earlier file of the same size and
// time, so positions are checked before the image is read through them.
bool InImage(const Session& session, uint32_t position, uint64_t length) {
  return position <= session.analysis.imageSize && length <= session.analysis.imageSize - position;
}

Result CorruptArchiveFailure(Session& session, String& text) {
  Result r = text.Append("Hrip archive is corrupt.");
  if (r.ok() && session.analysis.hripReport.length != 0) {
    r = text.Append("\r\nAdditional error info:\r\n\r\n");
    if (r.ok()) r = text.Append(session.analysis.hripReport.Text());
  }
  if (r.failed()) return NoMemory;
  return ShownFailure(text.Text());
}

// A member is unpacked later, as it is written, through a window of one
// block: its memory does not grow with its size.
Result PrepareMember(const Entry& entry, Work& work) {
  if (entry.listedSize > entry.member.unpackedSize) FatalError("PF02");
  work.buffer = static_cast<uint8_t*>(Allocate(kHripBlockWindow));
  if (work.buffer == nullptr) return NoMemory;
  work.member = &entry;
  return kSuccess;
}

Result UnpackBlock(Session& session, const Entry& entry, Work& work) {
  const BlockPart& block = entry.block;
  if (!InImage(session, block.position, uint64_t{block.info.headerLength} + block.info.packed)) return kBadData;
  work.buffer = static_cast<uint8_t*>(Allocate(block.info.unpacked));
  if (work.buffer == nullptr) return NoMemory;
  Result r = UnpackHrustBlock(session.analysis.image + block.position, work.buffer, block.info);
  if (entry.listedSize > block.info.unpacked) FatalError("PF03");
  if (r.failed()) return r;
  work.data = work.buffer;
  work.length = entry.listedSize;
  return kSuccess;
}

// The entry's data for a test or an extraction: a member is only made ready.
Result ProduceData(Session& session, const Entry& entry, Work& work) {
  switch (entry.kind) {
    case kNotice:
      if (entry.notice.archiveCorrupt) return CorruptArchiveFailure(session, work.message);
      if (entry.notice.onlyFirstShown || entry.notice.searchStopped || entry.notice.notSearched)
        return HostFailure(1);
      FatalError("PF01");
    case kArchiveMember:
      if (entry.member.directory) return kSuccess;
      return PrepareMember(entry, work);
    case kBlock:
      return UnpackBlock(session, entry, work);
    case kEmbeddedArchive:
      if (!InImage(session, entry.embedded.position, entry.embedded.length)) return kBadData;
      work.data = session.analysis.image + entry.embedded.position;
      work.length = entry.embedded.length;
      return kSuccess;
  }
  FatalError("PF04");
}

// Where the entry's bytes go, in pieces of at most kProgressStep: the output
// file when extracting (none when testing), and the progress.
struct Delivery {
  const Session* session;
  const Entry* entry;
  const Work* work;
  Progress* progress;
  Output* output;  // the file being written; null when testing
  uint32_t memberLeft;  // member bytes still to deliver: the listed size may cut it short
};

Result Put(Delivery& d, const uint8_t* data, uint32_t length) {
  while (length != 0) {
    const uint32_t piece = length < kProgressStep ? length : kProgressStep;
    Result r = d.output != nullptr ? WriteOutput(*d.output, data, piece) : kSuccess;
    if (r.ok()) r = d.progress->Add(piece);
    if (r.failed()) return r;
    data += piece;
    length -= piece;
  }
  return kSuccess;
}

Result PutMemberBlock(void* context, const uint8_t* data, uint32_t length) {
  Delivery& d = *static_cast<Delivery*>(context);
  const uint32_t taken = length < d.memberLeft ? length : d.memberLeft;
  d.memberLeft -= taken;
  return Put(d, data, taken);
}

// The hobeta header (when the entry has one), then the data. Every member
// block is still unpacked and checked after the listed size is reached.
Result Deliver(Delivery& d) {
  const Entry& entry = *d.entry;
  Result r = entry.hobetaPresent ? Put(d, entry.hobeta.bytes, HobetaHeader::kSize) : kSuccess;
  if (r.failed()) return r;
  if (d.work->member != nullptr) {
    d.memberLeft = entry.listedSize;
    const Analysis& a = d.session->analysis;
    r = StreamHripMember(a.image, a.imageSize, entry, d.work->buffer, d.session->verifyPacked != 0,
                         MemberSink{PutMemberBlock, &d});
  } else {
    r = Put(d, d.work->data, d.work->length);
  }
  return r.ok() ? d.progress->Finish() : r;
}

// TR-DOS start and length ride in the creation time, for tools that put the
// file back on a disk image; 0 when the entry has none.
uint64_t CreationTime(const Entry& entry) {
  if (!entry.attributeMark) return 0;
  return kTrdosTimeBase + ((uint64_t{entry.length} << 16) | entry.start) * kTrdosTimeStep;
}

// The verdict on the entry's data alone, shown to no one.
Result CheckData(const Delivery& d) {
  Progress silent{};
  Delivery check = d;
  check.progress = &silent;
  check.output = nullptr;
  return Deliver(check);
}

// Writes the file destName, replacing one that exists; message as for
// BeginOutput. Bad data is reported as such even when there is no name or
// the target is refused: a member, checked only as it is written, is checked
// on its own then.
Result Extract(Delivery& d, HostPath destName, String& message) {
  if (destName.ansi == nullptr && destName.wide == nullptr) {
    const Result checked = CheckData(d);
    return checked.ok() ? HostFailure(16) : checked;
  }
  String path{};
  Output out{};
  Result r = AppendHostPath(destName, path);
  if (r.ok()) r = BeginOutput(path.Text(), out, message);
  path.Destroy();
  if (r.ok()) {
    d.output = &out;
    r = Deliver(d);
  } else if (d.work->member != nullptr) {
    const Result checked = CheckData(d);
    if (checked.failed()) r = checked;
  }
  if (r.ok()) return FinishOutput(out, CreationTime(*d.entry), d.session->lastWriteTime);
  DiscardOutput(out);
  return r;
}

// The progress of entry, under the name it is listed with when the host
// wants progress.
void StartProgress(const Session& session, const Entry& entry, Progress& progress) {
  std::memset(&progress, 0, sizeof progress);
  progress.callbacks = session.progress;
  if (progress.callbacks.ansi == nullptr && progress.callbacks.wide == nullptr) return;
  wcx::tHeaderData header{};
  if (Describe(session, entry, header).ok()) std::memcpy(progress.name, header.FileName, sizeof progress.name);
  for (uint32_t i = 0; i < Progress::kNameField; ++i) progress.wideName[i] = static_cast<uint8_t>(progress.name[i]);
}

// The extended record from the ANSI one (zero-filled before): one place
// decides what an entry lists as.
template <class Extended>
void Extend(const wcx::tHeaderData& from, Extended& to) {
  for (uint32_t i = 0; i < sizeof from.FileName && from.FileName[i] != 0; ++i) {
    to.FileName[i] = static_cast<uint8_t>(from.FileName[i]);  // names are ASCII
  }
  to.Flags = from.Flags;
  to.PackSize = static_cast<uint32_t>(from.PackSize);
  to.UnpSize = static_cast<uint32_t>(from.UnpSize);
  to.HostOS = from.HostOS;
  to.FileCRC = from.FileCRC;
  to.FileTime = from.FileTime;
  to.UnpVer = from.UnpVer;
  to.Method = from.Method;
  to.FileAttr = from.FileAttr;
}

template <class Extended>
int ReadExtended(Session& session, Extended& header) {
  wcx::tHeaderData ansi;
  const int code = ReadHeader(session, ansi);
  if (code == wcx::E_END_ARCHIVE) return code;
  std::memset(&header, 0, sizeof header);
  Extend(ansi, header);
  return code;
}

}  // namespace

int ReadHeaderEx(Session& session, wcx::tHeaderDataEx& header) {
  const int code = ReadExtended(session, header);
  if (code != wcx::E_END_ARCHIVE) KeptPathToAnsi(session.archiveName, header.ArcName, sizeof header.ArcName);
  return code;
}

int ReadHeaderEx(Session& session, wcx::tHeaderDataExW& header) {
  const int code = ReadExtended(session, header);
  if (code != wcx::E_END_ARCHIVE) Utf8ToUtf16(session.archiveName, header.ArcName, kWidePathField);
  return code;
}

int ReadHeader(Session& session, wcx::tHeaderData& header) {
  if (session.current >= session.analysis.entries.count) return wcx::E_END_ARCHIVE;
  std::memset(&header, 0, sizeof(header));
  const Entry& entry = *session.analysis.entries.At(session.current);
  const Result named = Describe(session, entry, header);
  KeptPathToAnsi(session.archiveName, header.ArcName, sizeof header.ArcName);
  header.FileTime = HostFileTime(session);
  header.FileAttr = HostFileAttr(entry.kind == kArchiveMember && entry.member.directory);
  if (named.failed()) {
    ReportResult(named);
    return ToHostCode(named);
  }
  return 0;
}

int ProcessFile(Session& session, int operation, bool destPathGiven, HostPath destName) {
  if (session.current >= session.analysis.entries.count) FatalError("Index out of list");
  if (operation == wcx::PK_SKIP) {
    ++session.current;
    return 0;
  }
  if (destPathGiven) {
    ShowErrorBox(kDestPathText);
    return wcx::E_NOT_SUPPORTED;
  }
  if (operation == wcx::PK_TEST) session.verifyPacked = 1;

  const Entry& entry = *session.analysis.entries.At(session.current);
  Work work{};
  Result r = entry.bad ? kBadData : SourceStillWhole(session) ? ProduceData(session, entry, work) : HostFailure(18);
  if (r.ok() && (work.data != nullptr || work.member != nullptr)) {
    Progress progress;
    StartProgress(session, entry, progress);
    Delivery delivery{&session, &entry, &work, &progress, nullptr, 0};
    r = operation == wcx::PK_EXTRACT ? Extract(delivery, destName, work.message) : Deliver(delivery);
  }

  ++session.current;
  Release(work.buffer);
  ReportResult(r);
  const int code = ToHostCode(r);
  work.message.Destroy();  // the box has shown it
  return code;
}

}  // namespace zantor
