#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "mulfiles/RandomAccessFile.h"

namespace keelwright {

// Why a file that should be binary (a client file: an index, a data file, a UOP file, the art) is text:
// a Git LFS pointer, which a clone without Git LFS leaves in place of the file, or other printable text
// (a script, a list chosen by mistake). Nothing for a binary or an empty file. Reads the first bytes
// only. `wanted` names what should be there ("a Multi.idx or Multi.mul").
std::optional<std::string> TextFileReason(RandomAccessFile& file, std::string_view wanted);
// Throws InvalidFileFormat naming the file with TextFileReason, when there is one.
void RefuseTextFile(RandomAccessFile& file, std::string_view wanted);

}  // namespace keelwright
