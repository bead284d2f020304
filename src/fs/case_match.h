// Finding a path on disk when the letter case on disk differs from the case it was written in.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "fs/result.h"

/// How a written path matched the entries on disk.
enum class CaseMatch {
  kExact,         // it exists as written
  kIgnoringCase,  // it exists only in other letter case, and in exactly one way
  kAmbiguous,     // a segment matches two or more entries of its folder when case is ignored
  kNone,          // nothing matches, even when case is ignored
};

struct CaseResolution {
  CaseMatch match = CaseMatch::kNone;
  /// The written relative path with each segment spelt as on disk, joined with "/"; "" for
  /// kAmbiguous and kNone.
  std::string relative;
  /// `relative` below the base folder (just `relative` when the base is "" or `relative` is
  /// absolute); "" for kAmbiguous and kNone.
  std::string path;
};

/// True when `a` and `b` are equal once ASCII letters are taken in one case; other bytes must be
/// equal as they are.
bool EqualIgnoringCase(const std::string& a, const std::string& b);

/// Resolves written paths below folders when letter case may differ from the disk's. Each folder
/// it has to search is listed once, the first time, for every path resolved through the same
/// object: a target names many files of few folders. The folders are taken not to change while
/// it lives.
class CaseResolver {
 public:
  /// Resolves `relative` (segments separated by "/") below the folder `base`, one segment at a
  /// time: a segment that exists as written is taken as it is; otherwise the one entry of its
  /// folder whose name equals it when ASCII letter case is ignored. An absolute `relative` starts
  /// at "/", and an empty `base` means the working folder. "." and ".." segments are taken as
  /// written; empty segments are dropped. Existence follows links; a path as long as the
  /// system's limit (PATH_MAX) or longer names nothing. Fills `found`; fails, naming the folder,
  /// when a folder that has to be listed cannot be for another reason than that it is no folder
  /// (`found` is then kNone). Reads folders only; prints nothing.
  Result Resolve(const std::string& base, const std::string& relative, CaseResolution* found);

  /// Whether the listing of `folder` ("" for the working folder), made once as for Resolve, has
  /// an entry named exactly `name`; false also when it cannot be listed, or when the name shares
  /// its letters with two other entries (the listing keeps two of them).
  bool ListsExactly(const std::string& folder, const std::string& name);

 private:
  struct Listing {
    Result listed;
    // Each name of the folder by its lower-case form; two are kept at most, as two already make
    // a match ambiguous.
    std::unordered_map<std::string, std::vector<std::string>> byLowerCase;
  };
  const Listing& ListingOf(const std::string& folder);

  std::unordered_map<std::string, Listing> listings_;
};
