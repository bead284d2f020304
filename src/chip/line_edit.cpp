// Finding and replacing lines of text files, counted from 0.
#include "chip/line_edit.h"

#include <cerrno>
#include <fstream>

#include "fs/file_write.h"

namespace {

// Opens `path` for reading into `in`; fails with the system's reason when it cannot.
Result OpenForReading(const std::string& path, std::ifstream& in) {
  errno = 0;
  in.open(path, std::ios::binary);
  if (in.is_open()) return Result::Success();
  return Result::FromErrno(path, errno != 0 ? errno : EIO);
}

}  // namespace

Result FindLineContaining(const std::string& path, const std::string& pattern, int32_t* index) {
  *index = -1;
  std::ifstream in;
  Result opened = OpenForReading(path, in);
  if (!opened) return opened;
  std::string line;
  for (int32_t at = 0; std::getline(in, line); ++at) {
    if (line.find(pattern) != std::string::npos) {
      *index = at;
      return Result::Success();
    }
  }
  if (in.bad()) return Result::FromErrno(path, EIO);
  return Result::Success();
}

Result CountLines(const std::string& path, int32_t* count) {
  *count = 0;
  std::ifstream in;
  Result opened = OpenForReading(path, in);
  if (!opened) return opened;
  std::string line;
  while (std::getline(in, line)) ++*count;
  if (in.bad()) return Result::FromErrno(path, EIO);
  return Result::Success();
}

Result ReplaceLine(const std::string& path, int32_t lineIndex, const std::string& text) {
  std::ifstream in;
  Result opened = OpenForReading(path, in);
  if (!opened) return opened;
  std::string content;
  std::string line;
  for (int32_t at = 0; std::getline(in, line); ++at) {
    content += at == lineIndex ? text : line;
    content += '\n';
  }
  // A read error part-way would drop the rest of the file; keep the file as it is instead.
  if (in.bad()) return Result::FromErrno(path, EIO);
  in.close();
  return WriteWholeFile(path, content);
}
