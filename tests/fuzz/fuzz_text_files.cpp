// Line search and replacement, the settings file and the linker-script step on arbitrary text.
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "chip/line_edit.h"
#include "chip/linker_script.h"
#include "chip/settings_file.h"
#include "fuzz/fuzz_support.h"

namespace {

size_t LineCount(const std::string& text) {
  const size_t breaks = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  return breaks + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = FuzzScratchFolder();
  const std::string input(reinterpret_cast<const char*>(data), size);

  // A rewrite keeps every line but the one it replaces.
  const std::string text = folder + "/text.txt";
  WriteFuzzFile(text, data, size);
  const std::string pattern = input.substr(0, std::min<size_t>(3, input.find('\n')));
  int32_t index = -1;
  FuzzCheck(FindLineContaining(text, pattern, &index).ok(), "a readable file is searched");
  FuzzCheck(ReplaceLine(text, index, "X").ok(), "a readable, writable file is rewritten");
  FuzzCheck(LineCount(ReadFuzzFile(text)) == LineCount(input), "a rewrite keeps the line count");

  // A settings file of four lines or more is rewritten; a shorter one is refused and left alone.
  WriteFuzzFile(folder + "/preferences.ini", data, size);
  const bool longEnough = LineCount(input) >= 4;
  FuzzCheck(UpdateSettingsFile(folder, FuzzModel()).ok() == longEnough,
            "a settings file is rewritten exactly when it holds the lines the run writes");
  if (!longEnough) {
    FuzzCheck(ReadFuzzFile(folder + "/preferences.ini") == input, "a refused file is left alone");
  }

  const std::string scripts = folder + "/ldscripts";
  mkdir(scripts.c_str(), 0755);
  WriteFuzzFile(scripts + "/QM26R620AxE_FLASH.ld", data, size);
  WriteFuzzFile(scripts + "/QM26R620AxG_FLASH.ld", data, size);
  const LinkerScriptUpdate update = UpdateLinkerScript(scripts, FuzzModel(), StartupSizes{});
  FuzzCheck(update.folder.ok() && update.notDeleted.empty() && update.script.ok(),
            "the scripts are adapted");
  const std::string script = ReadFuzzFile(scripts + "/QM26R620AxG_FLASH.ld");
  int32_t flashLine = -1;
  FuzzCheck(FindLineContaining(text, "FLASH (rx)", &flashLine).ok(), "a readable file is searched");
  if (flashLine >= 0 || input.find("FLASH (rx)") != std::string::npos) {
    FuzzCheck(script.find("FLASH (rx)      : ORIGIN = 0x08000000, LENGTH = 1024K\n") != std::string::npos,
              "a script with a FLASH line gets the chip's");
  }
  return 0;
}
