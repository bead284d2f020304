// Finding a path on disk when the letter case on disk differs from the case it was written in.
#include "fs/case_match.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
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

// Fills `names` with the names in `folder` equal to `name` when case is ignored; at most two are
// collected, as two already make the match ambiguous.
Result NamesIgnoringCase(const std::string& folder, const std::string& name,
                         std::vector<std::string>* names) {
  const std::string shown = folder.empty() ? "." : folder;
  DIR* dir = opendir(shown.c_str());
  if (dir == nullptr) {
    // A file, or nothing, where a folder was written holds no match; it is no failure.
    if (errno == ENOTDIR || errno == ENOENT) return Result::Success();
    return Result::FromErrno(shown, errno);
  }
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    if (EqualIgnoringCase(entry->d_name, name)) {
      names->push_back(entry->d_name);
      if (names->size() == 2) break;
    }
  }
  const int error = names->size() == 2 ? 0 : errno;
  closedir(dir);
  if (error != 0) return Result::FromErrno(shown, error);
  return Result::Success();
}

}  // namespace

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

Result ResolveIgnoringCase(const std::string& base, const std::string& relative,
                           CaseResolution* found) {
  *found = CaseResolution();
  const bool absolute = !relative.empty() && relative[0] == '/';
  const std::string start = absolute ? "/" : base;
  std::vector<std::string> segments;
  for (size_t from = 0; from <= relative.size();) {
    size_t slash = relative.find('/', from);
    if (slash == std::string::npos) slash = relative.size();
    if (slash > from) segments.push_back(relative.substr(from, slash - from));
    from = slash + 1;
  }

  std::string current = start;
  std::string corrected = absolute ? "/" : "";
  bool changed = false;
  for (const std::string& segment : segments) {
    std::string name = segment;
    if (segment != "." && segment != ".." && !Exists(Join(current, segment))) {
      std::vector<std::string> names;
      const Result listed = NamesIgnoringCase(current, segment, &names);
      if (!listed) return listed;
      if (names.empty()) return Result::Success();
      if (names.size() > 1) {
        found->match = CaseMatch::kAmbiguous;
        return Result::Success();
      }
      name = names[0];
      changed = true;
    }
    current = Join(current, name);
    corrected = Join(corrected, name);
  }
  // "." and ".." were taken unchecked.
  if (!Exists(current.empty() ? "." : current)) return Result::Success();
  found->match = changed ? CaseMatch::kIgnoringCase : CaseMatch::kExact;
  found->relative = corrected;
  found->path = absolute ? corrected : Join(base, corrected);
  return Result::Success();
}
