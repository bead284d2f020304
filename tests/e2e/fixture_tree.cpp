// Fixture trees for the end-to-end tests: an MDK project, an IDE template and a BSP, written small.
#include "e2e/fixture_tree.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "app/version.h"
#include "support/test_support.h"

namespace {

constexpr char kIds[] = "ilg.gnuarmeclipse.managedbuild.cross.";

std::string Configuration(const std::string& kind) {
  const std::string p = kIds;
  return "<cconfiguration id=\"" + p + "config.elf." + kind + ".1\"><storageModule moduleId=\"cdtBuildSystem\">"
         "<configuration name=\"" + kind + "\"><folderInfo id=\"" + p + "config.elf." + kind +
         ".1.\" name=\"/\"><toolChain id=\"" + p + "toolchain.elf." + kind + ".1\">"
         "<tool id=\"" + p + "tool.c.compiler.1\">"
         "<option id=\"" + p + "option.c.compiler.include.paths.1\" valueType=\"includePath\">"
         "<listOptionValue builtIn=\"false\" value=\"&quot;../old&quot;\"/></option>"
         "<option id=\"" + p + "option.c.compiler.defs.1\" valueType=\"definedSymbols\">"
         "<listOptionValue builtIn=\"false\" value=\"OLD\"/></option></tool>"
         "<tool id=\"" + p + "tool.c.linker.1\">"
         "<option id=\"" + p + "option.c.linker.scriptfile.1\" valueType=\"stringList\">"
         "<listOptionValue builtIn=\"false\" value=\"old.ld\"/></option></tool>"
         "</toolChain></folderInfo></configuration></storageModule></cconfiguration>";
}

}  // namespace

std::string MdkProjectXml(const std::string& device, const std::vector<std::string>& cFiles) {
  std::string files;
  for (const std::string& path : cFiles) {
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    files += "<File><FileName>" + name + "</FileName><FileType>1</FileType><FilePath>" + path +
             "</FilePath></File>";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
         "<Project><SchemaVersion>2.1</SchemaVersion><Targets><Target>"
         "<TargetName>fixture</TargetName><ToolsetNumber>0x4</ToolsetNumber>"
         "<TargetOption><TargetCommonOption><Device>" + device + "</Device>"
         "<Cpu>IRAM(0x20000000,0x20000) IROM(0x08000000,0x100000) CLOCK(12000000)</Cpu>"
         "</TargetCommonOption><TargetArmAds><Cads><VariousControls>"
         "<Define>USE_HAL, BOARD</Define><IncludePath>..\\inc</IncludePath>"
         "</VariousControls></Cads></TargetArmAds></TargetOption>"
         "<Groups><Group><GroupName>App</GroupName><Files>" + files + "</Files></Group></Groups>"
         "</Target></Targets></Project>\n";
}

void WriteTemplate(const std::string& folder) {
  WriteFile(folder + "/.project",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<projectDescription><name>template</name>"
            "<comment></comment><natures><nature>org.eclipse.cdt.core.cnature</nature></natures>"
            "<linkedResources><link><name>x</name><type>1</type><locationURI>y</locationURI>"
            "</link></linkedResources></projectDescription>\n");
  WriteFile(folder + "/.cproject",
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<cproject>"
            "<storageModule moduleId=\"org.eclipse.cdt.core.settings\">" + Configuration("debug") +
            Configuration("release") + "</storageModule></cproject>\n");
  WriteFile(folder + "/preferences.ini", "[device]\nvendor=QM26\nchipTarget=\nchipSizeType=\nend\n");
  // The script of the chip most fixtures use, for runs without a BSP.
  WriteFile(folder + "/ldscripts/QM26R620AxG_FLASH.ld",
            "MEMORY\n{\n  FLASH (rx)      : ORIGIN = 0x00000000, LENGTH = 1K\n"
            "  RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 64K\n}\n");
}

void WriteBspSeries(const std::string& seriesFolder, const std::string& core,
                    const std::string& model, const std::string& startupFile,
                    const std::string& codes) {
  const std::string gcc =
      seriesFolder + "/libraries/cmsis/" + core + "/device_support/startup/gcc";
  WriteFile(gcc + "/" + startupFile, "/* startup for " + model + " */\n");
  for (char code : codes) {
    WriteFile(gcc + "/linker/" + model + "x" + code + "_FLASH.ld",
              "MEMORY\n{\n  FLASH (rx)      : ORIGIN = 0x00000000, LENGTH = 1K\n"
              "  RAM (xrw)       : ORIGIN = 0x20000000, LENGTH = 64K\n}\n");
  }
}

std::vector<std::string> BannerLines() {
  const std::string rule(60, '-');
  return {rule, std::string("QM26 IDE project Generate Programmer ") + kBannerVersion, rule, ""};
}

SplitOutput SeparateCopyLines(const std::string& out) {
  SplitOutput split;
  for (const std::string& line : SplitLines(out)) {
    if (line.rfind("Successfully to copy file: ", 0) == 0) {
      split.copyLines.insert(line);
    } else {
      split.otherLines.push_back(line);
    }
  }
  return split;
}

std::map<std::string, std::string> Snapshot(const std::string& root, const std::string& skip) {
  std::map<std::string, std::string> entries;
  for (const std::string& rel : ListTree(root)) {
    if (!skip.empty() && rel.rfind(skip, 0) == 0) continue;
    const std::string path = root + "/" + rel;
    struct stat status;
    if (rel.back() == '/') {
      entries[rel] = "<dir>";
    } else if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
      char target[PATH_MAX];
      const ssize_t length = readlink(path.c_str(), target, sizeof target);
      entries[rel] = "<link> " + std::string(target, length > 0 ? static_cast<size_t>(length) : 0);
    } else if (!S_ISREG(status.st_mode)) {
      entries[rel] = "<special>";  // a named pipe would block the reading
    } else {
      entries[rel] = ReadFile(path);
    }
  }
  return entries;
}
