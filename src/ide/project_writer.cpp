// Writing the generated ".project": the project's name and one linked resource per C file.
#include "ide/project_writer.h"

#include <vector>

#include <tinyxml.h>

#include "app/console.h"
#include "fs/xml_file.h"
#include "mdk/mdk_path.h"

namespace {

constexpr char kProjectFileName[] = "/.project";
constexpr char kSaveFailed[] = "Save file .project failed!";
constexpr char kAddLink[] = "Add project file configuration: ";
// Eclipse's resource type of a linked file, whatever language the file holds.
constexpr char kFileResourceType[] = "1";

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

TiXmlElement* NewLinkedResources(const ProjectInfo& project) {
  TiXmlElement* linkedResources = new TiXmlElement("linkedResources");
  for (const SourceGroup& group : project.groups) {
    for (const SourceFile& file : group.files) {
      if (!IsLinkedFile(file.filePath)) continue;
      const LinkLocation location = LocateLinkedFile(file.filePath);
      TiXmlElement* link = new TiXmlElement("link");
      link->LinkEndChild(NewTextElement("name", group.groupName + "/" + file.fileName));
      link->LinkEndChild(NewTextElement("type", kFileResourceType));
      // An absolute path is given as a plain location, which Eclipse takes as it stands.
      if (location.isAbsolute) {
        link->LinkEndChild(NewTextElement("location", location.remainingPath));
      } else {
        link->LinkEndChild(NewTextElement("locationURI", LocationUri(location)));
      }
      linkedResources->LinkEndChild(link);
      PrintLine(kAddLink + location.remainingPath);
    }
  }
  return linkedResources;
}

}  // namespace

bool IsLinkedFile(const std::string& filePath) {
  const bool dotSlash =
      filePath.size() >= 2 && filePath[0] == '.' && (filePath[1] == '/' || filePath[1] == '\\');
  return !dotSlash;
}

LinkLocation LocateLinkedFile(const std::string& filePath) {
  const std::string path = ToForwardSlashes(filePath);
  LinkLocation location;
  if (IsAbsoluteMdkPath(path)) {
    location.isAbsolute = true;
    location.remainingPath = path;
    return location;
  }
  std::vector<std::string> segments = NormalizedSegments(path);
  // After normalising, every ".." left stands at the front: those are the climbs.
  while (location.parentCount < static_cast<int>(segments.size()) &&
         segments[location.parentCount] == "..") {
    ++location.parentCount;
  }
  segments.erase(segments.begin(), segments.begin() + location.parentCount);
  location.remainingPath = JoinSegments(segments);
  return location;
}

std::string LocationUri(const LinkLocation& location) {
  return "PARENT-" + std::to_string(location.parentCount) + "-PROJECT_LOC/" +
         location.remainingPath;
}

bool GenerateProjectFile(const ProjectInfo& project, const std::string& projectFolder) {
  const std::string path = projectFolder + kProjectFileName;
  TiXmlDocument document;
  TiXmlElement* root = LoadXmlFile(path, document) ? document.FirstChildElement() : nullptr;
  if (root == nullptr) {
    PrintLine(kUnableToLoadFile + path);
    return false;
  }

  TiXmlElement* name = NameElement(root);
  name->Clear();
  name->LinkEndChild(new TiXmlText(project.targetName));

  if (TiXmlElement* oldLinks = root->FirstChildElement("linkedResources")) {
    root->RemoveChild(oldLinks);
  }
  root->LinkEndChild(NewLinkedResources(project));

  if (!SaveXmlFile(document, path)) {
    PrintLine(kSaveFailed);
    return false;
  }
  return true;
}
