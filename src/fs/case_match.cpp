// Finding a path on disk when the letter case on disk differs from the case it was written in.
#include "fs/case_match.h"

#include <dirent.h>
#include <sys/stat.h>

#include <vector>

namespace {

bool Exists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The names in `folder` equal to `name` when case is ignored; at most two are collected, as two
// already make the match ambiguous.
std::vector<std::string> NamesIgnoringCase(const std::string& folder, const std::string& name) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    if (EqualIgnoringCase(entry->d_name, name)) {
      names.push_back(entry->d_name);
      if (names.size() == 2) break;
    }
  }
  closedir(dir);
  return names;
}

}  // namespace

CaseResolution ResolveIgnoringCase(const std::string& base, const std::string& relative) {
  const bool absolute = !relative.empty() && relative[0] == '/';
  const std::string start = absolute ? "/" : base;
  std::vector<std::string> segments;
  for (size_t from = 0; from <= relative.size();) {
    size_t slash = relative.find('/', from);
    if (slash == std::string::npos) slash = relative.size();
    if (slash > from) segments.push_back(relative.substr(from, slash - from));
    from = slash + 1;
  }

  CaseResolution result;
  std::string current = start;
  std::string corrected = absolute ? "/" : "";
  bool changed = false;
  for (const std::string& segment : segments) {
    std::string name = segment;
    if (segment != "." && segment != ".." && !Exists(Join(current, segment))) {
      const std::vector<std::string> names = NamesIgnoringCase(current, segment);
      if (names.empty()) return result;
      if (names.size() > 1) {
        result.match = CaseMatch::kAmbiguous;
        return result;
      }
      name = names[0];
      changed = true;
    }
    current = Join(current, name);
    corrected = Join(corrected, name);
  }
  // "." and ".." were taken unchecked.
  if (!Exists(current.empty() ? "." : current)) return result;
  result.match = changed ? CaseMatch::kIgnoringCase : CaseMatch::kExact;
  result.relative = corrected;
  result.path = absolute ? corrected : Join(base, corrected);
  return result;
}
