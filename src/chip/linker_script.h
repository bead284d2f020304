// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#pragma once

#include <cstdint>
#include <string>

/// "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = %dK" with the low 32 bits of `origin`.
std::string FormatFlashLine(uint64_t origin, int32_t flashSizeKb);

enum class LinkerScriptOutcome {
  kDone,         // the folder was reduced; the chip's script, when there, has its FLASH line
  kNoFolder,     // the folder cannot be opened: nothing was touched
  kWriteFailed,  // the chip's script could not be rewritten
};

/// Deletes every regular file of `folder` except the chip's linker script, then replaces that
/// script's first line holding "FLASH (rx)" with the FLASH line. Prints "No link file found!" for a
/// folder that cannot be opened, "delete file error: <path>" for a file that cannot be deleted (and
/// goes on), and "Failed to write file: <path>" when the script cannot be rewritten whole.
LinkerScriptOutcome UpdateLinkerScript(const std::string& folder);
