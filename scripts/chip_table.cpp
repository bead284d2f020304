// Prints the chip catalogue for scripts/generate-examples.sh, one model a line, in catalogue
// order: model, series ("-" when it has none), BSP core folder, startup file, "fpu" or "nofpu".
#include <cstdio>

#include "chip/chip_catalogue.h"

int main() {
  for (const ChipModelEntry& entry : ChipCatalogue()) {
    std::printf("%s %s %s %s %s\n", entry.model, *entry.series != '\0' ? entry.series : "-",
                CoreFolderName(entry.core), entry.startupFile, entry.hasFpu ? "fpu" : "nofpu");
  }
  return 0;
}
