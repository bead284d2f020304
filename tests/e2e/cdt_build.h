// Building a generated IDE project the way CDT's managed build does, with the ARM GNU toolchain.
#pragma once

#include <string>
#include <vector>

/// What one build did and made.
struct CdtBuild {
  bool linked = false;                 // every step succeeded and the image exists
  std::string log;                     // each command and its output, or why the build stopped
  std::vector<std::string> resources;  // the project-relative paths compiled, sorted
  std::string targetFlags;             // -mcpu, -mthumb, float ABI and FPU of the configuration
  std::string linkerScript;            // the linker script the link used
  std::string image;                   // the linked ELF file
  std::string mapFile;                 // the link map beside it (the test asks ld for one)
  std::string flashImage;              // the flash image made from it; "" when none is asked for
};

/// Builds the configuration whose folderInfo id contains `configPattern` of the generated project
/// in `projectFolder`, reading only its ".project" and ".cproject": every C, C++ and assembler
/// file of the project folder and every linked file, less the configuration's source-entry
/// exclusions, compiled in the configuration's build folder with its target options, include
/// paths and defines, then linked with the linker tool CDT uses (the C++ linker when the project
/// has the C++ nature) and its script into the configuration's artifact, and, when the
/// configuration asks for a flash image, copied into one by objcopy. Commands run through the
/// shell, as in CDT's makefiles.
CdtBuild BuildLikeCdt(const std::string& projectFolder, const std::string& configPattern);

/// "" when the image's vector table (section .isr_vector) starts at the FLASH origin of the
/// build's linker script and its reset entry points at Reset_Handler; otherwise what is wrong.
std::string VectorTableProblem(const CdtBuild& build);
