// Paths as MDK project files write them: separators, absolute forms and parent steps.
#pragma once

#include <string>
#include <vector>

/// `path` with every "\" turned into "/".
std::string ToForwardSlashes(std::string path);

/// True for a path that names its place on its own: it starts with "/" or "\", or with a drive
/// letter and ":" (C:\work, D:lib). Looks at the text only, so a Windows path counts on Linux too.
bool IsAbsoluteMdkPath(const std::string& path);

/// The segments of a "/"-separated relative path with "." and empty segments dropped and each
/// "name/.." pair removed, so that only leading ".." segments are left. A ".." inside a segment
/// ("odd..") is part of the name. "src/./../inc/x.c" gives inc, x.c; "../a/../../b" gives .., ..,
/// b.
std::vector<std::string> NormalizedSegments(const std::string& path);

/// `segments` joined with "/".
std::string JoinSegments(const std::vector<std::string>& segments);

/// True for a C or C++ source file name (.c, .cpp, .cc, .cxx, .c++, any case).
bool IsCompiledSourceName(const std::string& path);

/// True for an assembler source file name (.s, .asm, any case).
bool IsAssemblerSourceName(const std::string& path);

/// True when the last segment of `path` (after its last "/") begins with "startup" in any letter
/// case: the name MDK's device startup files have, which the BSP's startup file takes the place of.
bool IsStartupFileName(const std::string& path);

/// True for a C or C++ header file name (.h, .hpp, .hh, .hxx, any case).
bool IsHeaderName(const std::string& path);
