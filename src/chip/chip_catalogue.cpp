// The fixed catalogue of supported QM26 chip models: series, startup files, cores and flash sizes.
#include "chip/chip_catalogue.h"

namespace {

// Flash size in KiB per code character, indexed by the character minus '0' ('0' to 'Z').
constexpr uint16_t kFlashSizeKb[43] = {
    1,   2,   4,   8,   16,  24,  32,  48,   64,   72,    // '0' .. '9'
    0,   0,   0,   0,   0,   0,   0,                      // ':' .. '@'
    96,  128, 256, 384, 512, 768, 1024, 1536, 2048, 0,    // 'A' .. 'J'
    3072, 0,  4096, 0,  0,   0,   0,   0,    0,    0,     // 'K' .. 'T'
    0,   0,   0,   0,   0,   192,                         // 'U' .. 'Z'
};

constexpr Core kM4 = Core::kCortexM4;
constexpr Core kM0Plus = Core::kCortexM0Plus;

}  // namespace

const std::vector<ChipModelEntry>& ChipCatalogue() {
  // QM26R620A must come before QM26R620, which is a prefix of it.
  static const std::vector<ChipModelEntry> kCatalogue = {
      {"QM26R620A", "QM26R620A_625", "startup_qm26r620a_625.s", kM4, true},
      {"QM26R610", "QM26R610_615", "startup_qm26r610_615.s", kM4, true},
      {"QM26R620", "QM26R620", "startup_qm26r610_615.s", kM4, true},
      {"QM26R615", "QM26R610_615", "startup_qm26r610_615.s", kM4, true},
      {"QM26R625", "QM26R620A_625", "startup_qm26r620a_625.s", kM4, true},
      {"QM26R630", "QM26R630", "startup_qm26r630.s", kM4, true},
      {"QM26R635", "QM26R635", "startup_qm26r635.s", kM4, true},
      {"QM26R640", "QM26R640", "startup_qm26r640.s", kM4, true},
      {"QM26R645", "QM26R645", "startup_qm26r645.s", kM4, true},
      {"QM26R650", "", "startup_qm26r630.s", kM4, true},
      {"QM26R660", "QM26R660_665", "startup_qm26r660_665.s", kM4, true},
      {"QM26R665", "QM26R660_665", "startup_qm26r660_665.s", kM4, true},
      {"QM26S110", "QM26S110", "startup_qm26s110.s", kM0Plus, false},
      {"QM26VC635", "QM26VC635", "startup_qm26vc635", kM4, true},
      {"QM26T620A", "QM26T620A", "startup_qm26t620a.s", kM4, true},
      {"QM26T645", "QM26T645", "startup_qm26t645.s", kM4, true},
      {"QM26R690", "QM26R690", "startup_qm26r690.s", kM4, true},
      {"QM26N612", "QM26N612_616", "startup_qm26n612_616.s", kM4, true},
      {"QM26N616", "QM26N612_616", "startup_qm26n612_616.s", kM4, true},
      {"QM26R671", "QM26R67x", "startup_qm26r67x.s", kM4, true},
      {"QM26R672", "QM26R67x", "startup_qm26r67x.s", kM4, true},
      {"QM26R673", "QM26R67x", "startup_qm26r67x.s", kM4, true},
  };
  return kCatalogue;
}

const ChipModelEntry* FindChipModel(const std::string& model) {
  for (const ChipModelEntry& entry : ChipCatalogue()) {
    if (model == entry.model) return &entry;
  }
  return nullptr;
}

std::string ParseDeviceName(std::string deviceName, char* flashSizeCode, int32_t* flashSizeKb) {
  std::string model;
  for (const ChipModelEntry& entry : ChipCatalogue()) {
    if (deviceName.rfind(entry.model, 0) == 0) {
      model = entry.model;
      break;
    }
  }
  // The code is the second character behind the model; the first one is not used.
  const std::string rest = deviceName.substr(model.size());
  const char code = rest.size() >= 2 ? rest[1] : '\0';
  *flashSizeCode = code;
  *flashSizeKb = FlashSizeFromCode(code);
  return model;
}

int32_t FlashSizeFromCode(char code) {
  const uint8_t index = static_cast<uint8_t>(code - '0');
  if (index > 42) return 0;
  return kFlashSizeKb[index];
}

std::string GetSeriesName(const std::string& model) {
  const ChipModelEntry* entry = FindChipModel(model);
  return entry != nullptr ? entry->series : "";
}

std::string GetStartupFileName(const std::string& model) {
  const ChipModelEntry* entry = FindChipModel(model);
  return entry != nullptr ? entry->startupFile : "";
}

const char* CoreFolderName(Core core) {
  return core == Core::kCortexM0Plus ? "cm0plus" : "cm4";
}

std::string LinkerScriptName(const std::string& chipModel, char flashSizeCode) {
  return chipModel + "x" + std::string(1, flashSizeCode) + "_FLASH.ld";
}

bool IsChipSupported(const ProjectInfo& project) {
  // A device without a flash-size code, or with one that the table does not know, has no linker
  // script or flash size to give the project.
  return !project.deviceName.empty() && !project.chipModel.empty() && project.flashSizeKb > 0;
}
