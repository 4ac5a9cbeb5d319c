#pragma once

#include <string>
#include <string_view>

#include "clientfiles/ManifestApply.h"

namespace keelwright {

// A Latin-1 script text as UTF-8, for a terminal or a window.
std::string Utf8OfLatin1(std::string_view latin1);

// One line of an apply's plan, as `apply` prints it and the window shows it: "+ 0x1400 Lakeside Mill: 26
// tiles", "~ 0x1401 Stone Tower: 44 tiles, was 42", "= 0x1402 Small Boat", "- 0x1403: was 12 tiles",
// "! 0x1404 Keep: multi 0x1404 holds ...".
std::string PlanLine(const PlannedMulti& planned);

// "1 added, 0 replaced, 0 removed, 3 unchanged."
std::string PlanCountsText(const ApplyResult& result);

}  // namespace keelwright
