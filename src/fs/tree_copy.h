// Copying directory trees, one progress line per copied file.
#pragma once

#include <string>

/// Copies every file and folder below `source` into `destination`, creating `destination` (but
/// not its parents) when it is missing. Prints "Successfully to copy file: <path>" per copied file.
/// Every entry that cannot be copied (a file, a folder that cannot be read or created, an entry
/// whose kind cannot be learnt) is named with "Failed to copy file: <source path>", its reason on
/// standard error, and the walk goes on with the next entry; a folder that cannot be read is not
/// created. Returns 0, or -1 when an argument is null, the source is missing, or anything failed.
/// Links are followed; a directory already being copied on the current path, or the destination
/// itself, is not entered (a source that is the destination gives 0 with nothing copied). Entries
/// that are neither a file nor a folder (dangling links, FIFOs, sockets) are skipped unopened.
int CopyDirectoryTree(const char* source, const char* destination);

/// Copies what `source` holds into the project folder `g_projectPath`, walking as
/// CopyDirectoryTree does. Returns 0 when everything was copied, also when `source` does not exist
/// or is not a folder, and 1 when anything failed (after naming it), `source` itself included.
int CopyDirectoryIntoProject(const std::string& source);

/// CopyDirectoryIntoProject for an existing `path`; 0 without output for an empty or missing one.
int CopyIntoProjectIfExists(const std::string& path);
