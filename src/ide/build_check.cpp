// The check before the first build: what in the sources the IDE builds, and the headers they
// include, GCC will reject or ignore where the ARM Compiler took it.
#include "ide/build_check.h"

#include <sys/stat.h>

#include <cstring>
#include <set>
#include <utility>

#include "fs/case_match.h"
#include "fs/text_lines.h"
#include "ide/arm_code_scan.h"

namespace {

constexpr char kLinePrefix[] = "Check before building: ";
constexpr char kUnreadablePrefix[] = "not checked: cannot be read (";
// GCC's own limit of nested includes.
constexpr int kMaxIncludeDepth = 200;

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || (!name.empty() && name[0] == '/')) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// `path` with its "." steps, empty steps and "x/.." pairs taken out, for showing.
std::string Tidy(const std::string& path) {
  const bool absolute = !path.empty() && path[0] == '/';
  std::vector<std::string> segments;
  for (size_t from = 0; from <= path.size();) {
    size_t slash = path.find('/', from);
    if (slash == std::string::npos) slash = path.size();
    const std::string segment = path.substr(from, slash - from);
    from = slash + 1;
    if (segment.empty() || segment == ".") continue;
    if (segment == ".." && !segments.empty() && segments.back() != "..") {
      segments.pop_back();
    } else if (segment != ".." || !absolute) {
      segments.push_back(segment);
    }
  }
  std::string tidy = absolute ? "/" : "";
  for (size_t i = 0; i < segments.size(); ++i) tidy += (i > 0 ? "/" : "") + segments[i];
  return tidy.empty() ? "." : tidy;
}

bool IsRegularFile(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string CaseIncludeText(const IncludeDirective& include, const std::string& shownFound,
                            const std::string& corrected) {
  const std::string open = include.angled ? "<" : "\"";
  const std::string close = include.angled ? ">" : "\"";
  return "#include " + open + include.name + close + " matches " + shownFound +
         " only when case is ignored: GCC does not find it; write " + open + corrected + close;
}

std::string NotCheckedText(const TextReadResult& result) {
  switch (result.status) {
    case TextReadStatus::kTooLarge:
      return kTooLargeText;
    case TextReadStatus::kNotText:
      return kNotTextText;
    case TextReadStatus::kUnreadable:
      return kUnreadablePrefix + std::string(strerror(result.error)) + ")";
    case TextReadStatus::kRead:
      break;
  }
  return "";
}

class BuildChecker {
 public:
  explicit BuildChecker(const BuildCheckInput& input) : input_(input), macros_(input.defines) {
    for (const std::string& define : input.defines) {
      const std::string name = define.substr(0, define.find_first_of("=("));
      if (!name.empty()) macroNames_.insert(name);
    }
  }

  std::vector<std::string> Run() {
    for (const CheckedSource& source : input_.sources) {
      if (source.builtByIde) {
        const SourceLanguage language = LanguageOfPath(source.diskPath);
        macros_.SetLanguage(language);
        ScanFile(source.diskPath, source.shownPath, language, true, 0);
      } else {
        CheckAssemblerSyntax(source);
      }
    }
    return ReportLines();
  }

 private:
  struct FileRecord {
    std::string shownPath;
    std::string notChecked;  // why the file was not checked (whole); "" when it was
    std::vector<CodeFinding> findings;
  };

  std::string ShowPath(const std::string& diskPath) const {
    const std::string tidy = Tidy(diskPath);
    return input_.showPath ? input_.showPath(tidy) : tidy;
  }

  void ScanFile(const std::string& diskPath, const std::string& shownPath, SourceLanguage language,
                bool isSource, int depth) {
    struct stat status;
    if (stat(diskPath.c_str(), &status) == 0) {
      // A file reached again, under any path, was scanned already.
      if (!scanned_.insert({status.st_dev, status.st_ino}).second) return;
    }
    const size_t index = records_.size();
    records_.push_back({shownPath, "", {}});
    ArmCodeScanner scanner(&macros_, language);
    const std::string folder = FolderOf(diskPath);
    auto followIncludes = [&]() {
      for (const IncludeDirective& include : scanner.TakeIncludes()) {
        FollowInclude(include, folder, language, depth, index);
      }
    };
    const TextReadResult result =
        ReadTextLines(diskPath, kMaxCheckedFileSize, [&](const std::string& line) {
          scanner.AddLine(line);
          followIncludes();
          return true;
        });
    scanner.Finish();
    followIncludes();
    records_[index].notChecked = NotCheckedText(result);
    std::vector<CodeFinding>& findings = records_[index].findings;
    findings.insert(findings.end(), scanner.findings().begin(), scanner.findings().end());
    macroNames_.insert(scanner.definedNames().begin(), scanner.definedNames().end());
    if (isSource) scanner.UndoOwnMacros();
  }

  void FollowInclude(const IncludeDirective& include, const std::string& folder,
                     SourceLanguage language, int depth, size_t index) {
    if (depth >= kMaxIncludeDepth) return;
    std::vector<std::string> folders;
    if (!include.name.empty() && include.name[0] == '/') {
      folders.push_back("");
    } else {
      if (!include.angled) folders.push_back(folder);
      folders.insert(folders.end(), input_.includeFolders.begin(), input_.includeFolders.end());
    }
    for (const std::string& candidate : folders) {
      const std::string path = Join(candidate, include.name);
      if (IsRegularFile(path)) {
        ScanFile(path, ShowPath(path), language, false, depth + 1);
        return;
      }
    }
    // GCC finds it nowhere; MDK on a Windows disk would have found it by ignoring case. An
    // ambiguous match in a folder is no match there.
    for (const std::string& candidate : folders) {
      const CaseResolution found = ResolveIgnoringCase(candidate, include.name);
      if (found.match != CaseMatch::kIgnoringCase || !IsRegularFile(found.path)) continue;
      const std::string shown = ShowPath(found.path);
      records_[index].findings.push_back(
          {include.line, 0, "", CaseIncludeText(include, shown, found.relative)});
      ScanFile(found.path, shown, language, false, depth + 1);
      return;
    }
  }

  void CheckAssemblerSyntax(const CheckedSource& source) {
    bool inBlockComment = false;
    bool armSyntax = false;
    const TextReadResult result =
        ReadTextLines(source.diskPath, kMaxCheckedFileSize, [&](const std::string& line) {
          armSyntax = IsArmSyntaxAssemblerLine(line, &inBlockComment);
          return !armSyntax;
        });
    FileRecord record{source.shownPath, NotCheckedText(result), {}};
    if (armSyntax) record.findings.push_back({1, 0, "", kArmSyntaxAssemblerText});
    records_.push_back(std::move(record));
  }

  std::vector<std::string> ReportLines() const {
    std::vector<std::string> lines;
    for (const FileRecord& record : records_) {
      if (!record.notChecked.empty()) {
        lines.push_back(kLinePrefix + record.shownPath + ": " + record.notChecked);
      }
      for (const CodeFinding& finding : SelectReportedFindings(record.findings, macroNames_)) {
        lines.push_back(kLinePrefix + record.shownPath + ":" + std::to_string(finding.line) + ": " +
                        finding.text);
      }
    }
    if (lines.size() == 1) {
      lines.push_back("1 place to check before the first build.");
    } else if (!lines.empty()) {
      lines.push_back(std::to_string(lines.size()) + " places to check before the first build.");
    }
    return lines;
  }

  const BuildCheckInput& input_;
  MacroState macros_;
  std::set<std::string> macroNames_;
  std::set<std::pair<dev_t, ino_t>> scanned_;
  std::vector<FileRecord> records_;
};

}  // namespace

std::vector<std::string> CheckBeforeBuilding(const BuildCheckInput& input) {
  return BuildChecker(input).Run();
}
