// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fs/result.h"
#include "mdk/project_info.h"

/// The project's folder of linker scripts, below the project folder.
constexpr char kLinkerScriptFolder[] = "ldscripts";

/// "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = <length>" with the low 32 bits of `origin`; the
/// length in KiB ("1024K") when it is a whole number of them, else in bytes ("0x1F80").
std::string FormatFlashLine(uint64_t origin, uint64_t lengthBytes);

/// The length of the FLASH region of `project`: the region its MDK target names, else the chip's
/// whole flash.
uint64_t FlashLengthOf(const ProjectInfo& project);

/// What reducing a linker-script folder did.
struct [[nodiscard]] LinkerScriptUpdate {
  Result folder;                   // fails when the folder cannot be opened: nothing was touched
  std::vector<Result> notDeleted;  // each other script that could not be deleted, in listing order
  Result script;                   // fails, naming the expected path, when the folder lacks it
  Result written;                  // fails when the chip's script could not be read or rewritten
};

/// Deletes every regular file of `folder` except the chip's linker script (links and folders are
/// never touched), then replaces that script's first line holding "FLASH (rx)" with the FLASH line
/// of `project`. Prints nothing.
LinkerScriptUpdate UpdateLinkerScript(const std::string& folder, const ProjectInfo& project);
