// Paths as MDK project files write them: separators, absolute forms and parent steps.
#include "mdk/mdk_path.h"

#include <algorithm>
#include <cctype>

namespace {

// The extension of the last segment of `path`, in lower case; "" when it has none.
std::string LowerExtension(const std::string& path) {
  const std::string::size_type slash = path.find_last_of("/\\");
  const std::string::size_type dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

std::string ToForwardSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool IsAbsoluteMdkPath(const std::string& path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::vector<std::string> NormalizedSegments(const std::string& path) {
  // Read in place: a path of many "." steps keeps none of them.
  std::vector<std::string> segments;
  for (size_t from = 0; from <= path.size();) {
    size_t slash = path.find('/', from);
    if (slash == std::string::npos) slash = path.size();
    const size_t size = slash - from;
    const bool dot = size == 1 && path[from] == '.';
    const bool parent = size == 2 && path[from] == '.' && path[from + 1] == '.';
    if (parent && !segments.empty() && segments.back() != "..") {
      // A name followed by ".." cancels out; a ".." with nothing left to cancel climbs.
      segments.pop_back();
    } else if (size > 0 && !dot) {
      segments.emplace_back(path, from, size);
    }
    from = slash + 1;
  }
  return segments;
}

std::string JoinSegments(const std::vector<std::string>& segments) {
  std::string joined;
  for (const std::string& segment : segments) {
    if (!joined.empty()) joined += '/';
    joined += segment;
  }
  return joined;
}

bool IsCompiledSourceName(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return extension == "c" || extension == "cpp" || extension == "cc" || extension == "cxx" ||
         extension == "c++";
}

bool IsAssemblerSourceName(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return extension == "s" || extension == "asm";
}

bool IsHeaderName(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return extension == "h" || extension == "hpp" || extension == "hh" || extension == "hxx";
}

bool IsStartupFileName(const std::string& path) {
  constexpr char kPrefix[] = "startup";
  const std::string::size_type slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  if (name.size() < sizeof kPrefix - 1) return false;
  for (size_t i = 0; i + 1 < sizeof kPrefix; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != kPrefix[i]) return false;
  }
  return true;
}
