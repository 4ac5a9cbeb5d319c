#pragma once

// The round trip both script readers are held to: a multi that loads and encodes gives a block, in either
// record size, whose multi text loads and encodes to the same block.

#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/Patcher.h"

namespace keelwright::fuzz {

inline void RequireRoundTrip(const ComponentTable& loaded) {
    if (loaded.Count < 1) {
        return;  // multi text needs a component to count
    }
    for (const RecordSize size : {RecordSize::Twelve, RecordSize::Sixteen}) {
        std::vector<std::uint8_t> block;
        try {
            block = EncodeMultiData(loaded, size);
        } catch (const Error&) {
            return;  // a value the records cannot hold: refused before anything would be written
        }
        const std::string text = MultiTextOfBlock(block, size);
        ComponentTable again;
        ReadMultiTxt(text, "extracted.txt", again, DoorsAndSigns());
        Require(again.Count == loaded.Count, "the extracted text holds every component");
        Require(EncodeMultiData(again, size) == block, "the extracted text encodes to the same block");
    }
}

}  // namespace keelwright::fuzz
