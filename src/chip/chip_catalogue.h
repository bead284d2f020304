// The fixed catalogue of supported QM26 chip models: series, startup files, cores and flash sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mdk/project_info.h"

/// The processor core of a chip model, which decides its IDE template and its BSP core folder.
enum class Core { kCortexM4, kCortexM0Plus };

/// One supported chip model.
struct ChipModelEntry {
  const char* model;
  const char* series;       // the BSP series folder; "" for a model without one
  const char* startupFile;  // the GCC startup file, used unchanged, even without ".s"
  Core core;
  bool hasFpu;              // a single-precision FPU that a build may use
};

/// All supported models, in the order device names are tested against them.
const std::vector<ChipModelEntry>& ChipCatalogue();

/// The catalogue entry of `model`, or null for an unknown one.
const ChipModelEntry* FindChipModel(const std::string& model);

/// The model at the start of `deviceName` ("" when none), with the flash-size code (the second
/// character behind the model) and its size in KiB written through the out-parameters. With fewer
/// than two characters behind the model there is no code: '\0' and 0 are written.
std::string ParseDeviceName(std::string deviceName, char* flashSizeCode, int32_t* flashSizeKb);

/// The flash size in KiB of a flash-size code; 0 for a code that is not in the table.
int32_t FlashSizeFromCode(char code);

/// The BSP series folder name of `model`, or "" when it has none or is unknown.
std::string GetSeriesName(const std::string& model);

/// The startup file name of `model`, or "" for an unknown model.
std::string GetStartupFileName(const std::string& model);

/// The name of a core's folder in a BSP ("cm4", "cm0plus") and in the bundled IDE templates.
const char* CoreFolderName(Core core);

/// The linker-script file name for a model and a flash-size code: <model>x<code>_FLASH.ld.
std::string LinkerScriptName(const std::string& chipModel, char flashSizeCode);

/// True when `project` holds a device name, a recognised model and a flash-size code that the
/// flash-size table knows.
bool IsChipSupported(const ProjectInfo& project);
