// Writing the generated ".cproject": include paths, defines and linker script per configuration.
#pragma once

#include <string>

#include <tinyxml.h>

/// Rewrites g_projectPath/.cproject for the debug and release configurations. Returns false after
/// "Unable to load file: <path>" when it cannot be loaded, and after "Save file .cproject failed!"
/// when it cannot be written whole (also a failure that only shows at the flush or the close).
bool GenerateCProjectFile();

/// Rewrites the include-path, defines and linker-script options below one configuration's
/// "folderInfo" element. "debug" adds TRACE and OS_USE_TRACE_SEMIHOSTING_DEBUG to the defines,
/// any other name NDEBUG. Returns false for a null `configuration`, true otherwise.
bool ModifyBuildOptions(TiXmlElement* configuration, const std::string& configurationName);
