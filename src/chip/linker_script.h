// Reducing the project's "ldscripts" folder to the chip's script and writing into it the memory the
// MDK target linked with: its FLASH and RAM lines, its smallest stack and heap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fs/result.h"
#include "mdk/project_info.h"
#include "mdk/startup_file.h"

/// The project's folder of linker scripts, below the project folder.
constexpr char kLinkerScriptFolder[] = "ldscripts";

/// "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = <length>" with the low 32 bits of `origin`; the
/// length in KiB ("1024K") when it is a whole number of them, else in bytes ("0x1F80").
std::string FormatFlashLine(uint64_t origin, uint64_t lengthBytes);

/// "RAM (xrw)       : ORIGIN = 0x%08X, LENGTH = <length>", with the numbers as FormatFlashLine
/// writes them.
std::string FormatRamLine(uint64_t origin, uint64_t lengthBytes);

/// "<symbol> = 0x<bytes in upper-case hexadecimal>;" ("_Min_Stack_Size = 0x800;").
std::string FormatSizeLine(const std::string& symbol, uint64_t bytes);

/// The symbols of the smallest stack and heap in the chip's linker script.
constexpr char kMinStackSymbol[] = "_Min_Stack_Size";
constexpr char kMinHeapSymbol[] = "_Min_Heap_Size";

/// The length of the FLASH region of `project`: the region its MDK target names, else the chip's
/// whole flash.
uint64_t FlashLengthOf(const ProjectInfo& project);

/// What reducing a linker-script folder did.
struct [[nodiscard]] LinkerScriptUpdate {
  Result folder;                   // fails when the folder cannot be opened: nothing was touched
  std::vector<Result> notDeleted;  // each other script that could not be deleted, in listing order
  Result script;                   // fails, naming the expected path, when the folder lacks it
  Result written;                  // fails when the chip's script could not be read or rewritten
  std::string scriptName;          // the chip's script, below the folder
  bool stackWritten = false;       // its kMinStackSymbol line now holds the target's stack size
  bool heapWritten = false;        // its kMinHeapSymbol line now holds the target's heap size
};

/// Deletes every regular file of `folder` except the chip's linker script (links and folders are
/// never touched), then rewrites lines of that script with the memory the MDK target linked with:
/// - unless the target links with a scatter file of its own (OwnScatterFile), the first line
///   holding "FLASH (rx)" becomes the FLASH line of `project`, and, when the target names a RAM
///   region it can read, the first line holding "RAM (xrw)" its RAM line;
/// - the first line holding "_Min_Stack_Size =" and the first holding "_Min_Heap_Size =" become
///   the sizes of `sizes` that were read (FormatSizeLine).
/// Each line is replaced whole; a script without such a line keeps what it has. Prints nothing.
LinkerScriptUpdate UpdateLinkerScript(const std::string& folder, const ProjectInfo& project,
                                      const StartupSizes& sizes);
