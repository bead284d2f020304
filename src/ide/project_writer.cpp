// Writing the generated ".project": the project's name and one linked resource per C file.
#include "ide/project_writer.h"

#include <vector>

#include <tinyxml.h>

#include "app/console.h"
#include "fs/project_path.h"
#include "mdk/project_info.h"
#include "mdk/xml_file.h"

namespace {

constexpr char kProjectFileName[] = "/.project";
constexpr char kUnableToLoad[] = "Unable to load file: ";
constexpr char kSaveFailed[] = "Save file .project failed!";
constexpr char kAddLink[] = "Add project file configuration: ";
constexpr char kParentStep[] = "../";

// Drops each "name/../" pair, a name being any segment other than "..", so that a path climbing
// back out of a folder it just entered keeps only the climbs that really leave the MDK folder.
std::string CollapseNameParentPairs(const std::string& path) {
  std::vector<std::string> segments;
  size_t start = 0;
  while (true) {
    const size_t slash = path.find('/', start);
    const bool last = slash == std::string::npos;
    const std::string segment = path.substr(start, last ? std::string::npos : slash - start);
    // Only a ".." that a "/" follows forms a "name/../" pair.
    if (!last && segment == ".." && !segments.empty() && segments.back() != "..") {
      segments.pop_back();
    } else {
      segments.push_back(segment);
    }
    if (last) break;
    start = slash + 1;
  }
  std::string result;
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) result += '/';
    result += segments[i];
  }
  return result;
}

bool IsInsideMdkFolder(const std::string& filePath) {
  return filePath.size() >= 2 && filePath[0] == '.' && (filePath[1] == '/' || filePath[1] == '\\');
}

TiXmlElement* NewTextElement(const char* name, const std::string& text) {
  TiXmlElement* element = new TiXmlElement(name);
  element->LinkEndChild(new TiXmlText(text));
  return element;
}

// The root's "name" element; a root without one gets it as its first child.
TiXmlElement* NameElement(TiXmlElement* root) {
  if (TiXmlElement* name = root->FirstChildElement("name")) return name;
  TiXmlElement* name = new TiXmlElement("name");
  if (root->FirstChild() == nullptr) {
    root->LinkEndChild(name);
    return name;
  }
  TiXmlNode* inserted = root->InsertBeforeChild(root->FirstChild(), *name);
  delete name;
  return inserted->ToElement();
}

TiXmlElement* NewLinkedResources() {
  TiXmlElement* linkedResources = new TiXmlElement("linkedResources");
  for (const SourceGroup& group : g_project->groups) {
    for (const SourceFile& file : group.files) {
      if (IsInsideMdkFolder(file.filePath)) continue;
      const LinkLocation location = LocateLinkedFile(file.filePath);
      TiXmlElement* link = new TiXmlElement("link");
      link->LinkEndChild(NewTextElement("name", group.groupName + "/" + file.fileName));
      link->LinkEndChild(NewTextElement("type", std::to_string(file.fileType)));
      link->LinkEndChild(NewTextElement("locationURI", LocationUri(location)));
      linkedResources->LinkEndChild(link);
      PrintLine(kAddLink + location.remainingPath);
    }
  }
  return linkedResources;
}

}  // namespace

LinkLocation LocateLinkedFile(const std::string& filePath) {
  std::string path = filePath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  path = CollapseNameParentPairs(path);

  LinkLocation location;
  // Every "../" counts, also one inside a segment such as ".../", as the location rule has it.
  for (size_t at = path.find(kParentStep); at != std::string::npos;
       at = path.find(kParentStep, at + 1)) {
    ++location.parentCount;
  }
  for (size_t at = path.find(kParentStep); at != std::string::npos;
       at = path.find(kParentStep, at)) {
    path.erase(at, 3);
  }
  location.remainingPath = path;
  return location;
}

std::string LocationUri(const LinkLocation& location) {
  return "PARENT-" + std::to_string(location.parentCount) + "-PROJECT_LOC/" +
         location.remainingPath;
}

bool GenerateProjectFile() {
  const std::string path = g_projectPath + kProjectFileName;
  TiXmlDocument document;
  TiXmlElement* root = LoadXmlFile(path, document) ? document.FirstChildElement() : nullptr;
  if (root == nullptr) {
    PrintLine(kUnableToLoad + path);
    return false;
  }

  TiXmlElement* name = NameElement(root);
  name->Clear();
  name->LinkEndChild(new TiXmlText(g_project->targetName));

  if (TiXmlElement* oldLinks = root->FirstChildElement("linkedResources")) {
    root->RemoveChild(oldLinks);
  }
  root->LinkEndChild(NewLinkedResources());

  if (!SaveXmlFile(document, path)) {
    PrintLine(kSaveFailed);
    return false;
  }
  return true;
}
