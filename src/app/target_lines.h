// The lines about which MDK target a run converts.
#pragma once

#include <string>
#include <vector>

/// "No target named <name> in <mdkPath>. Its targets: <A>, <B>, <C>", naming each target name
/// that -MDKTARGET can choose: each once, the empty name left out.
std::string NoSuchTargetLine(const std::string& name, const std::string& mdkPath,
                             const std::vector<std::string>& targetNames);

/// "The MDK project has <n> targets; converting <first>. Choose another with -MDKTARGET: <B>, <C>"
/// for a file of several targets, offering each name that chooses another target once (not the
/// first target's name, not the empty name); without the "Choose another" part when none does.
/// "" for a file with one target or none.
std::string OtherTargetsLine(const std::vector<std::string>& targetNames);

/// "The MDK project has duplicate target names: <A>, <B>; -MDKTARGET takes the first target of
/// each name." when a name other than the empty one is given to several targets; "" otherwise.
std::string DuplicateTargetsLine(const std::vector<std::string>& targetNames);
