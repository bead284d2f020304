// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#include "chip/linker_script.h"

#include <cerrno>
#include <cstdio>

#include "chip/chip_catalogue.h"
#include "chip/line_edit.h"
#include "fs/directory_list.h"

namespace {

constexpr char kFlashLineFormat[] = "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = %dK";
constexpr char kFlashLinePattern[] = "FLASH (rx)";

}  // namespace

std::string FormatFlashLine(uint64_t origin, int32_t flashSizeKb) {
  const unsigned int low = static_cast<unsigned int>(origin & 0xFFFFFFFFu);
  const int size = static_cast<int>(flashSizeKb);
  const int length = std::snprintf(nullptr, 0, kFlashLineFormat, low, size);
  if (length <= 0) return "";
  std::string line(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&line[0], line.size(), kFlashLineFormat, low, size);
  line.resize(static_cast<size_t>(length));
  return line;
}

LinkerScriptUpdate UpdateLinkerScript(const std::string& folder, const ProjectInfo& project) {
  LinkerScriptUpdate update;
  const std::string wanted = LinkerScriptName(project.chipModel, project.flashSizeCode);
  // The listing is read whole before anything is deleted, so deletions cannot disturb it.
  std::vector<DirectoryEntry> entries;
  update.folder = ListDirectory(folder, Links::kNoFollow, &entries);
  if (!update.folder) return update;

  std::string script;
  for (const DirectoryEntry& entry : entries) {
    if (entry.kind != EntryKind::kRegularFile) continue;
    const std::string path = folder + "/" + entry.name;
    if (entry.name == wanted) {
      script = path;
    } else if (std::remove(path.c_str()) != 0) {
      update.notDeleted.push_back(Result::FromErrno(path, errno));
    }
  }
  if (script.empty()) return update;

  int32_t index = -1;
  const Result found = FindLineContaining(script, kFlashLinePattern, &index);
  // A script that cannot be read cannot be rewritten either; it is left as it is, as before.
  if (!found || index < 0) return update;
  update.script =
      ReplaceLine(script, index, FormatFlashLine(project.flashOrigin, project.flashSizeKb));
  return update;
}
