// The in-memory model of the one MDK target that a run converts.
#include "mdk/project_info.h"

ProjectInfo* g_project = nullptr;
