// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fs/result.h"
#include "mdk/project_info.h"

/// The project's folder of linker scripts, below the project folder.
constexpr char kLinkerScriptFolder[] = "ldscripts";

/// "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = %dK" with the low 32 bits of `origin`.
std::string FormatFlashLine(uint64_t origin, int32_t flashSizeKb);

/// What reducing a linker-script folder did.
struct [[nodiscard]] LinkerScriptUpdate {
  Result folder;                   // fails when the folder cannot be opened: nothing was touched
  std::vector<Result> notDeleted;  // each other script that could not be deleted, in listing order
  Result script;                   // fails when the chip's script could not be rewritten
};

/// Deletes every regular file of `folder` except the chip's linker script (links and folders are
/// never touched), then replaces that script's first line holding "FLASH (rx)" with the FLASH line
/// of `project`. Prints nothing.
LinkerScriptUpdate UpdateLinkerScript(const std::string& folder, const ProjectInfo& project);
