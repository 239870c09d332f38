#include "config/settings_ini.h"

#include <cstring>

namespace zantor {

namespace {

struct Line {
  uint32_t start;
  uint32_t contentEnd;  // before the line break
  uint32_t end;         // after the line break
};

Line LineAt(TextSpan file, uint32_t start) {
  Line line{start, start, start};
  while (line.contentEnd < file.length && file.text[line.contentEnd] != '\n') ++line.contentEnd;
  line.end = line.contentEnd < file.length ? line.contentEnd + 1 : line.contentEnd;
  if (line.contentEnd > start && file.text[line.contentEnd - 1] == '\r') --line.contentEnd;
  return line;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

TextSpan Trim(TextSpan file, uint32_t from, uint32_t to) {
  while (from < to && IsBlank(file.text[from])) ++from;
  while (to > from && IsBlank(file.text[to - 1])) --to;
  return TextSpan{file.text + from, to - from};
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(TextSpan span, const char* name) {
  if (span.length != std::strlen(name)) return false;
  for (uint32_t i = 0; i < span.length; ++i) {
    if (Lower(span.text[i]) != Lower(name[i])) return false;
  }
  return true;
}

enum class LineKind { kOther, kSection, kKey };

struct ParsedLine {
  LineKind kind;
  TextSpan name;   // section or key name
  TextSpan value;  // for a key
};

ParsedLine Parse(TextSpan file, Line line) {
  ParsedLine parsed{LineKind::kOther, {file.text, 0}, {file.text, 0}};
  TextSpan content = Trim(file, line.start, line.contentEnd);
  if (content.length == 0) return parsed;
  uint32_t from = static_cast<uint32_t>(content.text - file.text);
  uint32_t to = from + content.length;
  if (file.text[from] == '[') {
    uint32_t close = from + 1;
    while (close < to && file.text[close] != ']') ++close;
    parsed.kind = LineKind::kSection;
    parsed.name = Trim(file, from + 1, close);
    return parsed;
  }
  uint32_t equals = from;
  while (equals < to && file.text[equals] != '=') ++equals;
  if (equals == to) return parsed;
  parsed.kind = LineKind::kKey;
  parsed.name = Trim(file, from, equals);
  parsed.value = Trim(file, equals + 1, to);
  return parsed;
}

// Walks the lines of the first section named section. Calls visit(line,
// parsed) for each line inside it; visit returns false to stop. Returns
// whether the section exists and where its header line ends.
template <class Visit>
bool WalkSection(TextSpan file, const char* section, Line* header, Visit visit) {
  bool inside = false;
  for (uint32_t at = 0; at < file.length;) {
    Line line = LineAt(file, at);
    at = line.end;
    ParsedLine parsed = Parse(file, line);
    if (parsed.kind == LineKind::kSection) {
      if (inside) return true;
      if (SameName(parsed.name, section)) {
        inside = true;
        *header = line;
      }
      continue;
    }
    if (inside && !visit(line, parsed)) return true;
  }
  return inside;
}

Result AppendBytes(String* out, const char* bytes, uint32_t count) {
  Result r = out->Reserve(out->length + count);
  for (uint32_t i = 0; r.ok() && i < count; ++i) r = out->AppendChar(bytes[i]);
  return r;
}

const char* LineBreakOf(TextSpan file) {
  const void* newline = file.length == 0 ? nullptr : std::memchr(file.text, '\n', file.length);
  if (newline == nullptr) return "\r\n";
  const char* at = static_cast<const char*>(newline);
  return at > file.text && at[-1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

bool FindProfileValue(TextSpan file, const char* section, const char* key, TextSpan* value) {
  bool found = false;
  Line header;
  WalkSection(file, section, &header, [&](Line, const ParsedLine& parsed) {
    if (parsed.kind != LineKind::kKey || !SameName(parsed.name, key)) return true;
    *value = parsed.value;
    found = true;
    return false;
  });
  return found;
}

int32_t ParseProfileInt(TextSpan value) {
  const char* at = value.text;
  const char* end = value.text + value.length;
  if (value.length >= 2 && (at[0] == '"' || at[0] == '\'') && end[-1] == at[0]) {
    ++at;
    --end;
  }
  while (at < end && IsBlank(*at)) ++at;
  bool negative = false;
  if (at < end && (*at == '-' || *at == '+')) negative = *at++ == '-';
  uint32_t number = 0;
  for (; at < end && *at >= '0' && *at <= '9'; ++at) number = number * 10 + static_cast<uint32_t>(*at - '0');
  return static_cast<int32_t>(negative ? 0u - number : number);
}

Result SetProfileValue(TextSpan file, const char* section, const char* key, const char* value, String* out) {
  const char* lineBreak = LineBreakOf(file);
  Line header{};
  Line keyLine{};
  TextSpan keyName{key, static_cast<uint32_t>(std::strlen(key))};
  bool keyFound = false;
  uint32_t lastFilledEnd = 0;  // end of the section's last non-blank line
  bool sectionFound = WalkSection(file, section, &header, [&](Line line, const ParsedLine& parsed) {
    if (parsed.kind == LineKind::kKey && SameName(parsed.name, key)) {
      keyLine = line;
      keyName = parsed.name;
      keyFound = true;
      return false;
    }
    if (Trim(file, line.start, line.contentEnd).length != 0) lastFilledEnd = line.end;
    return true;
  });

  // The text is cut at one point: before it the file up to cut, then the new
  // key line, then the file from resume on.
  uint32_t cut = file.length;
  uint32_t resume = file.length;
  bool breakBefore = false;
  bool sectionHeader = false;
  bool breakAfter = true;
  if (keyFound) {
    cut = keyLine.start;
    resume = keyLine.contentEnd;
    breakAfter = false;
  } else if (sectionFound) {
    cut = resume = lastFilledEnd > header.end ? lastFilledEnd : header.end;
    breakBefore = cut == file.length && cut > 0 && file.text[cut - 1] != '\n';
  } else {
    breakBefore = file.length > 0 && file.text[file.length - 1] != '\n';
    sectionHeader = true;
  }

  Result r = AppendBytes(out, file.text, cut);
  if (r.ok() && breakBefore) r = out->Append(lineBreak);
  if (r.ok() && sectionHeader) r = out->AppendChar('[');
  if (r.ok() && sectionHeader) r = out->Append(section);
  if (r.ok() && sectionHeader) r = out->AppendChar(']');
  if (r.ok() && sectionHeader) r = out->Append(lineBreak);
  if (r.ok()) r = AppendBytes(out, keyName.text, keyName.length);
  if (r.ok()) r = out->AppendChar('=');
  if (r.ok()) r = out->Append(value);
  if (r.ok() && breakAfter) r = out->Append(lineBreak);
  if (r.ok()) r = AppendBytes(out, file.text + resume, file.length - resume);
  return r;
}

}  // namespace zantor
