// What of the MDK target the generated project does not take over: the user's to-do list.
#pragma once

#include <string>
#include <vector>

#include "mdk/project_info.h"

/// One line "Not carried over: <what>: <value>" for each setting of `project` that changes the
/// MDK build and that the generated project does not carry, in this order: the C, assembler and
/// linker misc controls that are not empty; each user command before compiling, before the build
/// and after it that is switched on (RunUserProg1 or 2 is 1) and has a name; a scatter file of the
/// user's own (umfTarg 0); the options of a built group or file that differ from the target's
/// (IncludeInBuild aside); each built library or object file of a group; each setting value that
/// the build-settings table keeps as the template's. Pure.
std::vector<std::string> NotCarriedOver(const ProjectInfo& project);

/// "Not carried over: <what>: <value>", the form of each line of NotCarriedOver.
std::string NotCarriedOverLine(const std::string& what, const std::string& value);

/// Prints the lines of NotCarriedOver, nothing when there are none.
void PrintNotCarriedOver(const ProjectInfo& project);
