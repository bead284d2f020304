// The path of the generated project folder, shared by every step after placement.
#include "fs/project_path.h"

std::string g_projectPath;
