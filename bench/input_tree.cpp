// The benchmark's inputs: a template, a BSP series and MDK folders, written from a fixed seed.
#include "input_tree.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bump when the inputs change, so that an old tree under build/bench is written again.
constexpr char kInputsVersion[] = "qm26 bench inputs 3\n";
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

// A group of the target: its name and its files' FilePaths, as the MDK file writes them.
struct MdkGroup {
  std::string name;
  std::vector<std::string> filePaths;
};

// An MDK 5 project file for a QM26R620AVGT7 whose first target lists `groups`; each file's
// FileName is its FilePath's last segment.
std::string MdkProjectOf(const std::vector<MdkGroup>& groups) {
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
  for (const MdkGroup& group : groups) {
    xml += "        <Group>\n          <GroupName>" + group.name +
           "</GroupName>\n          <Files>\n";
    for (const std::string& path : group.filePaths) {
      xml += "            <File>\n              <FileName>" + path.substr(path.rfind('\\') + 1) +
             "</FileName>\n              <FileType>1</FileType>\n              <FilePath>" +
             path + "</FilePath>\n            </File>\n";
    }
    xml += "          </Files>\n        </Group>\n";
  }
  return xml + "      </Groups>\n    </Target>\n  </Targets>\n\n</Project>\n";
}

// The project file whose target lists `groups` groups of `filesPerGroup` C files at
// "<prefix>g<group>\f<file>.c".
std::string MdkProject(size_t groups, size_t filesPerGroup, const std::string& prefix) {
  std::vector<MdkGroup> listed;
  for (size_t g = 0; g < groups; ++g) {
    MdkGroup& group = listed.emplace_back();
    group.name = "g" + Padded(g, 3);
    for (size_t f = 0; f < filesPerGroup; ++f) {
      group.filePaths.push_back(prefix + group.name + "\\f" + Padded(f, 3) + ".c");
    }
  }
  return MdkProjectOf(listed);
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
  inputs.checkedMdkFile = root + "/checked/mdk/bench.uvprojx";
  inputs.minimalMdkFile = root + "/minimal/mdk/bench.uvprojx";
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

// The scenario of the check: 1,259 files of 84 MiB, 500 of them checked. 1,000 small
// sources in 40 folders (the .c half listed in the target, the .h half included by none), 8
// binaries of 10 MiB and 250 objects of 2 to 20 KB in Objects/.
bool WriteCheckedMdkFolder(Random& random, const std::string& folder) {
  std::vector<MdkGroup> groups;
  for (size_t d = 0; d < 40; ++d) {
    MdkGroup& group = groups.emplace_back();
    group.name = "d" + Padded(d, 2);
    for (size_t f = 0; f < 25; ++f) {
      const bool source = f % 2 == 0;
      const std::string name = "m" + Padded(d, 2) + "_" + Padded(f, 2) + (source ? ".c" : ".h");
      const std::string tag = "m" + Padded(d, 2) + "_" + Padded(f, 2);
      if (!WriteText(folder + "/src/" + group.name + "/" + name,
                     SourceText(random, tag, random.Between(500, 2500)))) {
        return false;
      }
      if (source) group.filePaths.push_back("src\\" + group.name + "\\" + name);
    }
  }
  // 40 folders of 25 files hold 520 .c files; the target lists 500 of them.
  size_t listed = 0;
  for (MdkGroup& group : groups) {
    if (listed + group.filePaths.size() > 500) group.filePaths.resize(500 - listed);
    listed += group.filePaths.size();
  }
  if (!WriteText(folder + "/bench.uvprojx", MdkProjectOf(groups))) return false;
  for (size_t i = 0; i < 8; ++i) {
    const std::string name = i < 4 ? "/Objects/image" + Padded(i, 1) + ".axf"
                                   : "/lib/vendor" + Padded(i, 1) + ".lib";
    if (!WriteBinary(random, folder + name, size_t{10} << 20)) return false;
  }
  for (size_t i = 0; i < 250; ++i) {
    if (!WriteBinary(random, folder + "/Objects/o" + Padded(i, 3) + ".o",
                     random.Between(2000, 20000))) {
      return false;
    }
  }
  return true;
}

// A target whose one source `text` is at src/a.c (with `header` at src/x.h when given), listed
// by `filePath`.
bool WriteOneSourceMdkFolder(const std::string& folder, const std::string& filePath,
                             const std::string& text, const std::string& header) {
  if (!header.empty() && !WriteText(folder + "/src/x.h", header)) return false;
  std::vector<MdkGroup> groups(1);
  groups[0].name = "app";
  groups[0].filePaths.push_back(filePath);
  return WriteText(folder + "/src/a.c", text) &&
         WriteText(folder + "/bench.uvprojx", MdkProjectOf(groups));
}

// `count` sources of one folder, on disk as src/f<n>.c and written as SRC\F<n>.C.
bool WriteUpperCaseMdkFolder(const std::string& folder, size_t count) {
  std::vector<MdkGroup> groups;
  for (size_t i = 0; i < count; ++i) {
    if (i % 100 == 0) groups.push_back({"g" + Padded(i / 100, 3), {}});
    const std::string name = "f" + Padded(i, 5);
    if (!WriteText(folder + "/src/" + name + ".c", "int " + name + ";\n")) return false;
    groups.back().filePaths.push_back("SRC\\F" + Padded(i, 5) + ".C");
  }
  return WriteText(folder + "/bench.uvprojx", MdkProjectOf(groups));
}

// One line of `__attribute__((` repeated, never closed: a file of exactly `bytes` bytes.
std::string UnclosedAttributes(size_t bytes) {
  std::string text = "int x ";
  const std::string opening = "__attribute__((";
  while (text.size() + opening.size() < bytes) text += opening;
  text.resize(bytes - 1, ' ');
  return text + "\n";
}

// `#include "./././.../x.h"` of `steps` "./" steps.
std::string DottedInclude(size_t steps) {
  std::string text = "#include \"";
  for (size_t i = 0; i < steps; ++i) text += "./";
  return text + "x.h\"\nint a;\n";
}

// `levels` macros, each the sum of the one before twice, and an #if of the last: GCC would
// expand 2^levels names.
std::string DoublingMacros(size_t levels) {
  std::string text = "#define M0 1\n";
  for (size_t i = 1; i <= levels; ++i) {
    text += "#define M" + std::to_string(i) + " (M" + std::to_string(i - 1) + " + M" +
            std::to_string(i - 1) + ")\n";
  }
  return text + "#if M" + std::to_string(levels) + " > 0\nint __packed taken;\n#endif\n";
}

std::string DotSteps(size_t steps) {
  std::string path;
  for (size_t i = 0; i < steps; ++i) path += ".\\";
  return path + "src\\a.c";
}

// The scaled inputs: each one's folders, sizes and how each is written.
bool WriteScaledInputs(const std::string& root, BenchInputs* inputs, bool write) {
  struct Size {
    std::string label;
    std::string folder;
    std::function<bool(const std::string& folder)> writeFolder;
  };
  struct Step {
    std::string name;
    std::vector<Size> sizes;
  };
  const auto oneSource = [](std::string filePath, std::function<std::string()> text,
                            std::string header) {
    return [=](const std::string& folder) {
      return WriteOneSourceMdkFolder(folder, filePath, text(), header);
    };
  };
  const auto upperCase = [](size_t count) {
    return [=](const std::string& folder) { return WriteUpperCaseMdkFolder(folder, count); };
  };
  const auto attributes = [&](size_t mebibytes) {
    return oneSource("src\\a.c", [=] { return UnclosedAttributes(mebibytes << 20); }, "");
  };
  const auto include = [&](size_t steps) {
    return oneSource("src\\a.c", [=] { return DottedInclude(steps); }, "int x;\n");
  };
  const auto filePath = [&](size_t steps) {
    return oneSource(DotSteps(steps), [] { return std::string("int a;\n"); }, "");
  };
  const auto doubling = [&](size_t levels) {
    return oneSource("src\\a.c", [=] { return DoublingMacros(levels); }, "");
  };
  const std::vector<Step> steps = {
      {"letter case of one folder's sources",
       {{"10,000", "case10k", upperCase(10000)}, {"20,000", "case20k", upperCase(20000)}}},
      {"unclosed __attribute__(( on one line",
       {{"1 MiB", "attr1m", attributes(1)},
        {"2 MiB", "attr2m", attributes(2)},
        {"4 MiB", "attr4m", attributes(4)}}},
      {"#include of ./ steps",
       {{"100,000", "include100k", include(100000)},
        {"200,000", "include200k", include(200000)},
        {"300,000", "include300k", include(300000)}}},
      {"FilePath of .\\ steps",
       {{"100,000", "filepath100k", filePath(100000)},
        {"200,000", "filepath200k", filePath(200000)}}},
      {"#if of doubling macros",
       {{"2^26", "expand26", doubling(26)}, {"2^52", "expand52", doubling(52)}}},
  };
  inputs->scaled.clear();
  for (const Step& step : steps) {
    BenchInputs::Scaled& scaled = inputs->scaled.emplace_back();
    scaled.name = step.name;
    for (const Size& size : step.sizes) {
      const std::string folder = root + "/" + size.folder + "/mdk";
      scaled.sizes.push_back(size.label);
      scaled.mdkFiles.push_back(folder + "/bench.uvprojx");
      if (write && !size.writeFolder(folder)) return false;
    }
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
    if (current) return WriteScaledInputs(root, inputs, false);
  }

  std::error_code ignored;
  fs::remove(stamp, ignored);
  // Everything below the root is ours: inputs of an older version go too.
  if (fs::is_directory(root, ignored)) {
    for (const fs::directory_entry& entry : fs::directory_iterator(root, ignored)) {
      fs::remove_all(entry.path(), ignored);
    }
  }
  Random random(kSeed);
  if (!WriteTemplateAndBsp(*inputs) ||
      !WriteLargeMdkFolder(random, fs::path(inputs->largeMdkFile).parent_path()) ||
      !WriteText(inputs->list5kMdkFile, MdkProject(50, 100, "..\\src\\")) ||
      !WriteText(inputs->list50kMdkFile, MdkProject(500, 100, "..\\src\\")) ||
      !WriteCheckedMdkFolder(random, fs::path(inputs->checkedMdkFile).parent_path()) ||
      !WriteOneSourceMdkFolder(fs::path(inputs->minimalMdkFile).parent_path(), "src\\a.c",
                               "int a;\n", "") ||
      !WriteScaledInputs(root, inputs, true)) {
    return false;
  }
  return WriteText(stamp, kInputsVersion);
}
