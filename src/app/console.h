// Console output: the one way a run writes a line to standard output or standard error.
#pragma once

#include <string>

/// Writes `text` and a newline to standard output, then flushes it.
void PrintLine(const std::string& text);

/// Writes `text` and a newline to standard error, then flushes it: the system's reason for a
/// failure that a line on standard output names.
void PrintErrorLine(const std::string& text);
