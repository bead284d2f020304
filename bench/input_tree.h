// The benchmark's inputs: a template, a BSP series and MDK folders, written from a fixed seed.
#pragma once

#include <string>
#include <vector>

/// Where the inputs below one root are; every path is absolute when the root is.
struct BenchInputs {
  std::string templatesPath;  // holds QM26R620A/QM26_IDE
  std::string bspPath;        // the BSP root, holding the series QM26R620A_625
  std::string linkerFolder;   // the series' GCC linker folder (20 scripts)
  std::string startupFile;    // the chip's GCC startup file
  std::string largeMdkFile;   // the .uvprojx in the 3,001-file, about 300 MB MDK folder
  std::string list5kMdkFile;  // a .uvprojx listing 5,000 C files, alone in its folder
  std::string list50kMdkFile; // a .uvprojx listing 50,000 C files, alone in its folder
  std::string checkedMdkFile; // the .uvprojx in the 1,259-file, 84 MiB MDK folder of 500 C files
  std::string minimalMdkFile; // a .uvprojx listing one C file of one line
  /// Inputs of one size and of twice (or more) that size, for a step that must stay linear.
  struct Scaled {
    std::string name;
    std::vector<std::string> sizes;     // the size of each input, as the table shows it
    std::vector<std::string> mdkFiles;  // the .uvprojx of each, smallest first
  };
  std::vector<Scaled> scaled;
};

/// Writes the inputs below `root` unless a stamp there says that this version of them is complete.
/// The same root always gets the same bytes. Returns false after a message on standard error when
/// a file cannot be written.
bool WriteBenchInputs(const std::string& root, BenchInputs* inputs);
