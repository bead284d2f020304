// Writing the generated ".project": the project's name and one linked resource per C file.
#pragma once

#include <string>

/// Where a linked MDK file lives, relative to the generated project folder.
struct LinkLocation {
  int parentCount = 0;        // the n of PARENT-n-PROJECT_LOC
  std::string remainingPath;  // the path below that folder, with "/" separators
};

/// The location of an MDK `filePath`: "\" becomes "/", each "name/../" pair is collapsed, then the
/// "../" steps are counted and removed.
LinkLocation LocateLinkedFile(const std::string& filePath);

/// "PARENT-<n>-PROJECT_LOC/<remaining path>".
std::string LocationUri(const LinkLocation& location);

/// Rewrites g_projectPath/.project: the root's first "name" child element gets g_project's
/// targetName (a root without one gets a new "name" element as its first child), the first
/// "linkedResources" is removed and a new one, appended as the root's last child, holds one link
/// per C file whose path does not start with "./" or ".\". Prints
/// "Add project file configuration: <path>" per link. Returns false after
/// "Unable to load file: <path>" when the file cannot be loaded or holds no root element; a failed
/// save (also one that only shows at the flush or the close) prints
/// "Save file .project failed!" and returns false.
bool GenerateProjectFile();
