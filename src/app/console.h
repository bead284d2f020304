// Console output: the one way a run writes a line to standard output or standard error.
#pragma once

#include <string>

/// Writes `text` and a newline to standard output: at once to a terminal, in blocks to a file or a
/// pipe (everything is out by the time the process ends or writes to standard error).
void PrintLine(const std::string& text);

/// Flushes standard output, then writes `text` and a newline to standard error at once: the
/// system's reason for a failure that a line on standard output names.
void PrintErrorLine(const std::string& text);
