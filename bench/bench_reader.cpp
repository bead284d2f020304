// Times reading a large generated MDK project file, and the location rule over its file paths.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "mdk/mdk_reader.h"
#include "mdk/project_info.h"

namespace {

// An MDK file with `groups` groups of `filesPerGroup` C files each.
std::string MakeProject(int groups, int filesPerGroup) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project><Targets><Target>"
      "<TargetName>bench</TargetName><TargetOption><TargetCommonOption>"
      "<Device>QM26R620AVGT7</Device><Cpu>IROM(0x08000000,0x100000)</Cpu>"
      "</TargetCommonOption><TargetArmAds><Cads><VariousControls>"
      "<Define>A,B,C</Define><IncludePath>..\\inc;..\\lib</IncludePath>"
      "</VariousControls></Cads></TargetArmAds></TargetOption><Groups>";
  for (int g = 0; g < groups; ++g) {
    xml += "<Group><GroupName>group" + std::to_string(g) + "</GroupName><Files>";
    for (int f = 0; f < filesPerGroup; ++f) {
      xml += "<File><FileName>f" + std::to_string(f) + ".c</FileName><FileType>1</FileType>"
             "<FilePath>..\\src\\g" + std::to_string(g) + "\\f" + std::to_string(f) +
             ".c</FilePath></File>";
    }
    xml += "</Files></Group>";
  }
  return xml + "</Groups></Target></Targets></Project>\n";
}

}  // namespace

// bench_reader [file]: the generated project is written to `file` (by default in /tmp) and removed.
int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "/tmp/qm26-bench-reader.uvprojx";
  std::ofstream(path) << MakeProject(200, 100);

  constexpr int kRounds = 5;
  double best = 1e9;
  size_t files = 0;
  for (int round = 0; round < kRounds; ++round) {
    ProjectInfo info;
    const auto start = std::chrono::steady_clock::now();
    const Result read = ReadMdkProject(path, &info);
    const auto end = std::chrono::steady_clock::now();
    if (!read) {
      std::fprintf(stderr, "%s\n", read.Describe().c_str());
      return 1;
    }
    best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    files = 0;
    for (const SourceGroup& group : info.groups) files += group.files.size();
  }
  std::remove(path.c_str());
  std::printf("read %zu C files in 200 groups: best of %d rounds %.1f ms\n", files, kRounds, best);
  return 0;
}
