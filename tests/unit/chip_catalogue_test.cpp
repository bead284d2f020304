// Tests of the chip catalogue: model recognition, series, startup files, flash sizes, the check.
#include "chip/chip_catalogue.h"

#include <gtest/gtest.h>

#include "mdk/project_info.h"
#include "support/test_support.h"

namespace {

// Points g_project at a model holding `deviceName` as the reader would fill it, for one scope.
class ScopedProject {
 public:
  explicit ScopedProject(const std::string& deviceName) {
    info_.deviceName = deviceName;
    info_.chipModel = ParseDeviceName(deviceName, &info_.flashSizeCode, &info_.flashSizeKb);
    g_project = &info_;
  }
  ~ScopedProject() { g_project = nullptr; }
  const ProjectInfo& info() const { return info_; }

 private:
  ProjectInfo info_;
};

TEST(ChipCatalogueTest, ModelsInRecognitionOrderWithSeriesAndStartupFile) {
  const struct {
    const char* model;
    const char* series;
    const char* startupFile;
  } expected[] = {
      {"QM26R620A", "QM26R620A_625", "startup_qm26r620a_625.s"},
      {"QM26R610", "QM26R610_615", "startup_qm26r610_615.s"},
      {"QM26R620", "QM26R620", "startup_qm26r610_615.s"},
      {"QM26R615", "QM26R610_615", "startup_qm26r610_615.s"},
      {"QM26R625", "QM26R620A_625", "startup_qm26r620a_625.s"},
      {"QM26R630", "QM26R630", "startup_qm26r630.s"},
      {"QM26R635", "QM26R635", "startup_qm26r635.s"},
      {"QM26R640", "QM26R640", "startup_qm26r640.s"},
      {"QM26R645", "QM26R645", "startup_qm26r645.s"},
      {"QM26R650", "", "startup_qm26r630.s"},
      {"QM26R660", "QM26R660_665", "startup_qm26r660_665.s"},
      {"QM26R665", "QM26R660_665", "startup_qm26r660_665.s"},
      {"QM26S110", "QM26S110", "startup_qm26s110.s"},
      {"QM26VC635", "QM26VC635", "startup_qm26vc635"},
      {"QM26T620A", "QM26T620A", "startup_qm26t620a.s"},
      {"QM26T645", "QM26T645", "startup_qm26t645.s"},
      {"QM26R690", "QM26R690", "startup_qm26r690.s"},
      {"QM26N612", "QM26N612_616", "startup_qm26n612_616.s"},
      {"QM26N616", "QM26N612_616", "startup_qm26n612_616.s"},
      {"QM26R671", "QM26R67x", "startup_qm26r67x.s"},
      {"QM26R672", "QM26R67x", "startup_qm26r67x.s"},
      {"QM26R673", "QM26R67x", "startup_qm26r67x.s"},
  };
  const std::vector<ChipModelEntry>& catalogue = ChipCatalogue();
  ASSERT_EQ(catalogue.size(), std::size(expected));
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const auto& row = expected[i];
    SCOPED_TRACE(row.model);
    EXPECT_STREQ(catalogue[i].model, row.model);
    EXPECT_EQ(GetSeriesName(row.model), row.series);

    // Each model is recognised from a device name that starts with it.
    ScopedProject project(std::string(row.model) + "VGT7");
    EXPECT_EQ(project.info().chipModel, row.model);
    EXPECT_EQ(project.info().flashSizeCode, 'G');
    EXPECT_EQ(project.info().flashSizeKb, 1024);
    EXPECT_EQ(GetStartupFileName(), row.startupFile);
    bool supported = false;
    EXPECT_EQ(CaptureStdout([&] { supported = IsChipSupported(); }), "");
    EXPECT_TRUE(supported);  // also QM26R650, which has no series
  }
}

TEST(ChipCatalogueTest, UnknownModelHasNoSeriesOrStartupFile) {
  EXPECT_EQ(GetSeriesName("QM26R999"), "");
  EXPECT_EQ(GetSeriesName("qm26r620a"), "");
  EXPECT_EQ(GetSeriesName(""), "");
  ScopedProject project("XY123");
  EXPECT_EQ(GetStartupFileName(), "");
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
      {"XY123", "", 'Y', 0},
      // Too short to hold a flash-size code.
      {"QM26R620A", "QM26R620A", '\0', 0},
      {"QM26R620AV", "QM26R620A", '\0', 0},
      {"", "", '\0', 0},
      {"Q", "", '\0', 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.deviceName);
    char code = 'x';
    int32_t kb = -1;
    EXPECT_EQ(ParseDeviceName(c.deviceName, &code, &kb), c.model);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(kb, c.kb);
  }
}

TEST(ChipCatalogueTest, UnsupportedDevicesFailTheCheckWithItsMessage) {
  // A flash-size code that the table does not know (J, L, lower case) gives no linker script.
  for (const char* deviceName : {"QM26R620A", "QM26R620AV", "", "Q", "qm26r620avgt7",
                                 "X-QM26R620AVGT7", "XY123", "STM32F407VGT6", "QM26R620AVJT7",
                                 "QM26R671xLT6", "QM26S110Vbt7"}) {
    SCOPED_TRACE(deviceName);
    ScopedProject project(deviceName);
    bool supported = true;
    const std::string out = CaptureStdout([&] { supported = IsChipSupported(); });
    EXPECT_FALSE(supported);
    EXPECT_EQ(out, "No supported MCU model found!\n");
  }
}

TEST(ChipCatalogueTest, FlashSizeOfEveryCode) {
  // One entry per character from '0' to 'Z'.
  const std::string codes = "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const int32_t sizes[] = {
      1,    2, 4,    8, 16, 24, 32, 48, 64, 72,           // '0'..'9'
      0,    0, 0,    0, 0,  0,  0,                        // ':'..'@'
      96,   128, 256, 384, 512, 768, 1024, 1536, 2048, 0,  // 'A'..'J'
      3072, 0, 4096, 0, 0,  0,  0,  0,  0,  0,            // 'K'..'T'
      0,    0, 0,    0, 0,  192,                          // 'U'..'Z'
  };
  ASSERT_EQ(codes.size(), 43u);
  ASSERT_EQ(std::size(sizes), 43u);
  for (size_t i = 0; i < codes.size(); ++i) {
    SCOPED_TRACE(std::string(1, codes[i]));
    EXPECT_EQ(FlashSizeFromCode(codes[i]), sizes[i]);
  }
  for (char outside : {'/', '[', 'a', 'g', 'z', ' ', '\0', '\x7f', '\x80', '\xff'}) {
    SCOPED_TRACE(static_cast<int>(outside));
    EXPECT_EQ(FlashSizeFromCode(outside), 0);
  }
}

TEST(ChipCatalogueTest, LinkerScriptName) {
  EXPECT_EQ(LinkerScriptName("QM26R620A", 'G'), "QM26R620AxG_FLASH.ld");
  EXPECT_EQ(LinkerScriptName("QM26R650", '8'), "QM26R650x8_FLASH.ld");
}

}  // namespace
