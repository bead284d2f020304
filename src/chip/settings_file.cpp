// The device settings file "preferences.ini" of the generated project.
#include "chip/settings_file.h"

#include "chip/line_edit.h"

namespace {

constexpr int32_t kChipTargetLine = 2;
constexpr int32_t kChipSizeTypeLine = 3;

}  // namespace

std::string SizeTypeFor(char flashSizeCode) {
  if (flashSizeCode == 'G') return "G";
  if (flashSizeCode == 'M') return "M";
  return "O";
}

Result CheckSettingsFile(const std::string& path) {
  int32_t count = 0;
  Result counted = CountLines(path, &count);
  if (!counted) return counted;
  if (count <= kChipSizeTypeLine) {
    return Result::Failure(path, "fewer than 4 lines (chipTarget and chipSizeType go to lines 3 "
                                 "and 4)");
  }
  return Result::Success();
}

Result UpdateSettingsFile(const std::string& projectFolder, const ProjectInfo& project) {
  const std::string path = projectFolder + "/" + kSettingsFileName;
  Result checked = CheckSettingsFile(path);
  if (!checked) return checked;
  Result written = ReplaceLine(path, kChipTargetLine, "chipTarget=" + project.deviceName);
  if (!written) return written;
  return ReplaceLine(path, kChipSizeTypeLine,
                     "chipSizeType=" + SizeTypeFor(project.flashSizeCode));
}
