// What of the MDK target the generated project does not take over: the user's to-do list.
#include "ide/not_carried_over.h"

#include <algorithm>
#include <iterator>

#include "app/console.h"
#include "ide/build_settings.h"

namespace {

constexpr char kLineStart[] = "Not carried over: ";

struct TextSetting {
  const char* path;  // the key of ProjectInfo::settings
  const char* what;
};

constexpr TextSetting kMiscControls[] = {
    {"TargetArmAds/Cads/VariousControls/MiscControls", "C misc controls"},
    {"TargetArmAds/Aads/VariousControls/MiscControls", "assembler misc controls"},
    {"TargetArmAds/LDads/Misc", "linker misc controls"},
};

constexpr TextSetting kUserCommands[] = {
    {"TargetCommonOption/BeforeCompile/", "user command before each compile"},
    {"TargetCommonOption/BeforeMake/", "user command before the build"},
    {"TargetCommonOption/AfterMake/", "user command after the build"},
};

// Options of a group or file that uVision shows as three-state check boxes: 2 follows the target.
constexpr const char* kCheckBoxes[] = {
    "interw",   "oTime",     "SplitLS",   "OneElfS",  "Strict",       "EnumInt",
    "PlainCh",  "Ropi",      "Rwpi",      "uThumb",   "uSurpInc",     "uC99",
    "uGnu",     "useXO",     "vShortEn",  "vShortWch", "v6WtE",       "v6Rtti",
    "thumb",    "SwStkChk",  "NoWarn",    "uClangAs", "AlwaysBuild",  "GenerateAssemblyFile",
    "AssembleAssemblyFile", "PublicsOnly"};
// Drop-down lists whose first entry, 0, follows the target. The warning level is left out: it
// changes no code.
constexpr const char* kDropDowns[] = {"Optim", "v6Lang", "v6LangP", "ClangAsOpt"};
// Written as 0 or 2 by uVision when they follow the target.
constexpr const char* kZeroOrTwo[] = {"v6Lto", "UseCPPCompiler"};

bool IsOneOf(const std::string& name, const char* const* begin, const char* const* end) {
  return std::find_if(begin, end, [&](const char* item) { return name == item; }) != end;
}

std::string Setting(const ProjectInfo& project, const std::string& path) {
  const auto found = project.settings.find(path);
  return found != project.settings.end() ? found->second : "";
}

// True when the option at `path` (below GroupOption or FileOption) builds the group or file
// differently from the target with the text `text`.
bool Overrides(const std::string& path, const std::string& text) {
  const std::string::size_type slash = path.rfind('/');
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  const bool compilerOption = path.find("/Cads/") != std::string::npos ||
                              path.find("/Aads/") != std::string::npos;
  if (!compilerOption && path.rfind("CommonProperty/", 0) != 0) return false;
  if (path.find("/VariousControls/") != std::string::npos) return !text.empty();
  if (IsOneOf(name, std::begin(kCheckBoxes), std::end(kCheckBoxes))) return text != "2";
  if (IsOneOf(name, std::begin(kDropDowns), std::end(kDropDowns))) return text != "0";
  if (IsOneOf(name, std::begin(kZeroOrTwo), std::end(kZeroOrTwo))) {
    return text != "0" && text != "2";
  }
  return false;
}

// "Cads/Optim=4, Cads/Ropi=1": the options of one group or file that differ, "" when none do.
std::string OwnOverrides(const OwnOptions& options) {
  std::string list;
  for (const auto& [path, text] : options.values) {
    if (!Overrides(path, text)) continue;
    // "GroupArmAds/Cads/Optim" and "FileArmAds/Cads/Optim" read as "Cads/Optim".
    const std::string::size_type ads = path.find("ArmAds/");
    const std::string shown = ads == std::string::npos ? path : path.substr(ads + 7);
    list += (list.empty() ? "" : ", ") + shown + "=" + text;
  }
  return list;
}

}  // namespace

std::string NotCarriedOverLine(const std::string& what, const std::string& value) {
  return kLineStart + what + ": " + value;
}

std::vector<std::string> NotCarriedOver(const ProjectInfo& project) {
  std::vector<std::string> lines;
  const auto add = [&lines](const std::string& what, const std::string& value) {
    lines.push_back(NotCarriedOverLine(what, value));
  };
  for (const TextSetting& misc : kMiscControls) {
    const std::string text = Setting(project, misc.path);
    if (!text.empty()) add(misc.what, text);
  }
  for (const TextSetting& command : kUserCommands) {
    for (const char* number : {"1", "2"}) {
      const std::string block = command.path;
      const std::string name = Setting(project, block + "UserProg" + number + "Name");
      if (Setting(project, block + "RunUserProg" + number) == "1" && !name.empty()) {
        add(command.what, name);
      }
    }
  }
  for (const std::string& define : project.defines) {
    if (!IsLiteralDefine(define)) add("defines (Define)", define);
  }
  const std::string scatterFile = OwnScatterFile(project);
  if (!scatterFile.empty()) add("scatter file", scatterFile);
  for (const OwnOptions& options : project.ownOptions) {
    const std::string overrides = options.includeInBuild ? OwnOverrides(options) : "";
    if (overrides.empty()) continue;
    add(options.fileName.empty() ? "options of group " + options.groupName
                                 : "options of file " + options.groupName + "/" + options.fileName,
        overrides);
  }
  for (const std::string& kept : ChooseBuildSettings(project).kept) {
    lines.push_back(kLineStart + kept);
  }
  return lines;
}

void PrintNotCarriedOver(const ProjectInfo& project) {
  for (const std::string& line : NotCarriedOver(project)) PrintLine(line);
}
