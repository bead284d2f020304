// Reducing the project's "ldscripts" folder to the chip's script and writing its FLASH line.
#include "chip/linker_script.h"

#include <cstdio>
#include <dirent.h>
#include <vector>

#include "app/console.h"
#include "chip/chip_catalogue.h"
#include "chip/line_edit.h"
#include "fs/entry_kind.h"
#include "mdk/project_info.h"

namespace {

constexpr char kFlashLineFormat[] = "FLASH (rx)      : ORIGIN = 0x%08X, LENGTH = %dK";
constexpr char kFlashLinePattern[] = "FLASH (rx)";
constexpr char kNoLinkFile[] = "No link file found!";
constexpr char kDeleteFileError[] = "delete file error: ";
constexpr char kWriteFailed[] = "Failed to write file: ";

// The names of the entries of `dir` that are regular files; links and folders are never touched.
std::vector<std::string> ListRegularFiles(DIR* dir, const std::string& folder) {
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (ResolveEntryKindNoFollow(folder + "/" + name, entry->d_type) == EntryKind::kRegularFile) {
      names.push_back(name);
    }
  }
  return names;
}

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

LinkerScriptOutcome UpdateLinkerScript(const std::string& folder) {
  const std::string wanted = LinkerScriptName(g_project->chipModel, g_project->flashSizeCode);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    PrintLine(kNoLinkFile);
    return LinkerScriptOutcome::kNoFolder;
  }
  // The listing is read whole before anything is deleted, so deletions cannot disturb it.
  const std::vector<std::string> names = ListRegularFiles(dir, folder);
  closedir(dir);

  std::string script;
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    if (name == wanted) {
      script = path;
    } else if (std::remove(path.c_str()) != 0) {
      PrintLine(kDeleteFileError + path);
    }
  }
  if (script.empty()) return LinkerScriptOutcome::kDone;

  const std::string flashLine = FormatFlashLine(g_project->flashOrigin, g_project->flashSizeKb);
  const int32_t index = FindLineContaining(script.c_str(), kFlashLinePattern);
  if (index >= 0 && !ReplaceLine(script.c_str(), index, flashLine.c_str())) {
    PrintLine(kWriteFailed + script);
    return LinkerScriptOutcome::kWriteFailed;
  }
  return LinkerScriptOutcome::kDone;
}
