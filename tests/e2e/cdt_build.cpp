// Building a generated IDE project the way CDT's managed build does, with the ARM GNU toolchain.
#include "e2e/cdt_build.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include <tinyxml.h>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr char kOption[] = "ilg.gnuarmeclipse.managedbuild.cross.option.";
// Debian's toolchain has no C++ run-time library unless a 300 MB package is added, and the
// projects built here need none: every link goes through the C driver, with the options of the
// linker tool CDT would use.
constexpr char kCompilerC[] = "arm-none-eabi-gcc";
constexpr char kCompilerCpp[] = "arm-none-eabi-g++";

enum class Language { kNone, kC, kCpp, kAssembler };

Language LanguageOf(const std::string& path) {
  const std::string::size_type dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return Language::kNone;
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "c") return Language::kC;
  if (extension == "cpp" || extension == "cc" || extension == "cxx" || extension == "c++") {
    return Language::kCpp;
  }
  if (extension == "s" || extension == "asm") return Language::kAssembler;
  return Language::kNone;
}

std::string Attribute(const TiXmlElement* element, const char* name) {
  const char* value = element != nullptr ? element->Attribute(name) : nullptr;
  return value != nullptr ? value : "";
}

std::string Text(const TiXmlElement* element) {
  const char* text = element != nullptr ? element->GetText() : nullptr;
  return text != nullptr ? text : "";
}

// The first element named `name` below `scope` whose "id" starts with `idStart`.
const TiXmlElement* FindById(const TiXmlElement* scope, const char* name,
                             const std::string& idStart) {
  for (const TiXmlElement* child = scope->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    if (std::strcmp(child->Value(), name) == 0 && Attribute(child, "id").rfind(idStart, 0) == 0) {
      return child;
    }
    if (const TiXmlElement* found = FindById(child, name, idStart)) return found;
  }
  return nullptr;
}

// The project's name, natures and links, and one configuration of its build settings.
struct Project {
  std::string folder;
  std::string name;
  bool cppNature = false;
  std::map<std::string, std::string> links;  // link name -> file
  TiXmlDocument cproject;
  const TiXmlElement* configuration = nullptr;  // CDT's "configuration" element
  const TiXmlElement* folderInfo = nullptr;
};

// `uri` with each "%XX" turned back into its byte, as a URI parser reads it; "" for an escape
// that is not one.
std::string PercentDecoded(const std::string& uri) {
  std::string decoded;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] != '%') {
      decoded += uri[i];
      continue;
    }
    if (i + 2 >= uri.size() || !std::isxdigit(static_cast<unsigned char>(uri[i + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      return "";
    }
    decoded += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
    i += 2;
  }
  return decoded;
}

// A file a link names, from its locationURI (PARENT-n-PROJECT_LOC/..., PROJECT_LOC/...) or its
// plain location; "" for a form this builder does not know. A URI holds no blank, "%" or "#"
// unescaped: Eclipse's parser would reject it.
std::string LinkTarget(const std::string& folder, const TiXmlElement* link) {
  if (const TiXmlElement* location = link->FirstChildElement("location")) return Text(location);
  const std::string written = Text(link->FirstChildElement("locationURI"));
  if (written.find_first_of(" #?[]{}\"<>|^`") != std::string::npos) return "";
  const std::string uri = PercentDecoded(written);
  fs::path base = folder;
  std::string rest;
  if (uri.rfind("PROJECT_LOC/", 0) == 0) {
    rest = uri.substr(std::strlen("PROJECT_LOC/"));
  } else if (uri.rfind("PARENT-", 0) == 0 && uri.find("-PROJECT_LOC/") != std::string::npos) {
    const std::string::size_type dash = uri.find("-PROJECT_LOC/");
    const int parents = std::stoi(uri.substr(7, dash - 7));
    for (int i = 0; i < parents; ++i) base = base.parent_path();
    rest = uri.substr(dash + std::strlen("-PROJECT_LOC/"));
  } else {
    return "";
  }
  return (base / rest).string();
}

// Loads the two files; "" when they hold what a build needs, else what is missing.
std::string LoadProject(const std::string& folder, const std::string& configPattern,
                        Project& project) {
  project.folder = fs::canonical(folder).string();
  TiXmlDocument description;
  if (!description.LoadFile((folder + "/.project").c_str())) return "cannot load .project";
  const TiXmlElement* root = description.RootElement();
  project.name = Text(root->FirstChildElement("name"));
  if (const TiXmlElement* natures = root->FirstChildElement("natures")) {
    for (const TiXmlElement* nature = natures->FirstChildElement(); nature != nullptr;
         nature = nature->NextSiblingElement()) {
      if (Text(nature) == "org.eclipse.cdt.core.ccnature") project.cppNature = true;
    }
  }
  for (const TiXmlElement* resources = root->FirstChildElement("linkedResources");
       resources != nullptr; resources = resources->NextSiblingElement("linkedResources")) {
    for (const TiXmlElement* link = resources->FirstChildElement("link"); link != nullptr;
         link = link->NextSiblingElement("link")) {
      const std::string name = Text(link->FirstChildElement("name"));
      if (Text(link->FirstChildElement("type")) != "1") return "link " + name + " is not a file";
      const std::string target = LinkTarget(project.folder, link);
      if (target.empty()) return "link " + name + " has no location this builder knows";
      project.links[name] = target;
    }
  }

  if (!project.cproject.LoadFile((folder + "/.cproject").c_str())) return "cannot load .cproject";
  project.folderInfo =
      FindById(project.cproject.RootElement(), "folderInfo", std::string(configPattern));
  if (project.folderInfo == nullptr) return "no configuration " + configPattern;
  const TiXmlNode* parent = project.folderInfo->Parent();
  project.configuration = parent != nullptr ? parent->ToElement() : nullptr;
  if (project.configuration == nullptr ||
      std::strcmp(project.configuration->Value(), "configuration") != 0) {
    return "the folderInfo of " + configPattern + " is not inside a configuration";
  }
  return "";
}

// `text` with CDT's variables of the project replaced; sets `error` for any other variable.
std::string Expand(std::string text, const Project& project, std::string& error) {
  for (std::string::size_type at = text.find("${ProjName}"); at != std::string::npos;
       at = text.find("${ProjName}")) {
    text.replace(at, std::strlen("${ProjName}"), project.name);
  }
  const std::string workspace = "${workspace_loc:/" + project.name + "}";
  for (std::string::size_type at = text.find(workspace); at != std::string::npos;
       at = text.find(workspace)) {
    text.replace(at, workspace.size(), project.folder);
  }
  if (text.find("${") != std::string::npos) error += "unresolved variable in " + text + "\n";
  return text;
}

const TiXmlElement* Option(const Project& project, const std::string& name) {
  return FindById(project.folderInfo, "option", kOption + name + ".");
}

std::string OptionValue(const Project& project, const std::string& name) {
  return Attribute(Option(project, name), "value");
}

bool OptionTrue(const Project& project, const std::string& name) {
  return OptionValue(project, name) == "true";
}

std::vector<std::string> OptionList(const Project& project, const std::string& name,
                                    std::string& error) {
  std::vector<std::string> values;
  const TiXmlElement* option = Option(project, name);
  for (const TiXmlElement* value = option != nullptr ? option->FirstChildElement("listOptionValue")
                                                     : nullptr;
       value != nullptr; value = value->NextSiblingElement("listOptionValue")) {
    values.push_back(Expand(Attribute(value, "value"), project, error));
  }
  return values;
}

// The part of an enumerated option's value after `stem` ("" when the option or stem is missing).
std::string EnumChoice(const Project& project, const std::string& name, const std::string& stem) {
  const std::string value = OptionValue(project, name);
  const std::string::size_type at = value.find(stem);
  return at == std::string::npos ? "" : value.substr(at + stem.size());
}

std::string TargetFlags(const Project& project, std::string& error) {
  std::string flags;
  const std::string cpu = EnumChoice(project, "arm.target.family", "arm.target.mcpu.");
  if (cpu.empty()) error += "no ARM family\n";
  flags += "-mcpu=" + cpu;
  const std::string set = EnumChoice(project, "arm.target.instructionset", "instructionset.");
  if (set == "thumb") flags += " -mthumb";
  if (set == "arm") flags += " -marm";
  const std::string abi = EnumChoice(project, "arm.target.fpu.abi", "fpu.abi.");
  if (!abi.empty() && abi != "default") flags += " -mfloat-abi=" + abi;
  // The plug-in gives no FPU to a soft-float build.
  if (!abi.empty() && abi != "default" && abi != "soft") {
    const std::map<std::string, std::string> units = {
        {"default", ""}, {"fpv4spd16", "fpv4-sp-d16"}, {"fpv5spd16", "fpv5-sp-d16"},
        {"fpv5d16", "fpv5-d16"}};
    const std::string unit = EnumChoice(project, "arm.target.fpu.unit", "fpu.unit.");
    const auto known = units.find(unit);
    if (known == units.end()) error += "unknown FPU " + unit + "\n";
    if (known != units.end() && !known->second.empty()) flags += " -mfpu=" + known->second;
  }
  return flags;
}

std::string CommonCompileFlags(const Project& project) {
  const std::map<std::string, std::string> levels = {
      {"none", "-O0"}, {"optimize", "-O1"}, {"more", "-O2"},
      {"most", "-O3"}, {"size", "-Os"},     {"debug", "-Og"}};
  std::string flags;
  const auto level = levels.find(EnumChoice(project, "optimization.level", "optimization.level."));
  if (level != levels.end()) flags += " " + level->second;
  if (OptionTrue(project, "optimization.functionsections")) flags += " -ffunction-sections";
  if (OptionTrue(project, "optimization.datasections")) flags += " -fdata-sections";
  if (OptionTrue(project, "optimization.signedchar")) flags += " -fsigned-char";
  return flags;
}

// -D, -I and -include flags of one tool; values go into the command as written, as CDT's makefiles do.
std::string SymbolAndPathFlags(const Project& project, const std::string& tool,
                               std::string& error) {
  std::string flags;
  for (const std::string& define : OptionList(project, tool + ".defs", error)) {
    flags += " -D" + define;
  }
  for (const std::string& path : OptionList(project, tool + ".include.paths", error)) {
    flags += " -I" + path;
  }
  for (const std::string& file : OptionList(project, tool + ".include.files", error)) {
    flags += " -include " + file;
  }
  return flags;
}

// -std as the plug-in spells its choices: "c99", "gnu11", "cpp11" (c++11), "gnucpp14" (gnu++14).
std::string LanguageStandard(const Project& project, const std::string& tool) {
  std::string standard = EnumChoice(project, tool + ".std", ".std.");
  if (standard.empty() || standard == "default") return "";
  if (standard.rfind("gnucpp", 0) == 0) standard = "gnu++" + standard.substr(6);
  if (standard.rfind("cpp", 0) == 0) standard = "c++" + standard.substr(3);
  return " -std=" + standard;
}

// CDT's source entries of the configuration: folder -> paths excluded below it. No entries mean
// the whole project.
std::map<std::string, std::vector<std::string>> SourceEntries(const Project& project) {
  std::map<std::string, std::vector<std::string>> entries;
  const TiXmlElement* list = project.configuration->FirstChildElement("sourceEntries");
  if (list == nullptr) return {{"", {}}};
  for (const TiXmlElement* entry = list->FirstChildElement("entry"); entry != nullptr;
       entry = entry->NextSiblingElement("entry")) {
    if (Attribute(entry, "kind") != "sourcePath") continue;
    std::vector<std::string>& excluded = entries[Attribute(entry, "name")];
    std::stringstream patterns(Attribute(entry, "excluding"));
    for (std::string pattern; std::getline(patterns, pattern, '|');) {
      if (!pattern.empty()) excluded.push_back(pattern);
    }
  }
  return entries;
}

bool IsBelow(const std::string& path, const std::string& folder) {
  return folder.empty() || path == folder || path.rfind(folder + "/", 0) == 0;
}

// CDT's exclusion patterns: "?" stands for one character other than "/", "*" for any run of them.
bool MatchesPattern(const char* pattern, const char* path) {
  if (*pattern == '\0') return *path == '\0';
  if (*pattern == '*') {
    for (const char* rest = path;; ++rest) {
      if (MatchesPattern(pattern + 1, rest)) return true;
      if (*rest == '\0' || *rest == '/') return false;
    }
  }
  if (*path == '\0' || (*pattern != *path && (*pattern != '?' || *path == '/'))) return false;
  return MatchesPattern(pattern + 1, path + 1);
}

// True when `path` is the excluded `pattern` or lies below a folder it names.
bool IsExcludedBy(const std::string& path, const std::string& pattern) {
  if (MatchesPattern(pattern.c_str(), path.c_str())) return true;
  for (std::string::size_type slash = path.find('/'); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (MatchesPattern(pattern.c_str(), path.substr(0, slash).c_str())) return true;
  }
  return false;
}

bool IsBuilt(const std::string& resource,
             const std::map<std::string, std::vector<std::string>>& entries) {
  for (const auto& [folder, excluded] : entries) {
    if (!IsBelow(resource, folder)) continue;
    const std::string inside = folder.empty() ? resource : resource.substr(folder.size() + 1);
    if (std::none_of(excluded.begin(), excluded.end(),
                     [&](const std::string& pattern) { return IsExcludedBy(inside, pattern); })) {
      return true;
    }
  }
  return false;
}

bool Run(const std::string& command, const std::string& folder, std::string& log) {
  log += "$ " + command + "\n";
  const RunResult result = RunCommand({"/bin/sh", "-c", command + " 2>&1"}, folder);
  log += result.out;
  return result.exitStatus == 0;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

CdtBuild BuildLikeCdt(const std::string& projectFolder, const std::string& configPattern) {
  CdtBuild build;
  Project project;
  const std::string problem = LoadProject(projectFolder, configPattern, project);
  if (!problem.empty()) {
    build.log = problem;
    return build;
  }
  std::string error;
  const std::string builderPath = Attribute(
      FindById(project.folderInfo, "builder", "ilg.gnuarmeclipse.managedbuild.cross.builder"),
      "buildPath");
  const std::string buildFolder = Expand(builderPath, project, error);
  if (builderPath.empty() || buildFolder.rfind(project.folder + "/", 0) != 0) {
    error += "build folder " + builderPath + " is not inside the project\n";
  }

  // The resources CDT compiles: files of the project folder and linked files.
  std::map<std::string, std::string> resources;  // project-relative path -> file
  for (auto it = fs::recursive_directory_iterator(project.folder);
       it != fs::recursive_directory_iterator(); ++it) {
    if (it->is_regular_file()) {
      resources[it->path().lexically_relative(project.folder).generic_string()] = it->path();
    }
  }
  for (const auto& [name, file] : project.links) resources[name] = file;

  build.targetFlags = TargetFlags(project, error);
  const std::string common = build.targetFlags + CommonCompileFlags(project);
  const std::string cFlags = common + LanguageStandard(project, "c.compiler") +
                             SymbolAndPathFlags(project, "c.compiler", error);
  std::string cppFlags = common + LanguageStandard(project, "cpp.compiler") +
                         SymbolAndPathFlags(project, "cpp.compiler", error);
  if (OptionTrue(project, "cpp.compiler.noexceptions")) cppFlags += " -fno-exceptions";
  if (OptionTrue(project, "cpp.compiler.nortti")) cppFlags += " -fno-rtti";
  std::string asmFlags = common + SymbolAndPathFlags(project, "assembler", error);
  if (OptionTrue(project, "assembler.usepreprocessor")) asmFlags += " -x assembler-with-cpp";

  const std::string linker = project.cppNature ? "cpp.linker" : "c.linker";
  const std::vector<std::string> scripts = OptionList(project, linker + ".scriptfile", error);
  if (scripts.size() != 1) {
    error += linker + " has " + std::to_string(scripts.size()) + " scripts\n";
  }
  if (!error.empty()) {
    build.log = error;
    return build;
  }
  fs::create_directories(buildFolder);

  const auto entries = SourceEntries(project);
  std::string objects;
  for (const auto& [resource, file] : resources) {
    const Language language = LanguageOf(resource);
    if (language == Language::kNone || !IsBuilt(resource, entries)) continue;
    build.resources.push_back(resource);
    const std::string object = buildFolder + "/" + resource + ".o";
    fs::create_directories(fs::path(object).parent_path());
    const std::string compiler = language == Language::kCpp ? kCompilerCpp : kCompilerC;
    const std::string& flags = language == Language::kC     ? cFlags
                               : language == Language::kCpp ? cppFlags
                                                            : asmFlags;
    if (!Run(compiler + std::string(" ") + flags + " -c -o " + Quoted(object) + " " + Quoted(file),
             buildFolder, build.log)) {
      return build;
    }
    objects += " " + Quoted(object);
  }

  std::string linkFlags = build.targetFlags + " -T " + scripts[0];
  if (OptionTrue(project, linker + ".gcsections")) linkFlags += " -Wl,--gc-sections";
  if (OptionTrue(project, linker + ".nostart")) linkFlags += " -nostartfiles";
  if (OptionTrue(project, linker + ".usenewlibnano")) linkFlags += " --specs=nano.specs";
  if (OptionTrue(project, linker + ".usenewlibnosys")) linkFlags += " --specs=nosys.specs";
  build.linkerScript = scripts[0];
  build.linkerScript.erase(std::remove(build.linkerScript.begin(), build.linkerScript.end(), '"'),
                           build.linkerScript.end());
  // The artifact: the configuration's name for it, "elf" unless it says otherwise.
  std::string artifact = Attribute(project.configuration, "artifactName");
  artifact = Expand(artifact.empty() ? "${ProjName}" : artifact, project, error);
  std::string extension = Attribute(project.configuration, "artifactExtension");
  if (extension.empty()) extension = "elf";
  build.image = buildFolder + "/" + artifact + "." + extension;
  build.mapFile = buildFolder + "/" + artifact + ".map";
  build.linked = error.empty() &&
                 Run(std::string(kCompilerC) + " " + linkFlags + " -Wl,-Map=" +
                         Quoted(build.mapFile) + " -o " + Quoted(build.image) + objects,
                     buildFolder, build.log) &&
                 fs::exists(build.image);
  if (!error.empty()) build.log += error;
  if (!build.linked || !OptionTrue(project, "addtools.createflash")) return build;

  // The plug-in's flash image: objcopy in the chosen format (Intel HEX by default), named after
  // the artifact with the format's extension.
  const std::map<std::string, std::pair<std::string, std::string>> formats = {
      {"ihex", {"ihex", "hex"}},
      {"srec", {"srec", "srec"}},
      {"symbolsrec", {"symbolsrec", "symbolsrec"}},
      {"binary", {"binary", "bin"}}};
  std::string choice = EnumChoice(project, "createflash.choice", "createflash.choice.");
  if (choice.empty()) choice = "ihex";
  const auto format = formats.find(choice);
  if (format == formats.end()) {
    build.log += "unknown flash image format " + choice + "\n";
    build.linked = false;
    return build;
  }
  build.flashImage = buildFolder + "/" + artifact + "." + format->second.second;
  build.linked = Run("arm-none-eabi-objcopy -O " + format->second.first + " " +
                         Quoted(build.image) + " " + Quoted(build.flashImage),
                     buildFolder, build.log) &&
                 fs::exists(build.flashImage);
  return build;
}

std::string VectorTableProblem(const CdtBuild& build) {
  if (!build.linked) return "nothing was linked";
  uint64_t origin = 0;
  bool found = false;
  for (const std::string& line : SplitLines(ReadFile(build.linkerScript))) {
    const std::string::size_type at = line.find("ORIGIN = ");
    if (line.find("FLASH (rx)") != std::string::npos && at != std::string::npos) {
      origin = std::stoull(line.substr(at + std::strlen("ORIGIN = ")), nullptr, 16);
      found = true;
      break;
    }
  }
  if (!found) return "no FLASH line in " + build.linkerScript;

  const RunResult sections =
      RunCommand({"/usr/bin/arm-none-eabi-readelf", "-S", "-W", build.image}, "");
  uint64_t address = 0;
  uint64_t size = 0;
  found = false;
  for (const std::string& line : SplitLines(sections.out)) {
    const std::string::size_type bracket = line.find(']');
    std::istringstream fields(line.substr(bracket == std::string::npos ? 0 : bracket + 1));
    std::string name, type, addressText, offset, sizeText;
    fields >> name >> type >> addressText >> offset >> sizeText;
    if (name == ".isr_vector") {
      address = std::stoull(addressText, nullptr, 16);
      size = std::stoull(sizeText, nullptr, 16);
      found = true;
    }
  }
  // The linker script keeps an empty .isr_vector when no startup file fills it.
  if (!found || size < 8) return "the image has no vector table";
  if (address != origin) {
    std::ostringstream out;
    out << std::hex << ".isr_vector at 0x" << address << ", FLASH origin 0x" << origin;
    return out.str();
  }

  const std::string table = build.image + ".vectors";
  RunCommand({"/usr/bin/arm-none-eabi-objcopy", "-O", "binary", "-j", ".isr_vector", build.image,
              table},
             "");
  const std::string bytes = ReadFile(table);
  if (bytes.size() < 8) return "cannot read .isr_vector";
  uint32_t reset = 0;
  for (int i = 3; i >= 0; --i) reset = (reset << 8) | static_cast<unsigned char>(bytes[4 + i]);
  uint64_t handler = 0;
  const RunResult symbols = RunCommand({"/usr/bin/arm-none-eabi-nm", build.image}, "");
  for (const std::string& line : SplitLines(symbols.out)) {
    std::istringstream fields(line);
    std::string value, kind, name;
    if (fields >> value >> kind >> name && name == "Reset_Handler") {
      handler = std::stoull(value, nullptr, 16);
    }
  }
  if (handler == 0 || (reset & ~1u) != (handler & ~1u) || (reset & 1u) == 0) {
    std::ostringstream out;
    out << std::hex << "reset entry 0x" << reset << ", Reset_Handler at 0x" << handler;
    return out.str();
  }
  return "";
}
