// Reading the settings of the converted target: the texts of its option elements, as they stand.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "mdk/project_info.h"

/// The Target element below `project` (a Project element) whose TargetName is `name`, the first
/// Target when `name` is ""; null when there is none.
TiXmlElement* FindTarget(TiXmlElement* project, const std::string& name);

/// Appends the TargetName of every Target below `project` (a Project element) to `names`.
void ListTargetNames(TiXmlElement* project, std::vector<std::string>& names);

/// Fills `settings` from `target`: the text of each leaf element below its TargetOption keyed by
/// the path there ("TargetArmAds/Cads/Optim"), and the text of each leaf child of the Target keyed
/// by its name ("TargetName", "uAC6"). A key met twice keeps its first text, the Target's own
/// children coming first. Clears `settings` first; a null `target` leaves it empty.
void ReadTargetSettings(TiXmlElement* target, std::map<std::string, std::string>& settings);

/// Fills `options` with one entry per group of `target`, and per file of a group, that has a
/// GroupOption or FileOption element, in document order; groups and files are walked as
/// ReadSourceGroups walks them. Clears `options` first.
void ReadOwnOptions(TiXmlElement* target, std::vector<OwnOptions>& options);
