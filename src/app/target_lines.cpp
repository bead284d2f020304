// The lines about which MDK target a run converts.
#include "app/target_lines.h"

namespace {

std::string Joined(std::vector<std::string>::const_iterator begin,
                   std::vector<std::string>::const_iterator end) {
  std::string joined;
  for (auto name = begin; name != end; ++name) joined += (name == begin ? "" : ", ") + *name;
  return joined;
}

}  // namespace

std::string NoSuchTargetLine(const std::string& name, const std::string& mdkPath,
                             const std::vector<std::string>& targetNames) {
  return "No target named " + name + " in " + mdkPath +
         ". Its targets: " + Joined(targetNames.begin(), targetNames.end());
}

std::string OtherTargetsLine(const std::vector<std::string>& targetNames) {
  if (targetNames.size() < 2) return "";
  return "The MDK project has " + std::to_string(targetNames.size()) + " targets; converting " +
         targetNames.front() + ". Choose another with -MDKTARGET: " +
         Joined(targetNames.begin() + 1, targetNames.end());
}
