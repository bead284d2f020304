// Taking the target's paths as the disk spells them where only the letter case differs, as
// Windows, where MDK ran, never noticed.
#pragma once

#include <string>
#include <vector>

#include "mdk/project_info.h"

/// One path of the target that the model now spells as the disk does.
struct CaseCorrection {
  std::string written;  // as the MDK file writes it
  std::string onDisk;   // as the model now holds it, with "/"
};

/// Corrects the letter case of `project`'s paths, relative to `mdkFolder`:
/// - each FilePath of a group (C and C++ files and the other types) that names no file as written
///   ("\" read as "/"), but names exactly one regular file when case is ignored segment by
///   segment, becomes the on-disk spelling with "/", and a FileName that differs from the new
///   last segment only in case becomes that segment, so the file is linked (or built in the
///   project folder) under the name it has on disk;
/// - each include path likewise, a folder: the "../" that the reader put before a relative one
///   is taken off for the look-up and put back.
/// An absolute path with a drive letter, a path that exists as written and one that matches
/// several entries or none are left as they are. Returns the corrections, each once, FilePaths
/// in model order, then include paths (`written` is the FilePath as the MDK file has it, or the
/// include path without the reader's "../"). Reads folders only; changes nothing on disk; prints
/// nothing.
std::vector<CaseCorrection> CorrectLetterCase(ProjectInfo& project, const std::string& mdkFolder);

/// "Case corrected: <written> -> <on disk>" for each correction, in order.
std::vector<std::string> CaseCorrectionLines(const std::vector<CaseCorrection>& corrections);
