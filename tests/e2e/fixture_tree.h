// Fixture trees for the end-to-end tests: an MDK project, an IDE template and a BSP, written small.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

/// A minimal MDK project file for `device`, with one group holding the given C file paths.
std::string MdkProjectXml(const std::string& device, const std::vector<std::string>& cFiles = {});

/// Writes a template (".project", ".cproject", "preferences.ini", and "ldscripts" with the script
/// of a QM26R620AVGT7) to `folder`.
void WriteTemplate(const std::string& folder);

/// Writes a BSP series folder for `model` below `seriesFolder`: the startup file `startupFile` in
/// the GCC startup folder of `core`, and linker scripts for the codes in `codes`.
void WriteBspSeries(const std::string& seriesFolder, const std::string& core,
                    const std::string& model, const std::string& startupFile,
                    const std::string& codes);

/// The banner every run prints first.
std::vector<std::string> BannerLines();

/// `lines` split into those that start with "Successfully to copy file: " (as a set) and the rest.
struct SplitOutput {
  std::vector<std::string> otherLines;
  std::multiset<std::string> copyLines;
};
SplitOutput SeparateCopyLines(const std::string& out);

/// Every entry below `root` with its content (a folder as "<dir>", a symbolic link as "<link> "
/// and its target, anything else that is not a regular file as "<special>"), leaving out what lies below `skip` (a path relative to `root`, or "").
std::map<std::string, std::string> Snapshot(const std::string& root, const std::string& skip = "");
