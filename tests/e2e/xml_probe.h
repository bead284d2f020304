// Reading generated XML files in tests: parsed with TinyXML, never compared as raw text.
#pragma once

#include <string>
#include <vector>

/// The "value" attributes of the listOptionValue children of the first "option" whose id
/// contains `optionPattern`, inside the first "folderInfo" whose id contains `configPattern`.
/// Empty when the file, the configuration or the option is missing.
std::vector<std::string> OptionValues(const std::string& cprojectPath, const std::string& configPattern,
                                      const std::string& optionPattern);

/// The "value" attribute of the first "option" whose id contains `optionPattern`, inside the first
/// "folderInfo" whose id contains `configPattern`; "<none>" when the file, the configuration, the
/// option or the attribute is missing.
std::string OptionValue(const std::string& cprojectPath, const std::string& configPattern,
                        const std::string& optionPattern);

/// The attribute `name` of the "configuration" element that holds the first "folderInfo" whose id
/// contains `configPattern`; "<none>" when any of them is missing.
std::string ConfigurationAttribute(const std::string& cprojectPath, const std::string& configPattern,
                                   const std::string& name);

struct ProjectLink {
  std::string name;
  std::string type;
  std::string locationUri;
  bool operator==(const ProjectLink& other) const {
    return name == other.name && type == other.type && locationUri == other.locationUri;
  }
};

/// The project name and the links of the last "linkedResources" of a ".project" file.
struct ProjectDescription {
  bool loaded = false;
  std::string name;
  std::vector<ProjectLink> links;
  std::vector<std::string> rootChildren;  // element names in order
};
ProjectDescription ReadProjectDescription(const std::string& projectPath);
