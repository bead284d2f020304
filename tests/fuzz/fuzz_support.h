// What the fuzz targets share: a scratch folder, a fixed model, and quiet standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "mdk/project_info.h"

/// Once per process: sends standard output (the run's progress lines) to /dev/null and makes a
/// scratch folder. Returns the scratch folder.
const std::string& FuzzScratchFolder();

/// A fixed model of a QM26R620AVGT7 project, with a build setting for each owner of an option.
const ProjectInfo& FuzzModel();

/// Writes `size` bytes at `data` to `path`; aborts when it cannot, which is no finding.
void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size);

/// The whole content of `path`, "" when it cannot be read.
std::string ReadFuzzFile(const std::string& path);

/// True when the XML file at `path` loads, and what the library writes of it loads again. A
/// template that does not (the library writes some malformed declarations back as they came) is
/// no proof against what a writer adds.
bool SurvivesRoundTrip(const std::string& path);

/// Stops the process with a message on standard error when `condition` is false, so that
/// libFuzzer keeps the input that broke a promise.
void FuzzCheck(bool condition, const char* promise);
