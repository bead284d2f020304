// Finding a path on disk when the letter case on disk differs from the case it was written in.
#include "fs/case_match.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>

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

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
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

const CaseResolver::Listing& CaseResolver::ListingOf(const std::string& folder) {
  const auto known = listings_.find(folder);
  if (known != listings_.end()) return known->second;
  Listing& listing = listings_[folder];
  const std::string shown = folder.empty() ? "." : folder;
  DIR* dir = opendir(shown.c_str());
  if (dir == nullptr) {
    // A file, or nothing, where a folder was written holds no match; it is no failure.
    if (errno != ENOTDIR && errno != ENOENT) listing.listed = Result::FromErrno(shown, errno);
    return listing;
  }
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    std::vector<std::string>& names = listing.byLowerCase[LowerCase(entry->d_name)];
    if (names.size() < 2) names.push_back(entry->d_name);
  }
  const int error = errno;
  closedir(dir);
  if (error != 0) {
    listing.byLowerCase.clear();
    listing.listed = Result::FromErrno(shown, error);
  }
  return listing;
}

bool CaseResolver::ListsExactly(const std::string& folder, const std::string& name) {
  const Listing& listing = ListingOf(folder);
  if (!listing.listed) return false;
  const auto names = listing.byLowerCase.find(LowerCase(name));
  if (names == listing.byLowerCase.end()) return false;
  for (const std::string& entry : names->second) {
    if (entry == name) return true;
  }
  return false;
}

Result CaseResolver::Resolve(const std::string& base, const std::string& relative,
                             CaseResolution* found) {
  *found = CaseResolution();
  const bool absolute = !relative.empty() && relative[0] == '/';
  std::string current = absolute ? "/" : base;
  std::string corrected = absolute ? "/" : "";
  bool changed = false;
  // Each segment is appended in place, so that a path of many steps costs its length once.
  const auto append = [](std::string& path, const char* name, size_t size) {
    if (!path.empty() && path.back() != '/') path += '/';
    path.append(name, size);
  };
  for (size_t from = 0; from <= relative.size();) {
    size_t slash = relative.find('/', from);
    if (slash == std::string::npos) slash = relative.size();
    const std::string segment = relative.substr(from, slash - from);
    from = slash + 1;
    if (segment.empty()) continue;
    const size_t end = current.size();
    append(current, segment.data(), segment.size());
    // The system names nothing by a path this long, whatever its steps.
    if (current.size() >= PATH_MAX) return Result::Success();
    if (segment == "." || segment == ".." || Exists(current)) {
      append(corrected, segment.data(), segment.size());
      continue;
    }
    current.resize(end);
    const Listing& listing = ListingOf(current);
    if (!listing.listed) return listing.listed;
    const auto names = listing.byLowerCase.find(LowerCase(segment));
    if (names == listing.byLowerCase.end()) return Result::Success();
    if (names->second.size() > 1) {
      found->match = CaseMatch::kAmbiguous;
      return Result::Success();
    }
    const std::string& name = names->second[0];
    append(current, name.data(), name.size());
    append(corrected, name.data(), name.size());
    changed = true;
  }
  // "." and ".." were taken unchecked.
  if (!Exists(current.empty() ? "." : current)) return Result::Success();
  found->match = changed ? CaseMatch::kIgnoringCase : CaseMatch::kExact;
  found->relative = corrected;
  found->path = absolute ? corrected : Join(base, corrected);
  return Result::Success();
}
