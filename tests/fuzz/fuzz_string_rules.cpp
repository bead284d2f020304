// The string rules on arbitrary text: define and include splitting, the device name, the flash
// origin, the file type, the link location and the UTF-8 check.
#include <string>
#include <vector>

#include "app/project_placement.h"
#include "chip/chip_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "ide/project_writer.h"
#include "fs/xml_text.h"
#include "mdk/mdk_text.h"
#include "mdk/mdk_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzScratchFolder();
  const std::string text(reinterpret_cast<const char*>(data), size);

  for (const std::string& define : SplitDefines(text)) {
    FuzzCheck(!define.empty(), "no empty define");
  }
  for (const std::string& path : SplitIncludePaths(text)) {
    FuzzCheck((path.rfind("../", 0) == 0 || IsAbsoluteMdkPath(path)) &&
                  path.find('\\') == std::string::npos,
              "include paths are absolute or start with ../, and use /");
  }
  char code = '?';
  int32_t sizeKb = -1;
  const std::string model = ParseDeviceName(text, &code, &sizeKb);
  FuzzCheck(text.rfind(model, 0) == 0 && sizeKb == FlashSizeFromCode(code),
            "the model starts the device name and the size fits the code");
  ParseFlashOrigin(text);
  ParseFileType(text);
  const LinkLocation location = LocateLinkedFile(text);
  FuzzCheck(location.remainingPath.find('\\') == std::string::npos, "a link location uses /");
  if (!location.isAbsolute) {
    FuzzCheck(LocationUri(location).rfind("PARENT-", 0) == 0 &&
                  location.remainingPath.rfind("../", 0) != 0,
              "a relative link location is PARENT-n-PROJECT_LOC with its climbs counted");
  }
  IsValidUtf8(text);
  if (IsXmlText(text)) {
    FuzzCheck(IsValidUtf8(text), "a text XML can carry is UTF-8");
  }
  const std::string encoded = EncodeUriPath(text);
  for (const char c : encoded) {
    FuzzCheck(static_cast<unsigned char>(c) > ' ' && c != '#' && c != '?' && c != '"' && c != '\\',
              "an encoded URI path holds no blank, control character, '#', '?', '\"' or '\\'");
  }
  std::vector<std::string> pieces;
  SplitString(text, "/\\", pieces);
  for (const std::string& piece : pieces) {
    FuzzCheck(!piece.empty() && piece.find_first_of("/\\") == std::string::npos,
              "split pieces are non-empty and hold no delimiter");
  }
  PathMatchesSeries(text, "QM26R620A");
  return 0;
}
