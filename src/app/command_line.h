// The command line: five option-value pairs, plus -h/--help and --version on their own.
#pragma once

#include <string>

struct CommandLine {
  std::string mdkPath;
  std::string targetName;
  std::string templatesPath;
  std::string bspPath;
  std::string mdkTarget;
};

enum class CommandLineResult { kRun, kHelp, kVersion, kError };

/// Reads the arguments after the program name. Pairs are read from the first argument on; a
/// single trailing argument is ignored; an unknown option name is kError. "-h", "--help" or
/// "--version" as the only argument give kHelp or kVersion. Prints nothing.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, CommandLine* options);

/// The usage text printed for -h and --help.
std::string UsageText();
