// The lines about which MDK target a run converts.
#pragma once

#include <string>
#include <vector>

/// "No target named <name> in <mdkPath>. Its targets: <A>, <B>, <C>".
std::string NoSuchTargetLine(const std::string& name, const std::string& mdkPath,
                             const std::vector<std::string>& targetNames);

/// "The MDK project has <n> targets; converting <first>. Choose another with -MDKTARGET: <B>, <C>"
/// for a file of several targets; "" for one with one target or none.
std::string OtherTargetsLine(const std::vector<std::string>& targetNames);
