// What of a target's ARM Compiler code the generated project ports for GCC, decided from what the
// check before the first build saw, and the text of the files that port it.
#include "check/gcc_port.h"

#include <utility>

namespace {

constexpr char kPortedPrefix[] = "Ported for GCC: ";
constexpr char kGeneratedBy[] = "Written by qm26-ide-gen: ";

// The retargeting hooks the bridge calls, each with the system call it implements through it.
struct Bridge {
  const char* hook;
  const char* systemCall;
  bool PortPlan::*flag;
};
constexpr Bridge kBridges[] = {
    {"fputc", "_write", &PortPlan::bridgeWrite},
    {"fgetc", "_read", &PortPlan::bridgeRead},
    {"_sys_exit", "_exit", &PortPlan::bridgeExit},
};

std::string Places(int count) {
  return std::to_string(count) + (count == 1 ? " place" : " places");
}

std::string PortedLine(const std::string& construct, int places, const std::string& file) {
  return kPortedPrefix + construct + ", " + Places(places) + ": " + file;
}

// Whether a forwarding header can stand at `name` below the forwarding folder: a relative path of
// plain segments.
bool IsForwardableName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos) return false;
  size_t from = 0;
  while (from <= name.size()) {
    size_t slash = name.find('/', from);
    if (slash == std::string::npos) slash = name.size();
    const std::string segment = name.substr(from, slash - from);
    if (segment.empty() || segment == "." || segment == "..") return false;
    from = slash + 1;
  }
  return true;
}

}  // namespace

void PlaceCount::Add(size_t file, int line) {
  if (count_ > 0 && file == lastFile_ && line == lastLine_) return;
  ++count_;
  lastFile_ = file;
  lastLine_ = line;
}

void PortEvidence::AddUse(size_t file, int line, const std::string& name,
                          const UseContext& context) {
  Construct& construct = constructs[name];
  construct.places.Add(file, line);
  const PortRow* row = FindPortRow(name);
  if (row == nullptr || !AcceptsUse(*row, context)) construct.everyUseAccepted = false;
}

PortPlan PlanPort(const PortEvidence& evidence, const std::string& folder) {
  PortPlan plan;
  const std::string header = folder + "/" + kCompatibilityHeaderName;
  for (const PortRow& row : PortRows()) {
    const auto used = evidence.constructs.find(row.name);
    if (used == evidence.constructs.end() || !used->second.everyUseAccepted ||
        evidence.macroNames.count(row.name) != 0) {
      continue;
    }
    plan.header.push_back(&row);
    plan.portedKeys.insert(row.name);
    plan.lines.push_back(PortedLine(row.name, used->second.places.count(), header));
  }

  const std::string bridge = folder + "/" + kLibraryBridgeName;
  auto retargetingPlaces = [&](const std::string& key) {
    const auto found = evidence.retargeting.find(key);
    return found == evidence.retargeting.end() ? 0 : found->second.count();
  };
  auto portRetargeting = [&](const std::string& key, const std::string& shown) {
    plan.portedKeys.insert(key);
    const int places = retargetingPlaces(key);
    if (places > 0) plan.lines.push_back(PortedLine(shown, places, bridge));
  };
  auto defined = [&](const char* name) { return evidence.definedFunctions.count(name) != 0; };
  for (const Bridge& entry : kBridges) {
    if (!defined(entry.hook) || defined(entry.systemCall) ||
        evidence.macroNames.count(entry.hook) != 0) {
      continue;
    }
    plan.*entry.flag = true;
    portRetargeting(entry.hook, entry.hook);
  }
  if (plan.bridges()) {
    plan.bridgeIsatty = plan.bridgeWrite && !defined("_isatty");
    portRetargeting(kFileStructKey, "struct __FILE");
    portRetargeting(kImportPragmaKey, kImportPragmaKey);
  }

  for (const auto& [name, include] : evidence.caseIncludes) {
    if (!include.portable || !IsForwardableName(name)) continue;
    plan.forwards.emplace_back(name, include.diskPath);
    const std::string key = "#include \"" + name + "\"";
    plan.portedKeys.insert(key);
    plan.lines.push_back(
        PortedLine(key, include.places.count(), folder + "/" + kForwardingFolderName + "/" + name));
  }
  return plan;
}

std::string CompatibilityHeaderText(const PortPlan& plan) {
  std::string text = std::string("/* ") + kCompatibilityHeaderName + ": " + kGeneratedBy +
                     "what ARM Compiler gave the code and GCC\n"
                     " * lacks, forced into every C and C++ compile of the project. Each name is\n"
                     " * defined only where nothing else defines it first. */\n"
                     "#ifndef QM26_ARMCC_COMPAT_H\n"
                     "#define QM26_ARMCC_COMPAT_H\n";
  for (const PortRow* row : plan.header) {
    text += std::string("\n#ifndef ") + row->name + "\n" + row->definition + "#endif\n";
  }
  text += "\n#endif\n";
  return text;
}

std::string LibraryBridgeText(const PortPlan& plan) {
  std::string text = std::string("/* ") + kLibraryBridgeName + ": " + kGeneratedBy +
                     "newlib's system calls through the ARM C\n"
                     " * library retargeting of the project, so that printf, scanf and exit reach\n"
                     " * its own functions as they did under MDK. */\n"
                     "#include <stdio.h>\n";
  if (plan.bridgeWrite) {
    text +=
        "\nint _write(int file, char *data, int length);\n"
        "\n"
        "int _write(int file, char *data, int length)\n"
        "{\n"
        "    int i;\n"
        "    for (i = 0; i < length; ++i)\n"
        "    {\n"
        "        fputc((unsigned char)data[i], file == 2 ? stderr : stdout);\n"
        "    }\n"
        "    return length;\n"
        "}\n";
  }
  if (plan.bridgeIsatty) {
    // A console, as under MDK: newlib then sends what printf writes at each line's end, not when
    // its buffer is full.
    text +=
        "\nint _isatty(int file);\n"
        "\n"
        "int _isatty(int file)\n"
        "{\n"
        "    return file >= 0 && file <= 2;\n"
        "}\n";
  }
  if (plan.bridgeRead) {
    // The ARM C library reads a character at a time; so does this, and a read never waits for
    // more than the first.
    text +=
        "\nint _read(int file, char *data, int length);\n"
        "\n"
        "int _read(int file, char *data, int length)\n"
        "{\n"
        "    int c;\n"
        "    (void)file;\n"
        "    if (length <= 0)\n"
        "    {\n"
        "        return 0;\n"
        "    }\n"
        "    c = fgetc(stdin);\n"
        "    if (c == EOF)\n"
        "    {\n"
        "        return 0;\n"
        "    }\n"
        "    data[0] = (char)c;\n"
        "    return 1;\n"
        "}\n";
  }
  if (plan.bridgeExit) {
    text +=
        "\nvoid _sys_exit(int status);\n"
        "void _exit(int status);\n"
        "\n"
        "void _exit(int status)\n"
        "{\n"
        "    _sys_exit(status);\n"
        "    for (;;)\n"
        "    {\n"
        "    }\n"
        "}\n";
  }
  return text;
}

std::string ForwardingHeaderText(const std::string& target) {
  return std::string("/* ") + kGeneratedBy +
         "the file this include means on a disk that ignores case. */\n#include \"" + target +
         "\"\n";
}
