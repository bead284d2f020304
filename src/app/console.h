// Console output: the one way a run writes a line to standard output or standard error.
#pragma once

#include <string>

/// `text` as a terminal may safely show it: every byte below 0x20 but tab, and 0x7F, written as
/// "\n", "\r" or "\x1b"; a C1 control (U+0080 to U+009F) as "\u009b"; a byte that is not part
/// of UTF-8 as "\xff". Anything else stays as it is. Pure.
std::string ShownText(const std::string& text);

/// Writes ShownText(`text`) and a newline to standard output: at once to a terminal, in blocks
/// to a file or a pipe (everything is out by the time the process ends, writes to standard
/// error, or begins a step).
void PrintLine(const std::string& text);

/// Flushes standard output, then writes ShownText(`text`) and a newline to standard error at
/// once: the system's reason for a failure that a line on standard output names.
void PrintErrorLine(const std::string& text);

/// Writes out what standard output holds.
void FlushOutput();

/// From here on, SIGINT and SIGTERM write out what standard output holds, then the line
/// "Interrupted by <SIGINT|SIGTERM> while <step>: <project folder>" (or "...; nothing was
/// written." before a project folder is named), and end the process by that signal.
void CatchInterruptions();

/// Flushes standard output and names the step now running for an interruption's line: `step`
/// reads after "while" ("emptying the project folder").
void BeginStep(const char* step);

/// Names the project folder for an interruption's line, from the next step on.
void SetInterruptedFolder(const std::string& projectFolder);
