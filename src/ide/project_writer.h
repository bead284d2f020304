// Writing the generated ".project": the project's name and one linked resource per C file.
#pragma once

#include <string>
#include <vector>

#include "mdk/project_info.h"

/// Where a linked MDK file lives, relative to the generated project folder.
struct LinkLocation {
  bool isAbsolute = false;    // the MDK path is absolute: remainingPath is that path
  int parentCount = 0;        // the n of PARENT-n-PROJECT_LOC
  std::string remainingPath;  // the path below that folder, with "/" separators
};

/// False for an MDK `filePath` that starts with "./" or ".\" and, once normalised, stays inside
/// the MDK folder: such a file's copy in the project builds it, and it gets no link.
/// ".\..\src\main.c" leaves the folder and is linked.
bool IsLinkedFile(const std::string& filePath);

/// The location of an MDK `filePath`: "\" becomes "/"; an absolute path stays as it is; otherwise
/// "." segments are dropped, each "name/.." pair is collapsed and the leading ".." segments are
/// counted and removed (".." inside a name such as "odd.." is part of the name).
LinkLocation LocateLinkedFile(const std::string& filePath);

/// `path` as a URI path, written as Eclipse writes it: letters, digits, "-_.!~*'(),;:$&+=@/" and
/// the bytes of non-ASCII characters stay, every other byte becomes "%XX" ("my src" gives
/// "my%20src", "100%.c" "100%25.c").
std::string EncodeUriPath(const std::string& path);

/// "PARENT-<n>-PROJECT_LOC/<remaining path, URI-encoded>".
std::string LocationUri(const LinkLocation& location);

/// One linked resource of the generated project.
struct PlannedLink {
  std::string name;         // the link's project-relative name: "<group>/<file name>"
  std::string filePath;     // the MDK FilePath it links
  LinkLocation location;    // where that file lies
  bool built = true;        // false when MDK leaves the file out of the target's build
  std::string renamedFrom;  // the name it would have had, when that could not be used; "" else
  std::string why;          // why it could not
};

/// The links of `project`'s C and C++ files (those IsLinkedFile takes), in MDK order, named
/// "<group>/<file name>" as Eclipse can hold it: an empty, "." or ".." segment becomes "_" and a
/// "|" becomes "_"; a name that a file of the filled project folder (`projectFiles`, its files'
/// project-relative paths with "/", each once) or an earlier link already has gets "_2",
/// "_3"... before its extension. Prints nothing.
std::vector<PlannedLink> PlanLinks(const ProjectInfo& project,
                                   const std::vector<std::string>& projectFiles);

/// Rewrites `projectFolder`/.project: the root's first "name" child element gets `project`'s
/// targetName (a root without one gets a new "name" element as its first child), the first
/// "linkedResources" is removed and a new one, appended as the root's last child, holds `links`
/// (resource type 1, a file), each with a "locationURI", or a "location" for an absolute path.
/// Prints "Add project file configuration: <path>" per link, after
/// "Link name changed: <name> -> <new name> (<why>)" for a link that could not take its name.
/// Returns false after "Unable to load file: <path>" when the file cannot be loaded or holds no
/// root element; a failed save (also one that only shows at the close) prints
/// "Save file .project failed!" and returns false.
bool GenerateProjectFile(const ProjectInfo& project, const std::string& projectFolder,
                         const std::vector<PlannedLink>& links);
