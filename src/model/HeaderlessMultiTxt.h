#pragma once

// Multi text without a header, as UOFiddler writes it: one "ItemId X Y Z Flags" line per tile, ids often in
// "0x" hex. The multi text reader hands a text to this one when its first line has five words.

#include <string>
#include <string_view>

#include "model/ScriptReaders.h"

namespace keelwright {

// Whether the text's first line has five words (runs of characters between spaces or tabs): a tile line,
// where the header's first line ("6 version") has two.
bool IsHeaderlessMultiTxt(std::string_view text);

// Reads one component per line, as ReadMultiTxt does after its count line, centres the multi and marks the
// listed components (an exact load keeps the fifth word as the Flags instead). Every line needs five words;
// blank lines may follow the last tile line only.
void ReadHeaderlessMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                            const ComponentsList& components, const ItemCountSink& showItemCount,
                            const LoadOptions& options = {});

}  // namespace keelwright
