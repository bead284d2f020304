// The device settings file "preferences.ini" of the generated project.
#include "chip/settings_file.h"

#include "app/console.h"
#include "chip/line_edit.h"
#include "fs/project_path.h"
#include "mdk/project_info.h"

namespace {

constexpr char kSettingsFileName[] = "/preferences.ini";
constexpr int32_t kChipTargetLine = 2;
constexpr int32_t kChipSizeTypeLine = 3;
constexpr char kWriteFailed[] = "Failed to write file: ";

}  // namespace

std::string SizeTypeFor(char flashSizeCode) {
  if (flashSizeCode == 'G') return "G";
  if (flashSizeCode == 'M') return "M";
  return "O";
}

bool UpdateSettingsFile() {
  const std::string path = g_projectPath + kSettingsFileName;
  const std::string chipTarget = "chipTarget=" + g_project->deviceName;
  const std::string chipSizeType = "chipSizeType=" + SizeTypeFor(g_project->flashSizeCode);
  if (!ReplaceLine(path.c_str(), kChipTargetLine, chipTarget.c_str()) ||
      !ReplaceLine(path.c_str(), kChipSizeTypeLine, chipSizeType.c_str())) {
    PrintLine(kWriteFailed + path);
    return false;
  }
  return true;
}
