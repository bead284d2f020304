// Tests of the chip catalogue: what the bundled data must hold for every model, and the device
// name rules.
#include "chip/chip_catalogue.h"

#include <set>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

// The BSP folder of a catalogue entry: its series, or for a model without one the series of the
// model that shares its startup file.
std::string BspFolderOf(const ChipModelEntry& entry) {
  if (*entry.series != '\0') return entry.series;
  for (const ChipModelEntry& other : ChipCatalogue()) {
    if (*other.series != '\0' && std::string(other.startupFile) == entry.startupFile) {
      return other.series;
    }
  }
  return "";
}

TEST(ChipCatalogueTest, EveryModelIsRecognisedAndHasItsBundledStartupScriptsAndTemplate) {
  const std::string examples = SourceDir() + "/examples";
  std::set<std::string> models;
  for (const ChipModelEntry& entry : ChipCatalogue()) {
    SCOPED_TRACE(entry.model);
    EXPECT_TRUE(models.insert(entry.model).second) << "listed twice";

    // No model is hidden behind an earlier one that is a prefix of it.
    char code = '\0';
    int32_t kb = 0;
    EXPECT_EQ(ParseDeviceName(std::string(entry.model) + "VGT7", &code, &kb), entry.model);
    EXPECT_EQ(GetStartupFileName(entry.model), entry.startupFile);
    EXPECT_EQ(GetSeriesName(entry.model), entry.series);

    const std::string folder = BspFolderOf(entry);
    ASSERT_FALSE(folder.empty());
    const std::string gcc = examples + "/bsp/" + folder + "/libraries/cmsis/" +
                            CoreFolderName(entry.core) + "/device_support/startup/gcc";
    EXPECT_TRUE(Exists(gcc + "/" + entry.startupFile));
    int scripts = 0;
    for (const std::string& file : ListTree(gcc + "/linker")) {
      const std::string prefix = std::string(entry.model) + "x";
      if (file.rfind(prefix, 0) != 0) continue;
      ++scripts;
      // Every script's flash-size code is one the table knows, and names the script by the rule.
      const char scriptCode = file[prefix.size()];
      EXPECT_GT(FlashSizeFromCode(scriptCode), 0) << file;
      EXPECT_EQ(file, LinkerScriptName(entry.model, scriptCode));
    }
    EXPECT_GE(scripts, 2);

    // The template of the model is the one of its core, and builds for that core and FPU.
    const std::string cproject =
        ReadFile(examples + "/QM26IDE_Templates/" + entry.model + "/QM26_IDE/.cproject");
    const bool m0plus = entry.core == Core::kCortexM0Plus;
    EXPECT_NE(cproject.find(m0plus ? "mcpu.cortex-m0plus\"" : "mcpu.cortex-m4\""),
              std::string::npos);
    EXPECT_NE(cproject.find(entry.hasFpu ? "fpu.abi.hard\"" : "fpu.abi.soft\""),
              std::string::npos);
  }
  EXPECT_EQ(GetSeriesName("QM26R999"), "");
  EXPECT_EQ(GetStartupFileName("qm26r620a"), "");
  EXPECT_EQ(FindChipModel(""), nullptr);
}

TEST(ChipCatalogueTest, ParseDeviceName) {
  const struct {
    const char* deviceName;
    const char* model;
    char code;
    int32_t kb;
  } cases[] = {
      {"QM26R620AVGT7", "QM26R620A", 'G', 1024},
      // Begins with QM26R620 but not with QM26R620A.
      {"QM26R620ZGT6", "QM26R620", 'G', 1024},
      {"QM26R650C8T7", "QM26R650", '8', 64},
      // The first character behind the model is not used, even when it is a size code.
      {"QM26R610GCT6", "QM26R610", 'C', 256},
      // Exactly two characters behind the model are enough.
      {"QM26R620AVG", "QM26R620A", 'G', 1024},
      // A code outside the table still names a model; its size is 0.
      {"QM26R620AVJT7", "QM26R620A", 'J', 0},
      {"QM26R620AVgT7", "QM26R620A", 'g', 0},
      // Matching is case-sensitive and anchored at the start.
      {"qm26r620avgt7", "", 'm', 0},
      {"X-QM26R620AVGT7", "", '-', 0},
      // Too short to hold a flash-size code.
      {"QM26R620AV", "QM26R620A", '\0', 0},
      {"", "", '\0', 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.deviceName);
    char code = 'x';
    int32_t kb = -1;
    EXPECT_EQ(ParseDeviceName(c.deviceName, &code, &kb), c.model);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(kb, c.kb);
  }
  for (char outside : {'/', '[', 'a', 'z', ' ', '\0', '\x7f', '\x80', '\xff'}) {
    EXPECT_EQ(FlashSizeFromCode(outside), 0) << static_cast<int>(outside);
  }
}

TEST(ChipCatalogueTest, OnlyAKnownModelWithAKnownFlashCodeIsSupported) {
  const struct {
    const char* deviceName;
    bool supported;
  } cases[] = {
      {"QM26R620AVGT7", true}, {"QM26R650C8T7", true},  {"QM26S110VBT7", true},
      {"QM26R620A", false},    {"QM26R620AV", false},   {"", false},
      {"qm26r620avgt7", false}, {"STM32F407VGT6", false}, {"QM26R620AVJT7", false},
      {"QM26S110Vbt7", false},
  };
  for (const auto& c : cases) {
    ProjectInfo project;
    project.deviceName = c.deviceName;
    project.chipModel = ParseDeviceName(c.deviceName, &project.flashSizeCode, &project.flashSizeKb);
    EXPECT_EQ(IsChipSupported(project), c.supported) << c.deviceName;
  }
}

}  // namespace
