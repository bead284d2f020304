// Finding and replacing lines of text files, counted from 0.
#include "chip/line_edit.h"

#include <cerrno>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

// True only when nothing exists at `path`: a file that exists but cannot be read must not be
// mistaken for a missing one and overwritten.
bool IsMissing(const char* path) {
  struct stat status;
  return stat(path, &status) != 0 && errno == ENOENT;
}

// False when the file cannot be opened or any byte of `content` fails to reach it, also at the
// close, where a full disk may show first.
bool WriteWholeFile(const char* path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  return !out.fail();
}

}  // namespace

int32_t FindLineContaining(const char* path, const char* pattern) {
  if (path == nullptr || pattern == nullptr) return -1;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int32_t index = 0; std::getline(in, line); ++index) {
    if (line.find(pattern) != std::string::npos) return index;
  }
  return -1;
}

bool ReplaceLine(const char* path, int32_t lineIndex, const char* text) {
  if (path == nullptr || text == nullptr) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return IsMissing(path) && WriteWholeFile(path, "");
  std::string content;
  std::string line;
  for (int32_t index = 0; std::getline(in, line); ++index) {
    content += index == lineIndex ? std::string(text) : line;
    content += '\n';
  }
  // A read error part-way would drop the rest of the file; keep the file as it is instead.
  if (in.bad()) return false;
  in.close();
  return WriteWholeFile(path, content);
}
