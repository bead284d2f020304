// What the fuzz targets share: a scratch folder, a fixed model, and quiet standard output.
#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <tinyxml.h>

#include "fs/xml_file.h"

const std::string& FuzzScratchFolder() {
  static const std::string folder = [] {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    char pattern[] = "/tmp/qm26-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    return std::string(pattern);
  }();
  return folder;
}

const ProjectInfo& FuzzModel() {
  static const ProjectInfo model = [] {
    ProjectInfo model;
    model.targetName = "fuzz";
    model.deviceName = "QM26R620AVGT7";
    model.chipModel = "QM26R620A";
    model.flashSizeCode = 'G';
    model.flashSizeKb = 1024;
    model.flashOrigin = 0x8000000;
    model.defines = {"USE_HAL", "V=\"1 2\"", ""};
    model.includePaths = {"../inc", "../../lib/include"};
    model.groups = {{"App", {{1, "main.c", "..\\src\\main.c"}, {1, "x.c", ".\\x.c"}}},
                    {"Drivers/HAL", {{1, "gpio.c", "../../lib/../drv/gpio.c"}}}};
    // A setting for each owner of an option, and the artifact name.
    model.settings = {{"TargetName", "fuzz"},
                      {"TargetArmAds/Cads/Optim", "2"},
                      {"TargetArmAds/Cads/PlainCh", "1"},
                      {"TargetArmAds/Cads/uC99", "1"},
                      {"TargetArmAds/ArmAdsMisc/RvdsVP", "1"},
                      {"TargetArmAds/ArmAdsMisc/useUlib", "0"},
                      {"TargetCommonOption/CreateHexFile", "1"},
                      {"TargetCommonOption/OutputName", "image"},
                      {"TargetArmAds/Aads/VariousControls/Define", "ASM"},
                      {"TargetArmAds/Aads/VariousControls/IncludePath", "..\\asm"}};
    return model;
  }();
  return model;
}

void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
}

std::string ReadFuzzFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

bool SurvivesRoundTrip(const std::string& path) {
  TiXmlDocument loaded;
  const std::string copy = path + ".round-trip";
  if (!LoadXmlFile(path, loaded) || !SaveXmlFile(loaded, copy)) return false;
  TiXmlDocument reloaded;
  return reloaded.LoadFile(copy.c_str());
}

void FuzzCheck(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}
