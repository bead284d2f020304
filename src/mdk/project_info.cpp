// The in-memory model of the one MDK target that a run converts.
#include "mdk/project_info.h"

ProjectInfo* g_project = nullptr;

std::string OwnScatterFile(const ProjectInfo& project) {
  const auto setting = [&project](const char* path) {
    const auto found = project.settings.find(path);
    return found != project.settings.end() ? found->second : std::string();
  };
  if (setting("TargetArmAds/LDads/umfTarg") != "0") return "";
  return setting("TargetArmAds/LDads/ScatterFile");
}
