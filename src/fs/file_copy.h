// Copying one file byte for byte.
#pragma once

/// Copies `source` to `destination` (created, or truncated when it exists). Returns 1 on success
/// and -1 on failure. A source or destination that cannot be opened, a read error and a write
/// that fails (also one that only shows when the destination is flushed or closed, as on a full
/// disk) are reported with perror on standard error. Never prints to standard output.
int CopyFile(const char* source, const char* destination);
