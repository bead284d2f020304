// Loading and saving whole XML files: the MDK project file, ".project" and ".cproject".
#pragma once

#include <cstddef>
#include <string>

#include <tinyxml.h>

#include "fs/result.h"

/// The one message for an XML file that cannot be loaded, followed by its path.
constexpr char kUnableToLoadFile[] = "Unable to load file: ";

/// The deepest element nesting a file may have. Real MDK and Eclipse files stay under 20 levels;
/// the XML library parses, copies and frees nested elements recursively, so a file nested far
/// deeper would overflow the stack.
constexpr size_t kMaxXmlDepth = 256;

/// The deepest element nesting that the XML library would reach when parsing `text`, counted the
/// way the library reads elements, comments, CDATA sections, declarations and quoted attribute
/// values. Never less than what the library reaches; stops counting once `limit` is passed.
size_t XmlNestingDepth(const std::string& text, size_t limit);

/// Loads the file at `path` into `document` with the library's default encoding handling, exactly
/// as TiXmlDocument::LoadFile would. Fails, naming `path` and why, when it is not a regular file,
/// cannot be read, nests elements deeper than kMaxXmlDepth, is empty or is not well-formed.
Result LoadXmlFile(const std::string& path, TiXmlDocument& document);

/// Writes `document` to `path` byte for byte as TiXmlDocument::SaveFile does, checking every
/// write and the close. Fails, naming `path`, when any of them fails (a full disk, a path that
/// cannot be opened for writing).
Result SaveXmlFile(const TiXmlDocument& document, const std::string& path);
