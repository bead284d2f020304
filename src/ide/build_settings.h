// The MDK target's build settings in the IDE project: one table from MDK elements to the options of
// the GNU ARM Eclipse plug-in, and the writing of those options into a configuration.
#pragma once

#include <set>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "mdk/project_info.h"

/// The element of a configuration that owns an option: its toolChain or one of its tools.
enum class OptionOwner {
  kToolChain,
  kCCompiler,
  kCppCompiler,
  kCLinker,
  kCppLinker,
  kAssembler,
  kCreateFlash
};

/// One option value to write into a configuration.
struct OptionValue {
  OptionOwner owner = OptionOwner::kToolChain;
  std::string superClass;           // the plug-in's option id, which the option's superClass names
  // "boolean", "enumerated", "definedSymbols", "includePath" or "includeFiles"
  std::string valueType;
  std::string value;                // of a boolean or enumerated option
  std::vector<std::string> values;  // of a list option (the last three types)
};

/// What the MDK settings change in one configuration.
struct ConfigurationSettings {
  std::vector<OptionValue> options;
  std::string artifactName;          // "" leaves the configuration's own
  std::vector<std::string> lines;    // printed once the configuration is written
};

/// The MDK settings of a target as the IDE project takes them over.
struct BuildSettings {
  ConfigurationSettings debug;
  ConfigurationSettings release;
  /// "<setting>: <value>" for each setting that is present but whose value the table does not
  /// carry, so the template's stays: an unknown choice, an OutputName that is not a plain file
  /// name, and each assembler define that is not literal.
  std::vector<std::string> kept;
};

/// True when the build can carry `define` as it stands: it holds no "$" or backquote, which make
/// and the shell expand on the compiler's command line (CDT quotes nothing). Pure.
bool IsLiteralDefine(const std::string& define);

/// The defines of `defines` that IsLiteralDefine takes, in order. Pure.
std::vector<std::string> LiteralDefines(const std::vector<std::string>& defines);

/// The artifact name an MDK OutputName gives: without an ending ".elf" or ".axf" (in any case),
/// which the build adds itself. Pure.
std::string ArtifactNameOf(const std::string& outputName);

/// True when the build takes `name` literally as a file name in the project's build folder:
/// letters, digits, "_", "-", "+", "." and non-ASCII characters only, not beginning with "-" or
/// ".", and without "..". Pure.
bool IsPlainFileName(const std::string& name);

/// What the table makes of `project`'s settings, row by row. A setting whose element is missing
/// or empty, or that does not apply to the target's compiler or chip, changes nothing. The Debug
/// configuration builds as the MDK target did; the Release configuration keeps the template's
/// optimization and takes every other setting. Pure.
BuildSettings ChooseBuildSettings(const ProjectInfo& project);

/// The path of the first MDK setting whose text the IDE project would take over, in table order,
/// that `isValid` refuses (not UTF-8, not a text XML can carry); "" when it takes them all.
std::string FirstCarriedSettingRefusedBy(const ProjectInfo& project,
                                         bool (*isValid)(const std::string&));

/// The id numbers (the part after an id's last ".", digits only) used anywhere below `root`.
std::set<std::string> UsedIdNumbers(const TiXmlElement* root);

/// Sets the option of `owner` whose superClass is `option.superClass` (an option without a
/// superClass counts when its id is that name and a number) to `option`'s value, or its list of
/// values. Adds the option as CDT writes it, `<option id="<superClass>.<number>"
/// superClass="<superClass>" value="…" valueType="…"/>`, after the owner's last option when it has
/// none; the number is one not in `usedNumbers`, which then holds it.
void SetOption(TiXmlElement* owner, const OptionValue& option, std::set<std::string>& usedNumbers);

/// Writes `settings` into the configuration `configurationName` ("Debug", "Release") whose
/// folderInfo id holds `configPattern` below `root`: each option into its owner, a tool of the
/// configuration's toolChain that is missing added as CDT writes it, and the artifact name into
/// the configuration element; then prints the settings' lines. Does nothing when there is nothing
/// to write. Returns false after "Missing in <path>: <what>" when the configuration, its toolChain
/// or its configuration element is missing; `path` names the file.
bool WriteConfigurationSettings(TiXmlElement* root, const char* configPattern,
                                const std::string& configurationName,
                                const ConfigurationSettings& settings, const std::string& path);
