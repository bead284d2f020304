// Writing the generated ".project": the project's name and one linked resource per C file.
#include "ide/project_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include <tinyxml.h>

#include "app/console.h"
#include "fs/xml_file.h"
#include "mdk/mdk_path.h"

namespace {

constexpr char kProjectFileName[] = "/.project";
constexpr char kSaveFailed[] = "Save file .project failed!";
constexpr char kAddLink[] = "Add project file configuration: ";
constexpr char kLinkRenamed[] = "Link name changed: ";
constexpr char kNameNotUsable[] = "Eclipse cannot hold that name";
constexpr char kCopied[] = "a copied file or folder has that path";
constexpr char kLinked[] = "another link has that name";
// What a URI path keeps as it is, besides letters, digits and bytes of other UTF-8 characters:
// Java's URI, which Eclipse writes locations with, escapes everything else.
constexpr char kUriPathCharacters[] = "-_.!~*'(),;:$&+=@/";
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

TiXmlElement* NewLinkedResources(const std::vector<PlannedLink>& links) {
  TiXmlElement* linkedResources = new TiXmlElement("linkedResources");
  for (const PlannedLink& planned : links) {
    TiXmlElement* link = new TiXmlElement("link");
    link->LinkEndChild(NewTextElement("name", planned.name));
    link->LinkEndChild(NewTextElement("type", kFileResourceType));
    // An absolute path is given as a plain location, which Eclipse takes as it stands.
    if (planned.location.isAbsolute) {
      link->LinkEndChild(NewTextElement("location", planned.location.remainingPath));
    } else {
      link->LinkEndChild(NewTextElement("locationURI", LocationUri(planned.location)));
    }
    linkedResources->LinkEndChild(link);
    if (!planned.renamedFrom.empty()) {
      PrintLine(kLinkRenamed + planned.renamedFrom + " -> " + planned.name + " (" + planned.why +
                ")");
    }
    PrintLine(kAddLink + planned.location.remainingPath);
  }
  return linkedResources;
}

// A name Eclipse can hold for each segment of `path`: an empty segment, "." and ".." become "_",
// and "|", which would split CDT's exclusion lists, becomes "_".
std::string EclipseName(const std::string& path) {
  std::string name;
  std::string::size_type start = 0;
  while (start <= path.size()) {
    std::string::size_type end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == "..") segment = "_";
    std::replace(segment.begin(), segment.end(), '|', '_');
    name += (name.empty() ? "" : "/") + segment;
    start = end + 1;
  }
  return name;
}

// `name` with "_<n>" before the extension of its last segment.
std::string Numbered(const std::string& name, int n) {
  const std::string::size_type slash = name.rfind('/');
  const std::string::size_type dot = name.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::string::size_type at = hasExtension ? dot : name.size();
  return name.substr(0, at) + "_" + std::to_string(n) + name.substr(at);
}

// The paths a link must not take: every entry of the project folder and every earlier link, and
// the folders above them, which a file link cannot stand in either.
class TakenNames {
 public:
  explicit TakenNames(const std::vector<std::string>& projectFiles) {
    for (const std::string& file : projectFiles) AddFile(file, kCopied);
  }

  // Why `name` cannot be a file link here; "" when it can.
  std::string Conflict(const std::string& name) const {
    const auto folder = folders_.find(name);
    if (folder != folders_.end()) return folder->second;
    const auto file = files_.find(name);
    if (file != files_.end()) return file->second;
    for (std::string::size_type slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
      const auto above = files_.find(name.substr(0, slash));
      if (above != files_.end()) return above->second;
    }
    return "";
  }

  void AddFile(const std::string& name, const char* why) {
    files_.emplace(name, why);
    for (std::string::size_type slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
      folders_.emplace(name.substr(0, slash), why);
    }
  }

 private:
  // Looked up for each link and each folder above it: hashed, and the reasons not copied.
  std::unordered_map<std::string, const char*> files_;
  std::unordered_map<std::string, const char*> folders_;
};

}  // namespace

std::vector<PlannedLink> PlanLinks(const ProjectInfo& project,
                                   const std::vector<std::string>& projectFiles) {
  std::vector<PlannedLink> links;
  TakenNames taken(projectFiles);
  for (const SourceGroup& group : project.groups) {
    for (const SourceFile& file : group.files) {
      if (!IsLinkedFile(file.filePath)) continue;
      PlannedLink link;
      link.filePath = file.filePath;
      link.location = LocateLinkedFile(file.filePath);
      link.built = file.includeInBuild;
      const std::string wanted = group.groupName + "/" + file.fileName;
      link.name = EclipseName(wanted);
      if (link.name != wanted) {
        link.renamedFrom = wanted;
        link.why = kNameNotUsable;
      }
      const std::string conflict = taken.Conflict(link.name);
      if (!conflict.empty()) {
        if (link.renamedFrom.empty()) link.renamedFrom = wanted;
        link.why = conflict;
        const std::string base = link.name;
        for (int n = 2; !taken.Conflict(link.name).empty(); ++n) link.name = Numbered(base, n);
      }
      taken.AddFile(link.name, kLinked);
      links.push_back(std::move(link));
    }
  }
  return links;
}

bool IsLinkedFile(const std::string& filePath) {
  const bool dotSlash =
      filePath.size() >= 2 && filePath[0] == '.' && (filePath[1] == '/' || filePath[1] == '\\');
  if (!dotSlash) return true;
  // ".\..\src\main.c" starts like a file of the MDK folder but lies outside it.
  const std::vector<std::string> segments = NormalizedSegments(ToForwardSlashes(filePath));
  return !segments.empty() && segments.front() == "..";
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

std::string EncodeUriPath(const std::string& path) {
  std::string encoded;
  for (const char c : path) {
    const unsigned char byte = static_cast<unsigned char>(c);
    // strchr finds the terminating NUL too: a NUL byte must be escaped like any other.
    if (byte >= 0x80 || std::isalnum(byte) ||
        (c != '\0' && std::strchr(kUriPathCharacters, c) != nullptr)) {
      encoded += c;
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      encoded += escape;
    }
  }
  return encoded;
}

std::string LocationUri(const LinkLocation& location) {
  return "PARENT-" + std::to_string(location.parentCount) + "-PROJECT_LOC/" +
         EncodeUriPath(location.remainingPath);
}

bool GenerateProjectFile(const ProjectInfo& project, const std::string& projectFolder,
                         const std::vector<PlannedLink>& links) {
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
  root->LinkEndChild(NewLinkedResources(links));

  if (!SaveXmlFile(document, path)) {
    PrintLine(kSaveFailed);
    return false;
  }
  return true;
}
