// Reducing the project's "ldscripts" folder to the chip's script and writing into it the memory the
// MDK target linked with: its FLASH and RAM lines, its smallest stack and heap.
#include "chip/linker_script.h"

#include <cerrno>
#include <cstdio>

#include "chip/chip_catalogue.h"
#include "chip/line_edit.h"
#include "fs/directory_list.h"

namespace {

constexpr char kFlashLinePrefix[] = "FLASH (rx)      : ORIGIN = ";
constexpr char kFlashLinePattern[] = "FLASH (rx)";
constexpr char kRamLinePrefix[] = "RAM (xrw)       : ORIGIN = ";
constexpr char kRamLinePattern[] = "RAM (xrw)";

// "ORIGIN = 0x%08X, LENGTH = <length>" after `prefix`: the length in KiB when it is a whole
// number of them, else in bytes.
std::string FormatRegionLine(const char* prefix, uint64_t origin, uint64_t lengthBytes) {
  char numbers[64];
  if (lengthBytes % 1024 == 0) {
    std::snprintf(numbers, sizeof numbers, "0x%08X, LENGTH = %lluK",
                  static_cast<unsigned int>(origin & 0xFFFFFFFFu),
                  static_cast<unsigned long long>(lengthBytes / 1024));
  } else {
    std::snprintf(numbers, sizeof numbers, "0x%08X, LENGTH = 0x%llX",
                  static_cast<unsigned int>(origin & 0xFFFFFFFFu),
                  static_cast<unsigned long long>(lengthBytes));
  }
  return prefix + std::string(numbers);
}

// Replaces the first line of `script` holding `pattern` with `text`; sets `replaced` when it did.
// A script without such a line is left as it is.
Result ReplaceFirstLineHolding(const std::string& script, const std::string& pattern,
                               const std::string& text, bool* replaced = nullptr) {
  int32_t index = -1;
  Result result = FindLineContaining(script, pattern, &index);
  if (!result || index < 0) return result;
  result = ReplaceLine(script, index, text);
  if (replaced != nullptr) *replaced = result.ok();
  return result;
}

}  // namespace

std::string FormatFlashLine(uint64_t origin, uint64_t lengthBytes) {
  return FormatRegionLine(kFlashLinePrefix, origin, lengthBytes);
}

std::string FormatRamLine(uint64_t origin, uint64_t lengthBytes) {
  return FormatRegionLine(kRamLinePrefix, origin, lengthBytes);
}

std::string FormatSizeLine(const std::string& symbol, uint64_t bytes) {
  char value[32];
  std::snprintf(value, sizeof value, "0x%llX", static_cast<unsigned long long>(bytes));
  return symbol + " = " + value + ";";
}

uint64_t FlashLengthOf(const ProjectInfo& project) {
  if (project.flashLength != 0) return project.flashLength;
  return static_cast<uint64_t>(project.flashSizeKb > 0 ? project.flashSizeKb : 0) * 1024;
}

LinkerScriptUpdate UpdateLinkerScript(const std::string& folder, const ProjectInfo& project,
                                      const StartupSizes& sizes) {
  LinkerScriptUpdate update;
  const std::string wanted = LinkerScriptName(project.chipModel, project.flashSizeCode);
  update.scriptName = wanted;
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

  // A scatter file placed the image itself: the target dialog's regions are not what MDK linked.
  if (OwnScatterFile(project).empty()) {
    update.written = ReplaceFirstLineHolding(
        script, kFlashLinePattern, FormatFlashLine(project.flashOrigin, FlashLengthOf(project)));
    if (!update.written) return update;
    if (project.ramLength != 0) {
      update.written = ReplaceFirstLineHolding(script, kRamLinePattern,
                                               FormatRamLine(project.ramOrigin, project.ramLength));
      if (!update.written) return update;
    }
  }
  if (sizes.stack.read) {
    update.written = ReplaceFirstLineHolding(script, std::string(kMinStackSymbol) + " =",
                                             FormatSizeLine(kMinStackSymbol, sizes.stack.bytes),
                                             &update.stackWritten);
    if (!update.written) return update;
  }
  if (sizes.heap.read) {
    update.written = ReplaceFirstLineHolding(script, std::string(kMinHeapSymbol) + " =",
                                             FormatSizeLine(kMinHeapSymbol, sizes.heap.bytes),
                                             &update.heapWritten);
  }
  return update;
}
