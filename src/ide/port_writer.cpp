// Writing the port for GCC into the generated project: its folder, the compatibility header, the
// C library bridge and the forwarding headers, and the build settings that use them.
#include "ide/port_writer.h"

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "app/console.h"
#include "fs/file_write.h"

namespace fs = std::filesystem;

namespace {

constexpr char kWriteFailed[] = "Failed to write file: ";

bool Fail(const Result& result) {
  PrintErrorLine(result.Describe());
  PrintLine(kWriteFailed + result.path());
  return false;
}

// Creates each folder of `relative` (a path of plain segments) below `base` that is not there yet,
// as this run made them: an existing one must be a folder the run created.
Result CreateFoldersBelow(const std::string& base, const std::string& relative,
                          std::set<std::string>* created) {
  std::string path = base;
  size_t from = 0;
  while (from < relative.size()) {
    size_t slash = relative.find('/', from);
    if (slash == std::string::npos) slash = relative.size();
    path += "/" + relative.substr(from, slash - from);
    from = slash + 1;
    if (created->count(path) != 0) continue;
    const Result made = CreateFolder(path);
    if (!made) return made;
    created->insert(path);
  }
  return Result::Success();
}

}  // namespace

std::string ChoosePortFolder(const std::string& projectFolder,
                             const std::vector<PlannedLink>& links) {
  std::set<std::string> linkFolders;
  for (const PlannedLink& link : links)
    linkFolders.insert(link.name.substr(0, link.name.find('/')));
  auto taken = [&](const std::string& name) {
    struct stat status;
    return linkFolders.count(name) != 0 ||
           lstat((projectFolder + "/" + name).c_str(), &status) == 0;
  };
  std::string name = kPortFolderName;
  for (int n = 2; taken(name); ++n) name = std::string(kPortFolderName) + "_" + std::to_string(n);
  return name;
}

bool WritePortFiles(const PortPlan& plan, const std::string& projectFolder,
                    const std::string& checkedFolder, const std::string& folder) {
  if (plan.empty()) return true;
  const std::string root = projectFolder + "/" + folder;
  if (const Result made = CreateFolder(root); !made) return Fail(made);
  if (!plan.header.empty()) {
    const Result written =
        WriteWholeFile(root + "/" + kCompatibilityHeaderName, CompatibilityHeaderText(plan));
    if (!written) return Fail(written);
  }
  if (plan.bridges()) {
    const Result written = WriteWholeFile(root + "/" + kLibraryBridgeName, LibraryBridgeText(plan));
    if (!written) return Fail(written);
  }
  std::set<std::string> created;
  for (const auto& [name, diskPath] : plan.forwards) {
    const std::string relative = std::string(kForwardingFolderName) + "/" + name;
    const std::string below = relative.substr(0, relative.rfind('/'));
    if (const Result made = CreateFoldersBelow(root, below, &created); !made) return Fail(made);
    // The include is resolved from the header's folder, where the check would have put it.
    const fs::path headerFolder = fs::path(checkedFolder) / folder / below;
    const std::string target =
        fs::path(diskPath).lexically_normal().lexically_relative(headerFolder).generic_string();
    const Result written = WriteWholeFile(root + "/" + relative,
                                          ForwardingHeaderText(target.empty() ? diskPath : target));
    if (!written) return Fail(written);
  }
  return true;
}

BuildSelection PortedSelection(const BuildSelection& selection, const PortPlan& plan,
                               const std::string& folder) {
  BuildSelection ported = selection;
  if (!plan.header.empty()) {
    ported.includeFiles.push_back("\"${workspace_loc:/${ProjName}}/" + folder + "/" +
                                  kCompatibilityHeaderName + "\"");
  }
  if (!plan.forwards.empty()) {
    ported.includePaths.insert(ported.includePaths.begin(),
                               "../" + folder + "/" + kForwardingFolderName);
  }
  return ported;
}
