// The benchmark's inputs: a template, a BSP series and MDK folders, written from a fixed seed.
#include "input_tree.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bump when the inputs change, so that an old tree under build/bench is written again.
constexpr char kInputsVersion[] = "qm26 bench inputs 1\n";
constexpr uint64_t kSeed = 0x5EED2026u;

// xorshift64*: small, fast and the same on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Du;
  }
  /// A number in [low, high].
  size_t Between(size_t low, size_t high) { return low + Next() % (high - low + 1); }

 private:
  uint64_t state_;
};

bool WriteBytes(const std::string& path, const char* data, size_t size) {
  std::error_code ignored;
  fs::create_directories(fs::path(path).parent_path(), ignored);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    return false;
  }
  const bool written = std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) {
    std::perror(path.c_str());
    return false;
  }
  return true;
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, text.data(), text.size());
}

// C-like text of about `size` bytes; `tag` makes every file's lines its own.
std::string SourceText(Random& random, const std::string& tag, size_t size) {
  std::string text = "/* " + tag + ": generated for the benchmark */\n#include <stdint.h>\n\n";
  int n = 0;
  while (text.size() < size) {
    text += "uint32_t " + tag + "_" + std::to_string(n++) + "(uint32_t x) { return x * " +
            std::to_string(random.Next() % 100000) + "u + 7u; }\n";
  }
  return text;
}

// A binary file of `size` pseudo-random bytes, written in slices.
bool WriteBinary(Random& random, const std::string& path, size_t size) {
  std::error_code ignored;
  fs::create_directories(fs::path(path).parent_path(), ignored);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    return false;
  }
  std::vector<uint64_t> slice(1 << 17);  // 1 MiB
  bool written = true;
  for (size_t left = size; left > 0 && written;) {
    for (uint64_t& word : slice) word = random.Next();
    const size_t part = std::min(left, slice.size() * sizeof(uint64_t));
    written = std::fwrite(slice.data(), 1, part, file) == part;
    left -= part;
  }
  if (std::fclose(file) != 0 || !written) {
    std::perror(path.c_str());
    return false;
  }
  return true;
}

std::string Padded(size_t n, size_t width) {
  const std::string digits = std::to_string(n);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// An MDK 5 project file for a QM26R620AVGT7 whose first target lists `groups` groups of
// `filesPerGroup` C files at "<prefix>g<group>\f<file>.c".
std::string MdkProject(size_t groups, size_t filesPerGroup, const std::string& prefix) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
      "<Project xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xsi:noNamespaceSchemaLocation=\"project_projx.xsd\">\n\n"
      "  <SchemaVersion>2.1</SchemaVersion>\n\n"
      "  <Header>### uVision Project, (C) Keil Software</Header>\n\n"
      "  <Targets>\n    <Target>\n      <TargetName>bench_app</TargetName>\n"
      "      <ToolsetNumber>0x4</ToolsetNumber>\n      <ToolsetName>ARM-ADS</ToolsetName>\n"
      "      <TargetOption>\n        <TargetCommonOption>\n"
      "          <Device>QM26R620AVGT7</Device>\n          <Vendor>QM26</Vendor>\n"
      "          <Cpu>IRAM(0x20000000,0x20000) IROM(0x08000000,0x100000) CPUTYPE(\"Cortex-M4\") "
      "FPU2 CLOCK(12000000)</Cpu>\n"
      "          <OutputDirectory>.\\Objects\\</OutputDirectory>\n"
      "          <OutputName>bench_app</OutputName>\n        </TargetCommonOption>\n"
      "        <TargetArmAds>\n          <Cads>\n            <VariousControls>\n"
      "              <MiscControls>--c99</MiscControls>\n"
      "              <Define>USE_STDPERIPH_DRIVER,QM26R620A,HSE_VALUE=12000000</Define>\n"
      "              <Undefine></Undefine>\n"
      "              <IncludePath>..\\mdk\\inc;..\\mdk\\lib\\inc</IncludePath>\n"
      "            </VariousControls>\n          </Cads>\n        </TargetArmAds>\n"
      "      </TargetOption>\n      <Groups>\n";
  for (size_t g = 0; g < groups; ++g) {
    const std::string group = "g" + Padded(g, 3);
    xml += "        <Group>\n          <GroupName>" + group + "</GroupName>\n          <Files>\n";
    for (size_t f = 0; f < filesPerGroup; ++f) {
      const std::string file = "f" + Padded(f, 3) + ".c";
      xml += "            <File>\n              <FileName>" + file +
             "</FileName>\n              <FileType>1</FileType>\n              <FilePath>" +
             prefix + group + "\\" + file + "</FilePath>\n            </File>\n";
    }
    xml += "          </Files>\n        </Group>\n";
  }
  return xml + "      </Groups>\n    </Target>\n  </Targets>\n\n</Project>\n";
}

constexpr char kProjectTemplate[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<projectDescription>\n"
    "\t<name>bench</name>\n\t<comment></comment>\n\t<projects>\n\t</projects>\n"
    "\t<buildSpec>\n\t\t<buildCommand>\n"
    "\t\t\t<name>org.eclipse.cdt.managedbuilder.core.genmakebuilder</name>\n"
    "\t\t\t<triggers>clean,full,incremental,</triggers>\n\t\t\t<arguments>\n\t\t\t</arguments>\n"
    "\t\t</buildCommand>\n\t</buildSpec>\n\t<natures>\n"
    "\t\t<nature>org.eclipse.cdt.core.cnature</nature>\n"
    "\t\t<nature>org.eclipse.cdt.managedbuilder.core.managedBuildNature</nature>\n"
    "\t</natures>\n\t<linkedResources>\n\t</linkedResources>\n</projectDescription>\n";

// One build configuration of the template's .cproject, with the options the generator rewrites.
std::string CProjectConfiguration(const std::string& kind, const std::string& number) {
  const std::string id = "ilg.gnuarmeclipse.managedbuild.cross.config.elf." + kind + "." + number;
  const std::string option = "ilg.gnuarmeclipse.managedbuild.cross.option.";
  return "\t\t<cconfiguration id=\"" + id + "\">\n"
         "\t\t\t<storageModule moduleId=\"cdtBuildSystem\" version=\"4.0.0\">\n"
         "\t\t\t\t<configuration artifactExtension=\"elf\" id=\"" + id + "\" name=\"" + kind +
         "\">\n"
         "\t\t\t\t\t<folderInfo id=\"" + id + ".\" name=\"/\" resourcePath=\"\">\n"
         "\t\t\t\t\t\t<toolChain id=\"ilg.gnuarmeclipse.managedbuild.cross.toolchain.elf." + kind +
         "." + number + "1\" name=\"Cross ARM GCC\">\n"
         "\t\t\t\t\t\t\t<tool id=\"ilg.gnuarmeclipse.managedbuild.cross.tool.c.compiler." +
         number + "2\" name=\"Cross ARM C Compiler\">\n"
         "\t\t\t\t\t\t\t\t<option id=\"" + option + "c.compiler.include.paths." + number +
         "3\" valueType=\"includePath\">\n"
         "\t\t\t\t\t\t\t\t\t<listOptionValue builtIn=\"false\" value=\"../inc\"/>\n"
         "\t\t\t\t\t\t\t\t</option>\n"
         "\t\t\t\t\t\t\t\t<option id=\"" + option + "c.compiler.defs." + number +
         "4\" valueType=\"definedSymbols\">\n"
         "\t\t\t\t\t\t\t\t\t<listOptionValue builtIn=\"false\" value=\"OLD\"/>\n"
         "\t\t\t\t\t\t\t\t</option>\n"
         "\t\t\t\t\t\t\t</tool>\n"
         "\t\t\t\t\t\t\t<tool id=\"ilg.gnuarmeclipse.managedbuild.cross.tool.c.linker." + number +
         "5\" name=\"Cross ARM C Linker\">\n"
         "\t\t\t\t\t\t\t\t<option id=\"" + option + "c.linker.scriptfile." + number +
         "6\" valueType=\"stringList\">\n"
         "\t\t\t\t\t\t\t\t\t<listOptionValue builtIn=\"false\" value=\"old.ld\"/>\n"
         "\t\t\t\t\t\t\t\t</option>\n"
         "\t\t\t\t\t\t\t</tool>\n"
         "\t\t\t\t\t\t</toolChain>\n"
         "\t\t\t\t\t</folderInfo>\n"
         "\t\t\t\t</configuration>\n"
         "\t\t\t</storageModule>\n"
         "\t\t</cconfiguration>\n";
}

std::string CProjectTemplate() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
         "<?fileVersion 4.0.0?><cproject "
         "storage_type_id=\"org.eclipse.cdt.core.XmlProjectDescriptionStorage\">\n"
         "\t<storageModule moduleId=\"org.eclipse.cdt.core.settings\">\n" +
         CProjectConfiguration("debug", "1418062345") +
         CProjectConfiguration("release", "2087411932") + "\t</storageModule>\n</cproject>\n";
}

constexpr char kPreferences[] =
    "[device]\nvendor=QM26\nchipTarget=\nchipSizeType=\ndebugInterface=SWD\n";

std::string LinkerScript(const std::string& name) {
  std::string text = "/* " + name + " */\nENTRY(Reset_Handler)\n\nMEMORY\n{\n"
                     "  FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 256K\n"
                     "  RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 128K\n}\n\nSECTIONS\n{\n";
  for (int i = 0; text.size() < 5000; ++i) {
    text += "  .section" + std::to_string(i) + " : { *(.section" + std::to_string(i) +
            "*) } >FLASH\n";
  }
  return text + "}\n";
}

// The paths of the inputs below `root`.
BenchInputs InputsBelow(const std::string& root) {
  BenchInputs inputs;
  inputs.templatesPath = root + "/templates";
  inputs.bspPath = root + "/bsp";
  const std::string startup =
      inputs.bspPath + "/QM26R620A_625/libraries/cmsis/cm4/device_support/startup/gcc";
  inputs.linkerFolder = startup + "/linker";
  inputs.startupFile = startup + "/startup_qm26r620a_625.s";
  inputs.largeMdkFile = root + "/large/mdk/bench.uvprojx";
  inputs.list5kMdkFile = root + "/list5k/mdk/bench.uvprojx";
  inputs.list50kMdkFile = root + "/list50k/mdk/bench.uvprojx";
  return inputs;
}

bool WriteTemplateAndBsp(const BenchInputs& inputs) {
  const std::string templateFolder = inputs.templatesPath + "/QM26R620A/QM26_IDE";
  if (!WriteText(templateFolder + "/.project", kProjectTemplate) ||
      !WriteText(templateFolder + "/.cproject", CProjectTemplate()) ||
      !WriteText(templateFolder + "/preferences.ini", kPreferences)) {
    return false;
  }
  std::string assembly = "/* startup */\n  .syntax unified\n  .cpu cortex-m4\n";
  while (assembly.size() < 12000) assembly += "  .word Default_Handler\n";
  if (!WriteText(inputs.startupFile, assembly)) return false;
  // 20 scripts of the series; only QM26R620AxG_FLASH.ld is the chip's own.
  const char* models[] = {"QM26R620A", "QM26R625"};
  const char* codes[] = {"B", "C", "D", "E", "F", "G", "H", "I", "K", "M"};
  for (const char* model : models) {
    for (const char* code : codes) {
      const std::string name = std::string(model) + "x" + code + "_FLASH.ld";
      if (!WriteText(inputs.linkerFolder + "/" + name, LinkerScript(name))) return false;
    }
  }
  return true;
}

// 3,001 files of about 286 MB: the .uvprojx, 2,978 small sources, objects and listings, and 22
// binaries of 1 to 20 MB, laid out as a real MDK folder is.
bool WriteLargeMdkFolder(Random& random, const std::string& folder) {
  if (!WriteText(folder + "/bench.uvprojx", MdkProject(100, 20, "..\\mdk\\src\\"))) return false;
  for (size_t g = 0; g < 100; ++g) {
    for (size_t f = 0; f < 20; ++f) {
      const std::string tag = "g" + Padded(g, 3) + "_f" + Padded(f, 3);
      const std::string path = folder + "/src/g" + Padded(g, 3) + "/f" + Padded(f, 3) + ".c";
      if (!WriteText(path, SourceText(random, tag, random.Between(2000, 12000)))) return false;
    }
  }
  for (size_t i = 0; i < 300; ++i) {
    const std::string tag = "h" + Padded(i, 3);
    const std::string text = SourceText(random, tag, random.Between(1000, 5000));
    if (!WriteText(folder + "/inc/" + tag + ".h", text)) {
      return false;
    }
  }
  for (size_t i = 0; i < 300; ++i) {
    if (!WriteBinary(random, folder + "/Objects/o" + Padded(i, 3) + ".o",
                     random.Between(4000, 16000))) {
      return false;
    }
  }
  for (size_t i = 0; i < 200; ++i) {
    const std::string tag = "d" + Padded(i, 3);
    const std::string text = SourceText(random, tag, random.Between(300, 1700));
    if (!WriteText(folder + "/Objects/" + tag + ".d", text)) {
      return false;
    }
  }
  for (size_t i = 0; i < 178; ++i) {
    const std::string tag = "l" + Padded(i, 3);
    if (!WriteText(folder + "/Listings/" + tag + ".lst",
                   SourceText(random, tag, random.Between(6000, 22000)))) {
      return false;
    }
  }
  const size_t megabytes[] = {20, 20, 19, 18, 18, 17, 16, 15, 15, 14, 13,
                              13, 12, 11, 10, 9,  8,  6,  5,  3,  2,  1};
  size_t n = 0;
  for (size_t size : megabytes) {
    const char* place = n < 6 ? "/Objects/image" : n < 16 ? "/lib/vendor" : "/doc/manual";
    const char* extension = n < 6 ? ".axf" : n < 16 ? ".lib" : ".pdf";
    if (!WriteBinary(random, folder + place + Padded(n++, 2) + extension, size << 20)) return false;
  }
  return true;
}

}  // namespace

bool WriteBenchInputs(const std::string& root, BenchInputs* inputs) {
  *inputs = InputsBelow(root);

  const std::string stamp = root + "/inputs.stamp";
  if (FILE* file = std::fopen(stamp.c_str(), "r")) {
    char text[64] = {};
    const bool current = std::fread(text, 1, sizeof text - 1, file) > 0 &&
                         std::strcmp(text, kInputsVersion) == 0;
    std::fclose(file);
    if (current) return true;
  }

  std::error_code ignored;
  fs::remove(stamp, ignored);
  for (const char* folder : {"/large", "/list5k", "/list50k", "/templates", "/bsp"}) {
    fs::remove_all(root + folder, ignored);
  }
  Random random(kSeed);
  if (!WriteTemplateAndBsp(*inputs) ||
      !WriteLargeMdkFolder(random, fs::path(inputs->largeMdkFile).parent_path()) ||
      !WriteText(inputs->list5kMdkFile, MdkProject(50, 100, "..\\src\\")) ||
      !WriteText(inputs->list50kMdkFile, MdkProject(500, 100, "..\\src\\"))) {
    return false;
  }
  return WriteText(stamp, kInputsVersion);
}
