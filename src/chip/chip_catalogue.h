// The fixed catalogue of supported QM26 chip models: series, startup files and flash sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One supported chip model with its BSP series folder and GCC startup file.
struct ChipModelEntry {
  const char* model;
  const char* series;       // "" for a model without a series folder in the BSP
  const char* startupFile;  // used unchanged, even without ".s"
};

/// All supported models, in the order device names are tested against them.
const std::vector<ChipModelEntry>& ChipCatalogue();

/// The model at the start of `deviceName` ("" when none), with the flash-size code (the second
/// character behind the model) and its size in KiB written through the out-parameters. With fewer
/// than two characters behind the model there is no code: '\0' and 0 are written.
std::string ParseDeviceName(std::string deviceName, char* flashSizeCode, int32_t* flashSizeKb);

/// The flash size in KiB of a flash-size code; 0 for a code that is not in the table.
int32_t FlashSizeFromCode(char code);

/// The BSP series folder name of `model`, or "" when it has none or is unknown.
std::string GetSeriesName(const std::string& model);

/// The startup file name of g_project's chipModel, or "" for an unknown model.
std::string GetStartupFileName();

/// The linker-script file name for a model and a flash-size code: <model>x<code>_FLASH.ld.
std::string LinkerScriptName(const std::string& chipModel, char flashSizeCode);

/// True when g_project holds a device name, a recognised model and a flash-size code that the
/// flash-size table knows; otherwise
/// prints "No supported MCU model found!" and returns false.
bool IsChipSupported();
