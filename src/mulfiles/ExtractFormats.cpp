#include "mulfiles/ExtractFormats.h"

#include <vector>

#include "model/NumberText.h"
#include "model/UoaFile.h"
#include "mulfiles/Extractor.h"

namespace keelwright {
namespace {

// "0x0064": four digits at least, as the common editor writes item ids.
std::string hexItemId(std::uint16_t id) {
    std::string digits = Hex16(id);
    return "0x" + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

// The Cliloc column of component k holds its part ids.
std::string csvOf(std::span<const ComponentRecord> components, std::span<const PartIdList> parts) {
    std::string text = "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc\r\n";
    text.reserve(text.size() + components.size() * 24);
    for (std::size_t k = 0; k < components.size(); ++k) {
        const ComponentRecord& r = components[k];
        text += hexItemId(r.ItemId) + ',' + NumberText(r.X) + ',' + NumberText(r.Y) + ',' + NumberText(r.Z) +
                ",0x" + Hex32(r.Flags) + ',' + (k < parts.size() ? PartIdsText(parts[k]) : std::string()) +
                "\r\n";
    }
    return text;
}

std::string wscOf(std::span<const ComponentRecord> components) {
    std::string text;
    text.reserve(components.size() * 64);
    for (const ComponentRecord& r : components) {
        text += "SECTION WORLDITEM 0\r\n{\r\nID " + NumberText(r.ItemId) + "\r\nX " + NumberText(r.X) +
                "\r\nY " + NumberText(r.Y) + "\r\nZ " + NumberText(r.Z) + "\r\n}\r\n\r\n";
    }
    return text;
}

std::string uoaOf(std::span<const ComponentRecord> components, std::string_view designName) {
    std::vector<UoaTile> tiles;
    tiles.reserve(components.size());
    for (const ComponentRecord& r : components) {
        tiles.push_back({static_cast<std::int16_t>(r.ItemId), r.X, r.Y, r.Z, 0, 0});
    }
    return UoaFileBytes(designName, tiles);
}

}  // namespace

std::optional<ExtractFormat> ExtractFormatNamed(std::string_view name) {
    if (name == "txt") {
        return ExtractFormat::Txt;
    }
    if (name == "csv") {
        return ExtractFormat::Csv;
    }
    if (name == "uoa") {
        return ExtractFormat::Uoa;
    }
    if (name == "wsc") {
        return ExtractFormat::Wsc;
    }
    return std::nullopt;
}

std::string ExtractedFile(ExtractFormat format, std::span<const ComponentRecord> components,
                          std::string_view designName, std::span<const PartIdList> parts) {
    switch (format) {
        case ExtractFormat::Csv:
            return csvOf(components, parts);
        case ExtractFormat::Uoa:
            return uoaOf(components, designName);
        case ExtractFormat::Wsc:
            return wscOf(components);
        case ExtractFormat::Txt:
            break;
    }
    return MultiTextOfComponents(components);
}

}  // namespace keelwright
