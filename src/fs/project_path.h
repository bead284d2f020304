// The path of the generated project folder, shared by every step after placement.
#pragma once

#include <string>

/// Written once when the project folder is placed, with its "/../" step left unresolved; read by
/// the copy into the project, the writers and the closing message.
extern std::string g_projectPath;
