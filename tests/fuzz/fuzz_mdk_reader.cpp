// The MDK reader on arbitrary bytes, and the nesting bound that guards the recursive XML parser.
#include <string>

#include <tinyxml.h>

#include "fs/xml_file.h"
#include "fuzz/fuzz_support.h"
#include "mdk/mdk_reader.h"
#include "support/depth_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzScratchFolder() + "/project.uvprojx";
  WriteFuzzFile(path, data, size);
  ProjectInfo info;
  if (ReadMdkProject(path, &info)) FirstNonUtf8Element(info);

  // Text as the parser reads it (no NUL, no CR) never nests deeper than the scanner counts.
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::min(text.size(), text.find('\0')));
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  const size_t depth = XmlNestingDepth(text, kMaxXmlDepth);
  if (depth <= kMaxXmlDepth) {
    text.append(8, '\0');
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    FuzzCheck(ParsedDepth(&document) <= depth, "the parser nests no deeper than the scanner counts");
  }
  return 0;
}
