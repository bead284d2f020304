// The string rules on arbitrary text: define and include splitting, the device name, the flash
// origin, the file type, the link location, the UTF-8 check, and the scan for ARM Compiler code
// with its #if expressions.
#include <string>
#include <vector>

#include "app/project_placement.h"
#include "chip/chip_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "ide/project_writer.h"
#include "fs/xml_text.h"
#include "check/arm_code_scan.h"
#include "ide/build_selection.h"
#include "mdk/mdk_text.h"
#include "mdk/mdk_path.h"
#include "check/gcc_port.h"

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

  // The text as a source file of each language, one line at a time.
  for (const SourceLanguage language : {SourceLanguage::kC, SourceLanguage::kAssembler}) {
    MacroState macros({"QM26R620A", "LEVEL=2", "TWICE(x)=((x)*2)"});
    macros.SetLanguage(language);
    ArmCodeScanner scanner(&macros, language);
    int lines = 0;
    bool inBlockComment = false;
    bool inGnuComment = false;
    for (size_t from = 0; from < text.size();) {
      size_t end = text.find('\n', from);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(from, end - from);
      scanner.AddLine(line);
      IsArmSyntaxAssemblerLine(line, &inBlockComment);
      IsGnuDirectiveLine(line, &inGnuComment);
      ++lines;
      from = end + 1;
    }
    scanner.Finish();
    int previous = 0;
    for (const CodeFinding& finding : scanner.findings()) {
      FuzzCheck(finding.line >= 1 && finding.line <= lines && finding.line >= previous &&
                    !finding.text.empty(),
                "findings stand on the lines fed, in order, and say something");
      previous = finding.line;
    }
    // The port's evidence: every use on a line fed, and a decision whatever the uses were.
    PortEvidence evidence;
    for (const ConstructUse& use : scanner.uses()) {
      FuzzCheck(use.line >= 1 && use.line <= lines && !use.name.empty(),
                "uses stand on the lines fed and name something");
      evidence.AddUse(0, use.line, use.name, {use.previous, use.called, false});
    }
    evidence.definedFunctions = scanner.definedFunctions();
    const PortPlan plan = PlanPort(evidence, kPortFolderName);
    FuzzCheck(plan.lines.size() >= plan.header.size(), "every construct of the header has a line");
    for (size_t row = 0; row < plan.header.size() && row < plan.lines.size(); ++row) {
      FuzzCheck(plan.lines[row].rfind(std::string("Ported for GCC: ") + plan.header[row]->name +
                                          ", ",
                                      0) == 0,
                "the header's constructs are named in table order");
    }
    CompatibilityHeaderText(plan);
    LibraryBridgeText(plan);
    for (const IncludeDirective& include : scanner.TakeIncludes()) {
      FuzzCheck(include.line >= 1 && include.line <= lines && !include.name.empty(),
                "includes stand on the lines fed and name something");
    }
    scanner.UndoOwnMacros();
    macros.EvaluateCondition(text);
  }
  return 0;
}
