// The check before the first build: what in the sources the IDE builds, and the headers they
// include, GCC will reject or ignore where the ARM Compiler took it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "check/gcc_port.h"

/// What the first line of an ARM-syntax assembler file that the IDE leaves out says.
inline constexpr char kArmSyntaxAssemblerText[] =
    "MDK assembles this ARM-syntax file; the IDE does not build it: a GNU-syntax version is needed";
/// What a prebuilt library or object file of the target says.
inline constexpr char kPrebuiltLibraryText[] =
    "prebuilt ARM Compiler library: the IDE does not link it, and GNU ld may not take it; rebuild "
    "it with GCC";
inline constexpr char kPrebuiltObjectText[] =
    "prebuilt ARM Compiler object file: the IDE does not link it, and GNU ld may not take it; "
    "rebuild it with GCC";
/// Files larger than this are not scanned.
inline constexpr uint64_t kMaxCheckedFileSize = 4 * 1024 * 1024;

/// How a file of the check is looked at.
enum class CheckKind {
  kBuiltSource,       // the IDE builds it: scanned, with the headers it includes
  kLeftOutAssembler,  // MDK assembles it, the IDE leaves it out: checked for ARM syntax only
  kPrebuiltLibrary,   // named, unread
  kPrebuiltObject,    // named, unread
};

struct CheckedSource {
  std::string shownPath;  // as the IDE shows it
  std::string diskPath;
  CheckKind kind = CheckKind::kBuiltSource;
};

struct BuildCheckInput {
  /// In the order of the report.
  std::vector<CheckedSource> sources;
  /// The include folders on disk, in the order GCC searches them.
  std::vector<std::string> includeFolders;
  /// The target's defines: "NAME", "NAME=value".
  std::vector<std::string> defines;
  /// The path a header found on disk is shown by (it gets the disk path with "." and "x/.."
  /// steps taken out); when empty, the disk path itself.
  std::function<std::string(const std::string& diskPath)> showPath;
  /// The pack MDK took the target's device files from (TargetCommonOption/PackID); "" for none.
  std::string packId;
  /// The port folder's path in the project, as the lines of the port name its files.
  std::string portFolder = kPortFolderName;
};

/// What the check found: the lines to print, and what the project ports for GCC.
struct BuildCheckReport {
  std::vector<std::string> lines;
  PortPlan port;
};

/// The lines of the check, for the caller to print, in this order: for each source in turn, the
/// source, then each header it reaches that no earlier file reached, depth first in the order of
/// the includes (each file, source or header, is scanned once, the first time it is met); for
/// each file, first a line for a file that could not be checked, then its findings in line
/// order, one per line:
///   "Check before building: <shown path>:<line>: <finding>"
///   "Check before building: <shown path>: not checked: larger than 4 MiB" (also "not checked:
///   not a text file" and "not checked: cannot be read (<system reason>)")
///   "Check before building: <shown path>: prebuilt ARM Compiler library: ..."
///   (kPrebuiltLibraryText, kPrebuiltObjectText)
/// and last, when there was at least one such line, "<n> places to check before the first build."
/// ("1 place to check before the first build." for one).
/// A kLeftOutAssembler file is reported on its line 1 (kArmSyntaxAssemblerText) when a line of it
/// shows ARM syntax, and read up to that line. A keyword that any scanned file, or a target
/// define, defines as a macro in a branch GCC takes is reported nowhere in the run.
/// Includes are searched as GCC searches them: a quoted one in the including file's folder first,
/// then in `includeFolders`; an angled one only there. One found nowhere is not followed, and is
/// reported on its line unless it is a header of GCC or newlib, naming `packId` when there is one
/// (in each file that includes it: GCC stops at the first). One written with "\" is reported on
/// its line, naming the file it means when "/" finds one, and that file is scanned. One that is
/// found only when letter case is ignored (in exactly one way within a
/// folder, searched in the same order) is reported on its line, naming the file it would find,
/// and that file is scanned. A header is scanned in the language of the source that reached it
/// first. Macros a source defines end with it; those of headers last for the rest of the run.
/// What PlanPort decides from the uses, definitions and case-only includes the check saw is
/// returned with the lines, and the findings it ports are left out of them and of their count.
/// Reads each file once, one line at a time, and keeps none in memory; prints nothing.
BuildCheckReport CheckBeforeBuilding(const BuildCheckInput& input);
