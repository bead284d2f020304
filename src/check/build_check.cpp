// The check before the first build: what in the sources the IDE builds, and the headers they
// include, GCC will reject or ignore where the ARM Compiler took it.
#include "check/build_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "fs/case_match.h"
#include "fs/text_lines.h"
#include "check/arm_code_scan.h"

namespace {

constexpr char kLinePrefix[] = "Check before building: ";
constexpr char kNotCheckedPrefix[] = "not checked: ";
constexpr char kUnreadablePrefix[] = "not checked: cannot be read (";
constexpr char kSummarySuffix[] = " places to check before the first build.";
constexpr char kOnePlaceSummary[] = "1 place to check before the first build.";
// The headers of GCC and newlib a target may include without having them: the C library's, the
// compiler's own, and every header of newlib's sys/, machine/ and the like. A name without an
// extension is a C++ library header.
constexpr const char* kToolchainHeaders[] = {
    "_ansi.h",    "_newlib_version.h", "_syslist.h", "alloca.h",    "argz.h",       "arm_acle.h",
    "arm_cmse.h", "arm_fp16.h",        "arm_bf16.h", "arm_mve.h",   "arm_mve_types.h",
    "arm_neon.h", "assert.h",          "complex.h",  "ctype.h",     "dirent.h",     "endian.h",
    "envlock.h",  "envz.h",            "errno.h",    "fastmath.h",  "fcntl.h",      "fenv.h",
    "float.h",    "fnmatch.h",         "getopt.h",   "glob.h",      "grp.h",        "iconv.h",
    "ieeefp.h",   "inttypes.h",        "iso646.h",   "langinfo.h",  "libgen.h",     "limits.h",
    "locale.h",   "malloc.h",          "math.h",     "memory.h",    "newlib.h",     "paths.h",
    "pthread.h",  "pwd.h",             "reent.h",    "regdef.h",    "regex.h",      "sched.h",
    "search.h",   "setjmp.h",          "signal.h",   "spawn.h",     "stdalign.h",   "stdarg.h",
    "stdatomic.h", "stdbool.h",        "stddef.h",   "stdfix.h",    "stdint.h",     "stdint-gcc.h",
    "stdio.h",    "stdio_ext.h",       "stdlib.h",   "stdnoreturn.h", "string.h",   "strings.h",
    "tar.h",      "termios.h",         "tgmath.h",   "threads.h",   "time.h",       "uchar.h",
    "unctrl.h",   "unistd.h",          "unwind.h",   "utime.h",     "utmp.h",       "varargs.h",
    "wchar.h",    "wctype.h",          "wordexp.h",
};
constexpr const char* kToolchainHeaderFolders[] = {"sys/", "machine/", "rpc/", "bits/", "ssp/",
                                                   "c++/"};

bool IsToolchainHeader(const std::string& name) {
  if (name.find('.') == std::string::npos) return true;
  for (const char* folder : kToolchainHeaderFolders) {
    if (name.compare(0, std::strlen(folder), folder) == 0) return true;
  }
  for (const char* header : kToolchainHeaders) {
    if (name == header) return true;
  }
  return false;
}

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

std::string Written(const IncludeDirective& include, const std::string& name) {
  return include.angled ? "<" + name + ">" : "\"" + name + "\"";
}

std::string NowhereText(const IncludeDirective& include, const std::string& pack) {
  std::string text = "#include " + Written(include, include.name) +
                     " is found nowhere: not beside the file, not in the include paths, not a "
                     "header of GCC or newlib; ";
  if (!pack.empty()) text += "MDK took it from the pack " + pack + ": ";
  return text + "add its folder to the include paths";
}

std::string BackslashText(const IncludeDirective& include, const std::string& forward,
                          const std::string& shownFound) {
  std::string text = "#include " + Written(include, include.name) +
                     " is written with backslashes, which GCC takes as part of one file name; ";
  if (!shownFound.empty()) text += "it means " + shownFound + ": ";
  return text + "write " + Written(include, forward);
}

// "" for a file that was read; why it was not checked otherwise.
std::string NotCheckedText(const Result& read) {
  if (read.ok()) return "";
  if (read.systemError() != 0) return kUnreadablePrefix + read.reason() + ")";
  return kNotCheckedPrefix + read.reason();
}

class BuildChecker {
 public:
  explicit BuildChecker(const BuildCheckInput& input) : input_(input), macros_(input.defines) {
    for (const std::string& define : input.defines) {
      const std::string name = define.substr(0, define.find_first_of("=("));
      if (!name.empty()) macroNames_.insert(name);
    }
  }

  BuildCheckReport Run() {
    for (const CheckedSource& source : input_.sources) {
      switch (source.kind) {
        case CheckKind::kBuiltSource: {
          const SourceLanguage language = LanguageOfPath(source.diskPath);
          macros_.SetLanguage(language);
          ScanFile(source.diskPath, source.shownPath, language, true, 0);
          break;
        }
        case CheckKind::kLeftOutAssembler:
          CheckAssemblerSyntax(source);
          break;
        case CheckKind::kPrebuiltLibrary:
          records_.push_back({source.shownPath, kPrebuiltLibraryText, {}});
          break;
        case CheckKind::kPrebuiltObject:
          records_.push_back({source.shownPath, kPrebuiltObjectText, {}});
          break;
      }
    }
    BuildCheckReport report;
    TallyRetargeting();
    evidence_.macroNames = macroNames_;
    report.port = PlanPort(evidence_, input_.portFolder);
    report.lines = ReportLines(report.port.portedKeys);
    return report;
  }

 private:
  struct FileRecord {
    std::string shownPath;
    std::string wholeFile;  // what is said of the whole file (why it was not checked); "" if none
    std::vector<CodeFinding> findings;
  };

  std::string ShowPath(const std::string& diskPath) const {
    const std::string tidy = Tidy(diskPath);
    return input_.showPath ? input_.showPath(tidy) : tidy;
  }

  void ScanFile(const std::string& diskPath, const std::string& shownPath, SourceLanguage language,
                bool isSource, int depth) {
    // Most headers are reached again under the path they were first read by.
    if (!isSource && !readHeaders_.insert(diskPath).second) return;
    const size_t index = records_.size();
    records_.push_back({shownPath, "", {}});
    ArmCodeScanner scanner(&macros_, language);
    scanner.SetShownPath(shownPath);
    const std::string folder = FolderOf(diskPath);
    auto followIncludes = [&]() {
      for (const IncludeDirective& include : scanner.TakeIncludes()) {
        FollowInclude(include, folder, language, depth, index);
      }
    };
    // A file reached again, under any path, was scanned already; one that cannot be read is
    // named once.
    bool opened = false;
    bool again = false;
    const Result read = ReadTextLinesAt(
        folders_.At(diskPath), kMaxCheckedFileSize,
        [&](std::string_view line) {
          scanner.AddLine(line);
          if (scanner.HasIncludes()) followIncludes();
          return true;
        },
        [&](const struct stat& status) {
          opened = true;
          again = !scanned_.insert({status.st_dev, status.st_ino}).second;
          return !again;
        });
    struct stat status;
    if (!opened && !read && stat(diskPath.c_str(), &status) == 0) {
      again = !scanned_.insert({status.st_dev, status.st_ino}).second;
    }
    if (again) {
      records_.pop_back();
      return;
    }
    scanner.Finish();
    followIncludes();
    records_[index].wholeFile = NotCheckedText(read);
    std::vector<CodeFinding>& findings = records_[index].findings;
    findings.insert(findings.end(), scanner.findings().begin(), scanner.findings().end());
    macroNames_.insert(scanner.definedNames().begin(), scanner.definedNames().end());
    for (const ConstructUse& use : scanner.uses()) {
      evidence_.AddUse(index, use.line, use.name, {use.previous, use.called, !isSource});
    }
    evidence_.definedFunctions.insert(scanner.definedFunctions().begin(),
                                      scanner.definedFunctions().end());
    if (isSource) scanner.UndoOwnMacros();
  }

  // Where GCC finds an include, or would find it if case were ignored.
  struct FoundHeader {
    std::string path;       // "" when GCC finds it nowhere, case ignored or not
    std::string shownPath;  // as the report shows it
    bool caseOnly = false;  // found only when case is ignored
    std::string relative;   // for caseOnly: the name as written, spelt as on disk
  };

  FoundHeader FindHeader(IncludeDirective include, const std::string& folder) {
    // MDK read "\" as "/"; the lookup is of the file it meant.
    std::replace(include.name.begin(), include.name.end(), '\\', '/');
    std::vector<std::string> folders;
    if (!include.name.empty() && include.name[0] == '/') {
      folders.push_back("");
    } else {
      if (!include.angled) folders.push_back(folder);
      folders.insert(folders.end(), input_.includeFolders.begin(), input_.includeFolders.end());
    }
    FoundHeader header;
    for (const std::string& candidate : folders) {
      const std::string path = Join(candidate, include.name);
      if (IsRegularFile(path)) {
        header.path = path;
        header.shownPath = ShowPath(path);
        return header;
      }
    }
    // GCC finds it nowhere; MDK on a Windows disk would have found it by ignoring case. An
    // ambiguous match in a folder, or one that cannot be listed, is no match there.
    for (const std::string& candidate : folders) {
      CaseResolution found;
      caseResolver_.Resolve(candidate, include.name, &found).Ignore();
      if (found.match != CaseMatch::kIgnoringCase || !IsRegularFile(found.path)) continue;
      header.path = found.path;
      header.shownPath = ShowPath(found.path);
      header.caseOnly = true;
      header.relative = found.relative;
      return header;
    }
    return header;
  }

  void FollowInclude(const IncludeDirective& include, const std::string& folder,
                     SourceLanguage language, int depth, size_t index) {
    if (depth >= kMaxIncludeDepth) return;
    // Every source includes the same few headers: search each name once per folder it is
    // searched from (an angled one from the include folders only).
    std::string key = include.angled ? std::string() : folder;
    key += '\0';
    key += include.name;
    auto known = foundHeaders_.find(key);
    if (known == foundHeaders_.end()) {
      known = foundHeaders_.emplace(std::move(key), FindHeader(include, folder)).first;
    }
    const FoundHeader& header = known->second;
    if (include.name.find('\\') != std::string::npos) {
      std::string forward = include.name;
      std::replace(forward.begin(), forward.end(), '\\', '/');
      records_[index].findings.push_back(
          {include.line, 0, "",
           BackslashText(include, header.caseOnly ? header.relative : forward, header.shownPath),
           ""});
      if (!header.path.empty()) ScanFile(header.path, header.shownPath, language, false, depth + 1);
      return;
    }
    if (header.path.empty()) {
      if (!IsToolchainHeader(include.name)) {
        records_[index].findings.push_back(
            {include.line, 0, "", NowhereText(include, input_.packId), ""});
      }
      return;
    }
    if (header.caseOnly) {
      CodeFinding finding{include.line, 0, "",
                          CaseIncludeText(include, header.shownPath, header.relative), ""};
      finding.port = "#include \"" + include.name + "\"";
      records_[index].findings.push_back(std::move(finding));
      NoteCaseInclude(include, Tidy(header.path), language, index);
    }
    ScanFile(header.path, header.shownPath, language, false, depth + 1);
  }

  // A forwarding header can give every C and C++ file that writes `include` the one file it
  // means; an assembler file does not take the compilers' include paths.
  void NoteCaseInclude(const IncludeDirective& include, const std::string& diskPath,
                       SourceLanguage language, size_t index) {
    PortEvidence::CaseInclude& noted = evidence_.caseIncludes[include.name];
    if (noted.diskPath.empty()) noted.diskPath = diskPath;
    if (noted.diskPath != diskPath || language == SourceLanguage::kPreprocessedAssembler ||
        language == SourceLanguage::kAssembler) {
      noted.portable = false;
    }
    noted.places.Add(index, include.line);
  }

  // The places of the C library's retargeting that the bridge can take off the list.
  void TallyRetargeting() {
    static const char* const kKeys[] = {"fputc", "fgetc", "_sys_exit", kFileStructKey,
                                        kImportPragmaKey};
    for (size_t index = 0; index < records_.size(); ++index) {
      std::vector<CodeFinding>& findings = records_[index].findings;
      std::stable_sort(findings.begin(), findings.end(),
                       [](const CodeFinding& a, const CodeFinding& b) { return a.line < b.line; });
      for (const CodeFinding& finding : findings) {
        if (finding.port.empty() || macroNames_.count(finding.name) != 0) continue;
        for (const char* key : kKeys) {
          if (finding.port == key) evidence_.retargeting[key].Add(index, finding.line);
        }
      }
    }
  }

  void CheckAssemblerSyntax(const CheckedSource& source) {
    bool inBlockComment = false;
    bool armSyntax = false;
    const Result read =
        ReadTextLines(source.diskPath, kMaxCheckedFileSize, [&](std::string_view line) {
          armSyntax = IsArmSyntaxAssemblerLine(line, &inBlockComment);
          return !armSyntax;
        });
    FileRecord record{source.shownPath, NotCheckedText(read), {}};
    if (armSyntax) record.findings.push_back({1, 0, "", kArmSyntaxAssemblerText, ""});
    records_.push_back(std::move(record));
  }

  std::vector<std::string> ReportLines(const std::set<std::string>& ported) const {
    std::vector<std::string> lines;
    for (const FileRecord& record : records_) {
      if (!record.wholeFile.empty()) {
        lines.push_back(kLinePrefix + record.shownPath + ": " + record.wholeFile);
      }
      for (const CodeFinding& finding :
           SelectReportedFindings(record.findings, macroNames_, ported)) {
        lines.push_back(kLinePrefix + record.shownPath + ":" + std::to_string(finding.line) + ": " +
                        finding.text);
      }
    }
    const size_t places = lines.size();
    if (places == 1) lines.push_back(kOnePlaceSummary);
    if (places > 1) lines.push_back(std::to_string(places) + kSummarySuffix);
    return lines;
  }

  const BuildCheckInput& input_;
  MacroState macros_;
  std::set<std::string> macroNames_;
  std::set<std::pair<dev_t, ino_t>> scanned_;
  std::unordered_set<std::string> readHeaders_;
  OpenFolder folders_;  // the folder of the file read last: the sources of a folder come together
  std::unordered_map<std::string, FoundHeader> foundHeaders_;
  CaseResolver caseResolver_;
  std::vector<FileRecord> records_;
  PortEvidence evidence_;
};

}  // namespace

BuildCheckReport CheckBeforeBuilding(const BuildCheckInput& input) {
  return BuildChecker(input).Run();
}
