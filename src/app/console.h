// Console output: every progress and error message of a run goes through here to standard output.
#pragma once

#include <string>

/// Writes `text` and a newline to standard output, then flushes it.
void PrintLine(const std::string& text);
