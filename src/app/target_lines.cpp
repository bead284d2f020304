// The lines about which MDK target a run converts.
#include "app/target_lines.h"

#include <unordered_set>

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

// The names -MDKTARGET can choose a target by, in document order: each once (it takes the first
// target of a name), the empty name left out (it chooses the first target), and not `taken`.
std::vector<std::string> ChoosableNames(const std::vector<std::string>& targetNames,
                                        const std::string* taken = nullptr) {
  std::unordered_set<std::string> seen;
  if (taken != nullptr) seen.insert(*taken);
  std::vector<std::string> names;
  for (const std::string& name : targetNames) {
    if (!name.empty() && seen.insert(name).second) names.push_back(name);
  }
  return names;
}

}  // namespace

std::string NoSuchTargetLine(const std::string& name, const std::string& mdkPath,
                             const std::vector<std::string>& targetNames) {
  return "No target named " + name + " in " + mdkPath +
         ". Its targets: " + Joined(ChoosableNames(targetNames));
}

std::string OtherTargetsLine(const std::vector<std::string>& targetNames) {
  if (targetNames.size() < 2) return "";
  const std::vector<std::string> others = ChoosableNames(targetNames, &targetNames.front());
  std::string line = "The MDK project has " + std::to_string(targetNames.size()) +
                     " targets; converting " + targetNames.front() + ".";
  if (!others.empty()) line += " Choose another with -MDKTARGET: " + Joined(others);
  return line;
}

std::string DuplicateTargetsLine(const std::vector<std::string>& targetNames) {
  std::unordered_set<std::string> seen;
  std::unordered_set<std::string> listed;
  std::vector<std::string> duplicates;
  for (const std::string& name : targetNames) {
    if (!name.empty() && !seen.insert(name).second && listed.insert(name).second) {
      duplicates.push_back(name);
    }
  }
  if (duplicates.empty()) return "";
  return "The MDK project has duplicate target names: " + Joined(duplicates) +
         "; -MDKTARGET takes the first target of each name.";
}
