#pragma once

// The files an extraction writes: multi text, and the formats of other tools, each of which Keelwright
// reads back to the same tiles.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/PartIds.h"
#include "mulfiles/ComponentRecord.h"

namespace keelwright {

enum class ExtractFormat {
    Txt,  // multi text, as .EXTRACT writes it (MultiTextOfComponents)
    Csv,  // TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc lines, ids and flags in 0x hex
    Uoa,  // a UO Architect version 1 design file; flags have no place in it
    Wsc,  // one SECTION WORLDITEM group per tile, as a Sphere .export holds them
};

// "txt", "csv", "uoa" or "wsc"; nothing for any other name.
std::optional<ExtractFormat> ExtractFormatNamed(std::string_view name);

// The file of the components in the format, lines ending in CR LF; `designName` is the name a UO
// Architect file gives its design (UTF-8), unused by the other formats. Extra has no place in any of them;
// the part ids of component k, parts[k] (a UOP's), go into the Cliloc column of CSV and nowhere else.
std::string ExtractedFile(ExtractFormat format, std::span<const ComponentRecord> components,
                          std::string_view designName, std::span<const PartIdList> parts = {});

}  // namespace keelwright
