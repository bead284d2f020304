// What of a target's ARM Compiler code the generated project ports for GCC, decided from what the
// check before the first build saw, and the text of the files that port it.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "check/port_table.h"

/// The port's files, in its folder of the project.
inline constexpr char kCompatibilityHeaderName[] = "armcc_compat.h";
inline constexpr char kLibraryBridgeName[] = "armcc_retarget.c";
inline constexpr char kForwardingFolderName[] = "include";
/// The folder's name when no entry of the project has it; else "_2", "_3"... is added.
inline constexpr char kPortFolderName[] = "gcc_port";

/// The port keys of the findings the C library bridge can take off the list, besides the hooks
/// (fputc, fgetc, _sys_exit) themselves.
inline constexpr char kFileStructKey[] = "__FILE";
inline constexpr char kImportPragmaKey[] = "#pragma import";

/// How many places of one file and line, counted once each.
class PlaceCount {
 public:
  /// Counts the place unless it is the one counted last (places arrive file by file, in line
  /// order within a file).
  void Add(size_t file, int line);
  int count() const { return count_; }

 private:
  int count_ = 0;
  size_t lastFile_ = static_cast<size_t>(-1);
  int lastLine_ = 0;
};

/// What the check learnt that the port decides on. Filled while the check runs, one file at a time.
struct PortEvidence {
  struct Construct {
    PlaceCount places;
    bool everyUseAccepted = true;
  };
  struct CaseInclude {
    std::string diskPath;  // the file the include means, as found ignoring case
    PlaceCount places;
    bool portable = true;  // false when the same name means two files, or an assembler file uses it
  };

  /// The uses of the keywords and intrinsics, by name.
  std::map<std::string, Construct> constructs;
  /// The places of the C library's retargeting the check lists, by port key ("fputc", "fgetc",
  /// "_sys_exit", kFileStructKey, kImportPragmaKey).
  std::map<std::string, PlaceCount> retargeting;
  /// The hooks and system calls the target defines (see ArmCodeScanner::definedFunctions).
  std::set<std::string> definedFunctions;
  /// Every name a scanned file or a target define defines as a macro.
  std::set<std::string> macroNames;
  /// The includes found only when case is ignored, by the name as written.
  std::map<std::string, CaseInclude> caseIncludes;

  /// Notes one use of the keyword or intrinsic `name` in the file counted as `file`.
  void AddUse(size_t file, int line, const std::string& name, const UseContext& context);
};

/// What the generated project ports. Empty when nothing is.
struct PortPlan {
  std::vector<const PortRow*> header;  // the rows the compatibility header defines, in table order
  bool bridgeWrite = false;            // _write through the target's fputc
  bool bridgeRead = false;             // _read through its fgetc
  bool bridgeExit = false;             // _exit through its _sys_exit
  bool bridgeIsatty = false;           // _isatty, so that newlib buffers the console by line
  /// The forwarding headers: the name as written, and the file it includes.
  std::vector<std::pair<std::string, std::string>> forwards;
  /// The port keys of the findings that leave the list.
  std::set<std::string> portedKeys;
  /// "Ported for GCC: <construct>, <n> places: <file>", one per construct.
  std::vector<std::string> lines;

  bool empty() const { return portedKeys.empty(); }
  bool bridges() const { return bridgeWrite || bridgeRead || bridgeExit; }
};

/// Decides the port from `evidence`: a row of the table for a construct that the code uses, that
/// no macro defines and whose every use the row accepts; the C library bridge for each hook the
/// target defines (fputc, fgetc, _sys_exit) whose system call (_write, _read, _exit) it does not
/// define, and then struct __FILE and #pragma import leave the list as well; a forwarding header
/// for each include found only when case is ignored, named as written below a relative path
/// without "..", meaning one file and used by no assembler file. The lines name the files below
/// `folder`, the port folder's path in the project. Pure.
PortPlan PlanPort(const PortEvidence& evidence, const std::string& folder);

/// The compatibility header of `plan`: each row's definition between "#ifndef <name>" and "#endif".
std::string CompatibilityHeaderText(const PortPlan& plan);

/// The C source of `plan`'s bridge from newlib's system calls to the target's hooks.
std::string LibraryBridgeText(const PortPlan& plan);

/// A forwarding header that includes `target`, a path relative to the header's folder.
std::string ForwardingHeaderText(const std::string& target);
