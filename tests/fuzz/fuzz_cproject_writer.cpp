// The .cproject writer on arbitrary template bytes, with a fixed model.
#include <string>

#include <tinyxml.h>

#include "fuzz/fuzz_support.h"
#include "ide/cproject_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = FuzzScratchFolder();
  const std::string path = folder + "/.cproject";
  WriteFuzzFile(path, data, size);
  // What the writer adds must never make a template that the library itself handles malformed.
  const bool wellFormed = SurvivesRoundTrip(path);
  BuildSelection selection;
  selection.includePaths = FuzzModel().includePaths;
  selection.excludedPaths = {"App/old.c", "startup/startup_x.s"};
  if (GenerateCProjectFile(FuzzModel(), folder, selection) && wellFormed) {
    TiXmlDocument written;
    FuzzCheck(written.LoadFile(path.c_str()), "a written .cproject is well-formed XML");
  }
  return 0;
}
