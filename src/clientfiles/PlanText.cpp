#include "clientfiles/PlanText.h"

#include "model/NumberText.h"

namespace keelwright {
namespace {

std::string tilesText(const std::optional<std::int32_t>& tiles) {
    return tiles ? NumberText(*tiles) + " tiles" : "a damaged multi";
}

}  // namespace

std::string Utf8OfLatin1(std::string_view latin1) {
    std::string text;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

std::string PlanLine(const PlannedMulti& planned) {
    const ManifestEntry& entry = *planned.entry;
    std::string line = std::string(PlanSign(planned.outcome)) + " " + MultiHex(entry.number);
    if (!entry.remove) {
        line += " " + Utf8OfLatin1(entry.name);
    }
    switch (planned.outcome) {
        case PlanOutcome::Added:
            return line + ": " + NumberText(planned.tiles) + " tiles";
        case PlanOutcome::Replaced:
            return line + ": " + NumberText(planned.tiles) + " tiles, was " +
                   (planned.was ? NumberText(*planned.was) : tilesText(planned.was));
        case PlanOutcome::Removed:
            return line + ": was " + tilesText(planned.was);
        case PlanOutcome::Refused:
            return line + ": " + planned.refusal;
        case PlanOutcome::Unchanged:
            break;
    }
    return line;
}

std::string PlanCountsText(const ApplyResult& result) {
    return NumberText(result.added) + " added, " + NumberText(result.replaced) + " replaced, " +
           NumberText(result.removed) + " removed, " + NumberText(result.unchanged) + " unchanged.";
}

}  // namespace keelwright
