#pragma once

// The reader check for people, one text that the command line prints and the window shows, so that both
// say the same.

#include <string>

#include "clientfiles/ReaderCheck.h"

namespace keelwright {

// The reader's verdict in one line: "Sphere: sees the files as they are", "ModernUO: 2 multis seen
// otherwise", "ServUO: not checked (MultiCollection.uop beside Multi.mul was not given)".
std::string ReaderVerdict(const ReaderView& view);
// What it reads and sees, then one line per finding: the verdict's details.
std::string ReaderDetails(const ReaderView& view);
// Which readers see the files otherwise and whether the files disagree, in one sentence without its full
// stop: "Seen otherwise by Sphere, ModernUO; Multi.mul and MultiCollection.uop disagree at 2 numbers".
std::string ReaderCheckSummary(const ReaderCheck& check);
// The whole report: every reader's verdict and details, then where the files disagree, then the overall
// verdict. Lines end in LF.
std::string ReaderCheckText(const ReaderCheck& check);

}  // namespace keelwright
