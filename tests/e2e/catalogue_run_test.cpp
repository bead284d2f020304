// One complete run per catalogue model: template, BSP series and core, startup file, linker script.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/fixture_tree.h"
#include "e2e/xml_probe.h"
#include "support/test_support.h"

namespace {

constexpr char kDebug[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.debug";
constexpr char kRelease[] = "ilg.gnuarmeclipse.managedbuild.cross.config.elf.release";
constexpr char kScript[] = "ilg.gnuarmeclipse.managedbuild.cross.option.c.linker.scriptfile";

struct ModelCase {
  const char* model;
  const char* series;  // "" : the BSP path must name the folder itself
  const char* core;
  const char* startup;
  char code;
  const char* length;
  const char* sizeType;
};

// Codes cycle through sizes so that G, M and the other size types all occur.
const ModelCase kModels[] = {
    {"QM26R620A", "QM26R620A_625", "cm4", "startup_qm26r620a_625.s", 'G', "1024K", "G"},
    {"QM26R610", "QM26R610_615", "cm4", "startup_qm26r610_615.s", 'E', "512K", "O"},
    {"QM26R620", "QM26R620", "cm4", "startup_qm26r610_615.s", 'M', "4096K", "M"},
    {"QM26R615", "QM26R610_615", "cm4", "startup_qm26r610_615.s", 'C', "256K", "O"},
    {"QM26R625", "QM26R620A_625", "cm4", "startup_qm26r620a_625.s", 'G', "1024K", "G"},
    {"QM26R630", "QM26R630", "cm4", "startup_qm26r630.s", 'I', "2048K", "O"},
    {"QM26R635", "QM26R635", "cm4", "startup_qm26r635.s", 'K', "3072K", "O"},
    {"QM26R640", "QM26R640", "cm4", "startup_qm26r640.s", 'H', "1536K", "O"},
    {"QM26R645", "QM26R645", "cm4", "startup_qm26r645.s", 'Z', "192K", "O"},
    {"QM26R650", "", "cm4", "startup_qm26r630.s", '8', "64K", "O"},
    {"QM26R660", "QM26R660_665", "cm4", "startup_qm26r660_665.s", 'G', "1024K", "G"},
    {"QM26R665", "QM26R660_665", "cm4", "startup_qm26r660_665.s", 'M', "4096K", "M"},
    {"QM26S110", "QM26S110", "cm0plus", "startup_qm26s110.s", 'B', "128K", "O"},
    {"QM26VC635", "QM26VC635", "cm4", "startup_qm26vc635", 'D', "384K", "O"},
    {"QM26T620A", "QM26T620A", "cm4", "startup_qm26t620a.s", 'G', "1024K", "G"},
    {"QM26T645", "QM26T645", "cm4", "startup_qm26t645.s", 'F', "768K", "O"},
    {"QM26R690", "QM26R690", "cm4", "startup_qm26r690.s", 'M', "4096K", "M"},
    {"QM26N612", "QM26N612_616", "cm4", "startup_qm26n612_616.s", '9', "72K", "O"},
    {"QM26N616", "QM26N612_616", "cm4", "startup_qm26n612_616.s", 'A', "96K", "O"},
    {"QM26R671", "QM26R67x", "cm4", "startup_qm26r67x.s", '5', "24K", "O"},
    {"QM26R672", "QM26R67x", "cm4", "startup_qm26r67x.s", 'G', "1024K", "G"},
    {"QM26R673", "QM26R67x", "cm4", "startup_qm26r67x.s", '7', "48K", "O"},
};

TEST(CatalogueRunTest, EveryModelGetsItsTemplateBspFilesAndLinkerScript) {
  const std::string templates = SourceDir() + "/examples/QM26IDE_Templates";
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(c.model);
    ScopedTempDir dir;
    const std::string device = std::string(c.model) + "V" + c.code + "T7";
    // The Cpu text names the flash origin only, so the FLASH length comes from the device name.
    std::string mdk = MdkProjectXml(device, {"..\\src\\main.c"});
    mdk.replace(mdk.find("IROM(0x08000000,0x100000)"), 25, "IROM(0x08000000)");
    WriteFile(dir / "work/mdk/p.uvprojx", mdk);
    // A model without a series is given its series folder directly; the others the BSP root,
    // with a decoy series beside theirs.
    const std::string seriesFolder =
        *c.series != '\0' ? dir / ("bsp/" + std::string(c.series)) : dir / "bsp650";
    const std::string bspArg = *c.series != '\0' ? dir / "bsp" : seriesFolder;
    const std::string otherCode = c.code == 'C' ? "E" : "C";
    WriteBspSeries(seriesFolder, c.core, c.model, c.startup, std::string(1, c.code) + otherCode);
    WriteBspSeries(dir / "bsp/Decoy", c.core, c.model, c.startup, std::string(1, c.code));

    const RunResult run = RunGeneratorBinary(
        {"-MDKPATH", dir / "work/mdk/p.uvprojx", "-TEMPLATESPATH", templates, "-BSPPATH", bspArg},
        dir.path());
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;

    const std::string proj = dir / "work/qm26_ide_proj";
    const std::string script = std::string(c.model) + "x" + c.code + "_FLASH.ld";
    const std::vector<std::string> lines = SplitLines(run.out);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Templates path: " + templates + "/" + c.model + "/QM26_IDE"),
              lines.end());
    EXPECT_EQ(ReadFile(proj + "/" + c.startup), "/* startup for " + std::string(c.model) + " */\n");
    EXPECT_EQ(ListTree(proj + "/ldscripts"), std::set<std::string>{script});
    EXPECT_NE(ReadFile(proj + "/ldscripts/" + script)
                  .find("FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = " + std::string(c.length) + "\n"),
              std::string::npos);
    const std::string scriptValue = "\"${workspace_loc:/${ProjName}}/ldscripts/" + script + "\"";
    EXPECT_EQ(OptionValues(proj + "/.cproject", kDebug, kScript), std::vector<std::string>{scriptValue});
    EXPECT_EQ(OptionValues(proj + "/.cproject", kRelease, kScript),
              std::vector<std::string>{scriptValue});
    const std::vector<std::string> prefs = SplitLines(ReadFile(proj + "/preferences.ini"));
    ASSERT_GE(prefs.size(), 4u);
    EXPECT_EQ(prefs[2], "chipTarget=" + device);
    EXPECT_EQ(prefs[3], "chipSizeType=" + std::string(c.sizeType));
  }
}

}  // namespace
