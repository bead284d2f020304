// The .project writer on arbitrary template bytes, with a fixed model.
#include <string>
#include <vector>

#include <tinyxml.h>

#include "fs/directory_list.h"
#include "fuzz/fuzz_support.h"
#include "ide/project_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = FuzzScratchFolder();
  const std::string path = folder + "/.project";
  WriteFuzzFile(path, data, size);
  // What the writer adds must never make a template that the library itself handles malformed.
  const bool wellFormed = SurvivesRoundTrip(path);
  std::vector<std::string> files;
  ListFilesBelow(folder, &files);
  if (GenerateProjectFile(FuzzModel(), folder, PlanLinks(FuzzModel(), files)) && wellFormed) {
    TiXmlDocument written;
    FuzzCheck(written.LoadFile(path.c_str()), "a written .project is well-formed XML");
  }
  return 0;
}
