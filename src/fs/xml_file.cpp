// Loading and saving whole XML files: the MDK project file, ".project" and ".cproject".
#include "fs/xml_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/file_write.h"

namespace {

// The library reads up to three bytes past a truncated UTF-8 sequence or a missing end mark
// before it looks for the end of the text; these NULs keep that inside our buffer.
constexpr size_t kReadAheadPadding = 8;

// How the library steps through text and quoted attribute values: byte by byte before the
// encoding is known and for legacy encodings, whole UTF-8 sequences (by their lead byte, right or
// wrong) once the text is taken as UTF-8. Names, comments, CDATA and unknown nodes are always read
// byte by byte.
enum class Stepping { kBytes, kUtf8 };

size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// The library takes every byte from 127 up as a letter.
bool IsNameStart(unsigned char c) { return c >= 127 || IsAsciiLetter(c) || c == '_'; }
bool IsNameByte(unsigned char c) {
  return IsNameStart(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == ':';
}
unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// Follows the library's parser through the text far enough to know how deep its recursion over
// nested elements goes. Where the text is well-formed it reads exactly as the library does; past
// a point where the library would give up it may read anything, since the library reads no
// further.
class NestingScanner {
 public:
  NestingScanner(const std::string& text, size_t limit) : text_(text), limit_(limit) {}

  size_t Deepest() const {
    // A byte-order mark settles UTF-8 at once; without one, the first declaration at the top
    // settles the encoding. Where no UTF-8 sequence hides a markup byte, both steppings read the
    // same, and which one applies does not matter.
    if (StartsWith(0, "\xEF\xBB\xBF")) return Scan(0, Stepping::kUtf8, true);
    return Scan(0, Stepping::kBytes, SteppingsAgree());
  }

 private:
  size_t Scan(size_t pos, Stepping stepping, bool encodingSettled) const {
    const size_t end = text_.size();
    size_t depth = 0;
    size_t deepest = 0;
    while (deepest <= limit_) {
      pos = NextMarkup(pos, stepping);
      if (pos >= end) break;
      if (StartsWithIgnoringCase(pos, "<?xml")) {
        pos = SkipDeclaration(pos + 5, stepping);
        if (!encodingSettled && depth == 0) {
          // The declaration names UTF-8 or a legacy encoding: read the rest both ways.
          return std::max({deepest, Scan(pos, Stepping::kUtf8, true),
                           Scan(pos, Stepping::kBytes, true)});
        }
      } else if (StartsWith(pos, "</")) {
        if (depth > 0) --depth;
        pos = After(pos + 2, ">");
      } else if (StartsWith(pos, "<!--")) {
        pos = After(pos + 4, "-->");
      } else if (StartsWith(pos, "<![CDATA[")) {
        pos = After(pos + 9, "]]>");
      } else if (pos + 1 < end && IsNameStart(Byte(pos + 1))) {
        deepest = std::max(deepest, ++depth);
        bool empty = false;
        pos = SkipElementTag(pos + 1, stepping, &empty);
        if (empty) --depth;
      } else {
        // "<!DOCTYPE ...>", "<?other ...>" or a lone "<": read up to the first ">".
        pos = After(pos + 1, ">");
      }
    }
    return deepest;
  }

  // True when no lead byte's sequence covers a byte below 0x80 or runs past the end, so that no
  // markup byte can be swallowed by UTF-8 stepping.
  bool SteppingsAgree() const {
    const size_t end = text_.size();
    for (size_t pos = 0; pos < end;) {
      const size_t length = Utf8SequenceLength(Byte(pos));
      if (pos + length > end) return false;
      for (size_t i = 1; i < length; ++i) {
        if (Byte(pos + i) < 0x80) return false;
      }
      pos += length;
    }
    return true;
  }

  unsigned char Byte(size_t pos) const { return static_cast<unsigned char>(text_[pos]); }

  size_t Step(size_t pos, Stepping stepping) const {
    return stepping == Stepping::kUtf8 ? Utf8SequenceLength(Byte(pos)) : 1;
  }

  bool StartsWith(size_t pos, const char* prefix) const {
    return text_.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
  }

  bool StartsWithIgnoringCase(size_t pos, const char* prefix) const {
    for (; *prefix != '\0'; ++prefix, ++pos) {
      if (pos >= text_.size() || Lower(Byte(pos)) != static_cast<unsigned char>(*prefix)) {
        return false;
      }
    }
    return true;
  }

  // The position after the first `mark` at or after `pos`, or the end.
  size_t After(size_t pos, const char* mark) const {
    const size_t found = text_.find(mark, pos);
    return found == std::string::npos ? text_.size()
                                      : found + std::char_traits<char>::length(mark);
  }

  // The next "<" of the text from `pos`, read character by character.
  size_t NextMarkup(size_t pos, Stepping stepping) const {
    if (stepping == Stepping::kBytes) return std::min(text_.find('<', pos), text_.size());
    while (pos < text_.size() && text_[pos] != '<') pos += Step(pos, stepping);
    return pos;
  }

  size_t SkipSpace(size_t pos, Stepping stepping) const {
    while (pos < text_.size()) {
      // In UTF-8 the library skips byte-order marks and two other non-characters as blanks.
      if (stepping == Stepping::kUtf8 && (StartsWith(pos, "\xEF\xBB\xBF") ||
                                          StartsWith(pos, "\xEF\xBF\xBE") ||
                                          StartsWith(pos, "\xEF\xBF\xBF"))) {
        pos += 3;
      } else if (IsSpace(Byte(pos))) {
        ++pos;
      } else {
        break;
      }
    }
    return pos;
  }

  // After the closing `quote` of a value that starts at `pos`.
  size_t SkipQuoted(size_t pos, char quote, Stepping stepping) const {
    while (pos < text_.size() && text_[pos] != quote) pos += Step(pos, stepping);
    return std::min(pos + 1, text_.size());
  }

  // One attribute "name = value" from `pos`, the value quoted or not.
  size_t SkipAttribute(size_t pos, Stepping stepping) const {
    const size_t end = text_.size();
    const size_t name = pos;
    while (pos < end && IsNameByte(Byte(pos))) ++pos;
    if (pos == name) return pos + 1;  // the library gives up here
    pos = SkipSpace(pos, stepping);
    if (pos >= end || text_[pos] != '=') return pos;
    pos = SkipSpace(pos + 1, stepping);
    if (pos >= end) return end;
    if (text_[pos] == '"' || text_[pos] == '\'') return SkipQuoted(pos + 1, text_[pos], stepping);
    while (pos < end && !IsSpace(Byte(pos)) && text_[pos] != '/' && text_[pos] != '>') ++pos;
    return pos;
  }

  // After the ">" of an element's start tag whose name begins at `pos`; `empty` tells "/>".
  size_t SkipElementTag(size_t pos, Stepping stepping, bool* empty) const {
    const size_t end = text_.size();
    while (pos < end && IsNameByte(Byte(pos))) ++pos;
    while (pos < end) {
      pos = SkipSpace(pos, stepping);
      if (pos >= end) break;
      if (text_[pos] == '>') return pos + 1;
      if (text_[pos] == '/') {
        if (pos + 1 < end && text_[pos + 1] == '>') {
          *empty = true;
          return pos + 2;
        }
        ++pos;
        continue;
      }
      pos = SkipAttribute(pos, stepping);
    }
    return end;
  }

  // After a declaration whose "<?xml" ends before `pos`. Only its version, encoding and
  // standalone attributes are read as attributes; anything else is passed over to the next blank.
  size_t SkipDeclaration(size_t pos, Stepping stepping) const {
    const size_t end = text_.size();
    while (pos < end) {
      if (text_[pos] == '>') return pos + 1;
      pos = SkipSpace(pos, stepping);
      if (pos >= end) break;
      if (StartsWithIgnoringCase(pos, "version") || StartsWithIgnoringCase(pos, "encoding") ||
          StartsWithIgnoringCase(pos, "standalone")) {
        pos = SkipAttribute(pos, stepping);
      } else {
        while (pos < end && text_[pos] != '>' && !IsSpace(Byte(pos))) ++pos;
      }
    }
    return end;
  }

  const std::string& text_;
  const size_t limit_;
};

// The whole content of the regular file at `path`. Anything else (a folder, a FIFO, which would
// block) and a read error fail.
Result ReadRegularFile(const std::string& path, std::string& content) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Result::FromErrno(path, errno);
  struct stat status;
  Result loaded = Result::Success();
  if (fstat(fd, &status) != 0) {
    loaded = Result::FromErrno(path, errno);
  } else if (!S_ISREG(status.st_mode)) {
    loaded = Result::Failure(path, "not a regular file");
  } else {
    content.clear();
    content.reserve(static_cast<size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t count = read(fd, buffer, sizeof buffer);
      if (count == 0) break;
      if (count < 0) {
        loaded = Result::FromErrno(path, errno);
        break;
      }
      content.append(buffer, static_cast<size_t>(count));
    }
  }
  close(fd);
  return loaded;
}

// What the library's LoadFile does to a file's bytes before it parses them: the text ends at the
// first NUL, and CR LF and lone CR become LF.
void NormalizeLineEnds(std::string& text) {
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  size_t in = text.find('\r');
  if (in == std::string::npos) return;
  // MDK writes CR LF: the text between two CRs moves down as a whole.
  size_t out = in;
  while (in < text.size()) {
    text[out++] = '\n';
    if (++in < text.size() && text[in] == '\n') ++in;
    size_t next = text.find('\r', in);
    if (next == std::string::npos) next = text.size();
    std::memmove(&text[out], text.data() + in, next - in);
    out += next - in;
    in = next;
  }
  text.resize(out);
}

}  // namespace

size_t XmlNestingDepth(const std::string& text, size_t limit) {
  return NestingScanner(text, limit).Deepest();
}

Result LoadXmlFile(const std::string& path, TiXmlDocument& document) {
  std::string text;
  Result loaded = ReadRegularFile(path, text);
  if (!loaded) return loaded;
  NormalizeLineEnds(text);
  if (text.empty()) return Result::Failure(path, "empty");
  if (XmlNestingDepth(text, kMaxXmlDepth) > kMaxXmlDepth) {
    return Result::Failure(path, "elements nested deeper than " + std::to_string(kMaxXmlDepth));
  }
  text.append(kReadAheadPadding, '\0');
  document.Clear();
  // No row and column is kept per node: no message names one, and keeping them costs a
  // tenth of the parse.
  document.SetTabSize(0);
  document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (document.Error()) return Result::Failure(path, document.ErrorDesc());
  return Result::Success();
}

Result SaveXmlFile(const TiXmlDocument& document, const std::string& path) {
  // The library prints to a stream only; it prints into memory here, so that the file is written
  // the one way every file is written.
  char* buffer = nullptr;
  size_t size = 0;
  FILE* memory = open_memstream(&buffer, &size);
  if (memory == nullptr) return Result::FromErrno(path, errno);
  const bool printed = document.SaveFile(memory);
  const bool closed = std::fclose(memory) == 0;
  const std::string text = buffer != nullptr ? std::string(buffer, size) : std::string();
  std::free(buffer);
  if (!printed || !closed) return Result::FromErrno(path, ENOMEM);
  return WriteWholeFile(path, text);
}
