// Writing the generated ".project": the project's name and one linked resource per C file.
#pragma once

#include <string>

#include "mdk/project_info.h"

/// Where a linked MDK file lives, relative to the generated project folder.
struct LinkLocation {
  bool isAbsolute = false;    // the MDK path is absolute: remainingPath is that path
  int parentCount = 0;        // the n of PARENT-n-PROJECT_LOC
  std::string remainingPath;  // the path below that folder, with "/" separators
};

/// False for an MDK `filePath` that starts with "./" or ".\": such a file lives in the MDK folder,
/// whose copy in the project builds it, and gets no link.
bool IsLinkedFile(const std::string& filePath);

/// The location of an MDK `filePath`: "\" becomes "/"; an absolute path stays as it is; otherwise
/// "." segments are dropped, each "name/.." pair is collapsed and the leading ".." segments are
/// counted and removed (".." inside a name such as "odd.." is part of the name).
LinkLocation LocateLinkedFile(const std::string& filePath);

/// "PARENT-<n>-PROJECT_LOC/<remaining path>".
std::string LocationUri(const LinkLocation& location);

/// Rewrites `projectFolder`/.project: the root's first "name" child element gets `project`'s
/// targetName (a root without one gets a new "name" element as its first child), the first
/// "linkedResources" is removed and a new one, appended as the root's last child, holds one link
/// (resource type 1, a file) per C or C++ file whose path does not start with "./" or ".\", with a
/// "locationURI", or a "location" for an absolute path. Prints
/// "Add project file configuration: <path>" per link. Returns false after
/// "Unable to load file: <path>" when the file cannot be loaded or holds no root element; a failed
/// save (also one that only shows at the flush or the close) prints
/// "Save file .project failed!" and returns false.
bool GenerateProjectFile(const ProjectInfo& project, const std::string& projectFolder);
