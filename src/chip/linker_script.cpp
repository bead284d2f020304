// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#include "chip/linker_script.h"

#include <cerrno>
#include <cstdio>

#include "chip/chip_catalogue.h"
#include "chip/line_edit.h"
#include "fs/directory_list.h"

namespace {

constexpr char kFlashLinePrefix[] = "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = ";
constexpr char kFlashLinePattern[] = "FLASH (rx)";

}  // namespace

std::string FormatFlashLine(uint64_t origin, uint64_t lengthBytes) {
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, kFlashLinePrefix,
                static_cast<unsigned int>(origin & 0xFFFFFFFFu));
  char length[32];
  if (lengthBytes % 1024 == 0) {
    std::snprintf(length, sizeof length, "%lluK",
                  static_cast<unsigned long long>(lengthBytes / 1024));
  } else {
    std::snprintf(length, sizeof length, "0x%llX", static_cast<unsigned long long>(lengthBytes));
  }
  return std::string(prefix) + length;
}

uint64_t FlashLengthOf(const ProjectInfo& project) {
  if (project.flashLength != 0) return project.flashLength;
  return static_cast<uint64_t>(project.flashSizeKb > 0 ? project.flashSizeKb : 0) * 1024;
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
  if (script.empty()) {
    update.script = Result::Failure(folder + "/" + wanted, "no such file");
    return update;
  }

  int32_t index = -1;
  update.written = FindLineContaining(script, kFlashLinePattern, &index);
  if (!update.written || index < 0) return update;
  update.written =
      ReplaceLine(script, index, FormatFlashLine(project.flashOrigin, FlashLengthOf(project)));
  return update;
}
