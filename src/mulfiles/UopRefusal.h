#pragma once

#include "mulfiles/RandomAccessFile.h"

namespace keelwright {

// Throws InvalidFileFormat, naming the file, when it begins with the bytes "MYP\0": it is then a UOP
// container (a MultiCollection.uop), which the readers of Multi.idx and Multi.mul would misread and the
// patcher would damage. A Git LFS pointer or another text file is refused the same way (RefuseTextFile).
// Reads the first bytes only; a shorter file passes.
void RefuseUopContainer(RandomAccessFile& file);

}  // namespace keelwright
