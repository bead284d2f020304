// Copying directory trees, one progress line per copied file.
#pragma once

#include <string>

/// Copies every file and folder below `source` into `destination`, creating `destination` (but
/// not its parents) when it is missing. Prints "Successfully to copy file: <path>" per copied file.
/// Returns 0, or -1 when an argument is null, the source is missing or cannot be opened, or a file
/// directly in `source` fails to copy (after "Failed to copy file: <path>"; later entries are not
/// copied). A failure inside a sub-folder stops that sub-folder only. Links are followed; a
/// directory already being copied on the current path, or the destination itself, is not entered
/// (a source that is the destination gives 0 with nothing copied). Entries that are neither a file
/// nor a folder (dangling links, FIFOs, sockets) are skipped without being opened.
int CopyDirectoryTree(const char* source, const char* destination);

/// Copies what `source` holds into the project folder `g_projectPath`. Returns 0, also when
/// `source` cannot be opened, and 1 when a file directly in `source` fails to copy. Walks like
/// CopyDirectoryTree, sub-folders going to CopyDirectoryTree's walk below `g_projectPath`.
int CopyDirectoryIntoProject(const std::string& source);

/// CopyDirectoryIntoProject for an existing `path`; 0 without output for an empty or missing one.
int CopyIntoProjectIfExists(const std::string& path);
