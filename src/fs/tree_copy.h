// Copying directory trees, with an event per copied or failed entry.
#pragma once

#include <functional>
#include <string>

#include "fs/result.h"

/// Where a tree copy reports each entry as it goes: `copied` gets the source path of each copied
/// file; `failed` gets the source path of each entry that could not be copied and the failure,
/// which names the path that failed (the source, or the destination it was copied to) and why.
/// Either may be empty.
struct CopySink {
  std::function<void(const std::string& source)> copied;
  std::function<void(const std::string& source, const Result& why)> failed;
};

/// Copies every file and folder below `source` into `destination`, creating `destination` (but
/// not its parents) when it is missing. Every entry that cannot be copied (a file, a folder that
/// cannot be read or created, an entry whose kind cannot be learnt) goes to `sink.failed` and the
/// walk goes on with the next entry; a folder that cannot be read is not created. Fails when the
/// source is missing or anything failed. Links are followed; a directory already being copied on
/// the current path, or the destination itself, is not entered (a source that is the destination
/// copies nothing and succeeds). Entries that are neither a file nor a folder (dangling links,
/// FIFOs, sockets) are skipped unopened.
Result CopyDirectoryTree(const std::string& source, const std::string& destination,
                         const CopySink& sink);

/// Copies what `source` holds into the existing folder `projectFolder`, walking as
/// CopyDirectoryTree does. Succeeds when everything was copied, also when `source` does not exist
/// or is not a folder; fails when anything failed, `source` itself included (after reporting it).
Result CopyDirectoryIntoProject(const std::string& source, const std::string& projectFolder,
                                const CopySink& sink);

/// CopyDirectoryIntoProject for an existing `path`; success without events for an empty or
/// missing one.
Result CopyIntoProjectIfExists(const std::string& path, const std::string& projectFolder,
                               const CopySink& sink);
