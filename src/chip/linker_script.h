// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#pragma once

#include <cstdint>
#include <string>

/// "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = %dK" with the low 32 bits of `origin`.
std::string FormatFlashLine(uint64_t origin, int32_t flashSizeKb);

/// Deletes every regular file of `folder` except the chip's linker script, then replaces that
/// script's first line holding "FLASH (rx)" with the FLASH line. Returns false after printing
/// "No link file found!" when the folder cannot be opened, true otherwise. Prints
/// "delete file error: <path>" for a file that cannot be deleted.
bool UpdateLinkerScript(const std::string& folder);
