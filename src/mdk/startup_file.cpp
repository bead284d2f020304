// The target's own startup file: which file it is, and the stack and heap it reserves.
#include "mdk/startup_file.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "fs/text_lines.h"
#include "mdk/mdk_path.h"

namespace {

constexpr int kAssemblerFileType = 2;
constexpr char kNoStartupFile[] = "the MDK target has no startup file";
// Startup files are a few hundred lines; a larger file is not one.
constexpr uint64_t kMaxStartupFileSize = 4 * 1024 * 1024;
constexpr uint64_t kMaxSize = 0xFFFFFFFFull;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The next run of non-blank characters of `text` from `at`, which moves past it.
std::string NextWord(const std::string& text, std::string::size_type* at) {
  while (*at < text.size() && IsBlank(text[*at])) ++*at;
  const std::string::size_type begin = *at;
  while (*at < text.size() && !IsBlank(text[*at])) ++*at;
  return text.substr(begin, *at - begin);
}

bool IsEqu(const std::string& word) {
  return word.size() == 3 && std::toupper(static_cast<unsigned char>(word[0])) == 'E' &&
         std::toupper(static_cast<unsigned char>(word[1])) == 'Q' &&
         std::toupper(static_cast<unsigned char>(word[2])) == 'U';
}

}  // namespace

std::string TargetStartupFile(const ProjectInfo& project) {
  for (const SourceGroup& group : project.groups) {
    for (const SourceFile& file : group.otherFiles) {
      const std::string path = ToForwardSlashes(file.filePath);
      if (file.includeInBuild && file.fileType == kAssemblerFileType && IsStartupFileName(path)) {
        return path;
      }
    }
  }
  return project.rteStartupFile;
}

bool ParseEquLine(std::string_view line, const std::string& symbol, std::string* value) {
  // Everything after ";" is a comment.
  const std::string code(line.substr(0, line.find(';')));
  std::string::size_type at = 0;
  if (NextWord(code, &at) != symbol || !IsEqu(NextWord(code, &at))) return false;
  std::string::size_type begin = at;
  while (begin < code.size() && IsBlank(code[begin])) ++begin;
  std::string::size_type end = code.size();
  while (end > begin && IsBlank(code[end - 1])) --end;
  *value = code.substr(begin, end - begin);
  return true;
}

bool ParseSizeValue(const std::string& value, uint64_t* bytes) {
  const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
  const std::string digits = hex ? value.substr(2) : value;
  if (digits.empty()) return false;
  for (char c : digits) {
    const unsigned char digit = static_cast<unsigned char>(c);
    if (!(hex ? std::isxdigit(digit) : std::isdigit(digit))) return false;
  }
  errno = 0;
  const unsigned long long number = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno == ERANGE || number > kMaxSize) return false;
  *bytes = number;
  return true;
}

StartupSizes ReadStartupSizes(const ProjectInfo& project, const std::string& mdkFolder) {
  StartupSizes sizes;
  sizes.file = TargetStartupFile(project);
  if (sizes.file.empty()) {
    sizes.stack.read = sizes.heap.read = Result::Failure("", kNoStartupFile);
    return sizes;
  }
  std::string stackValue;
  std::string heapValue;
  bool stackFound = false;
  bool heapFound = false;
  const std::string path =
      IsAbsoluteMdkPath(sizes.file) ? sizes.file : mdkFolder + "/" + sizes.file;
  const Result read = ReadTextLines(path, kMaxStartupFileSize, [&](std::string_view line) {
    if (!stackFound) stackFound = ParseEquLine(line, kStackSizeSymbol, &stackValue);
    if (!heapFound) heapFound = ParseEquLine(line, kHeapSizeSymbol, &heapValue);
    return !(stackFound && heapFound);
  });
  if (!read) {
    sizes.stack.read = sizes.heap.read = Result::Failure(sizes.file, read.reason());
    return sizes;
  }
  const auto take = [&sizes](const char* symbol, bool found, const std::string& value,
                             StartupSize* size) {
    if (!found) {
      size->read = Result::Failure(sizes.file, std::string("no ") + symbol + " EQU");
    } else if (!ParseSizeValue(value, &size->bytes)) {
      size->read = Result::Failure(sizes.file, std::string(symbol) + " EQU " + value +
                                                   " is not a number");
    } else {
      size->read = Result::Success();
    }
  };
  take(kStackSizeSymbol, stackFound, stackValue, &sizes.stack);
  take(kHeapSizeSymbol, heapFound, heapValue, &sizes.heap);
  return sizes;
}
