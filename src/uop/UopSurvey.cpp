#include "uop/UopSurvey.h"

#include <algorithm>
#include <unordered_map>

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/TextFileRefusal.h"
#include "uop/UopContainer.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"

namespace keelwright {
namespace {

using Kind = UopProblem::Kind;

using MultiNames = std::unordered_map<std::uint64_t, std::int32_t>;

// Multi numbers by name hash, for M from `first` to `last`: hashes cannot be reversed, so every name a file
// is likely to hold is hashed.
MultiNames multiNames(std::int32_t first, std::int32_t last) {
    MultiNames names;
    names.reserve(static_cast<std::size_t>(std::max(0, last - first + 1)));
    for (std::int32_t multi = first; multi <= last; ++multi) {
        names.emplace(UopNameHash(MultiEntryName(multi)), multi);
    }
    return names;
}

// The names of multis 0 to FFFF, which never change: hashed once, on the first survey, and only read after.
constexpr std::int32_t kCommonMultis = 0x10000;
const MultiNames& commonMultiNames() {
    static const MultiNames names = multiNames(0, kCommonMultis - 1);
    return names;
}

// The multi number a name hash gives: multis 0 to FFFF, and as many more as the file has entries.
class MultiNameTable {
public:
    explicit MultiNameTable(std::int32_t entries)
        : last_(std::min(kHighestUopMulti, kCommonMultis + entries)),
          more_(multiNames(kCommonMultis, last_)) {}

    std::optional<std::int32_t> multiOf(std::uint64_t hash) const {
        for (const MultiNames* names : {&commonMultiNames(), &more_}) {
            const auto found = names->find(hash);
            if (found != names->end()) {
                return found->second;
            }
        }
        return std::nullopt;
    }
    std::int32_t last() const { return last_; }

private:
    std::int32_t last_;
    MultiNames more_;
};

// Bytes of the file that one thing occupies: the header, a table block or an entry's data.
struct Extent {
    std::uint64_t start, end;
    const UopContainer::Located* entry;  // null for the header and the table blocks
    std::string what;
};

std::string entryName(const UopContainer::Located& located, std::optional<std::int32_t> multi) {
    return multi ? MultiEntryName(*multi) + " (" + UopContainer::describe(located) + ")"
                 : UopContainer::describe(located);
}

class Surveyor {
public:
    Surveyor(UopContainer& container, UopSurvey& survey) : container_(container), survey_(survey) {}

    void run() {
        survey_.blocks = static_cast<std::int32_t>(container_.blocks().size());
        survey_.entryCount = static_cast<std::int32_t>(container_.entries().size());
        if (std::int64_t{survey_.headerFileCount} != survey_.entryCount) {
            survey_.problems.push_back({Kind::FileCountMismatch, 0, std::nullopt,
                                        "the header counts " + std::to_string(survey_.headerFileCount) +
                                            " entries, but " + NumberText(survey_.entryCount) +
                                            " are in use (a write was interrupted); the next write by "
                                            "Keelwright mends the count"});
        }
        names_.emplace(survey_.entryCount);
        addTableExtents();
        for (const UopContainer::Located& located : container_.entries()) {
            surveyEntry(located);
        }
        findDuplicates();
        countCleared();
        findOverlaps();
        std::sort(survey_.multis.begin(), survey_.multis.end(),
                  [](const auto& a, const auto& b) { return a.multi < b.multi; });
    }

private:
    void problem(Kind kind, const UopContainer::Located& located, std::optional<std::int32_t> multi,
                 const std::string& reason) {
        survey_.problems.push_back(
            {kind, located.position, multi, entryName(located, multi) + ": " + reason});
    }

    void addTableExtents() {
        extents_.push_back({0, kUopHeaderSize, nullptr, "the header"});
        const std::uint64_t blockBytes =
            kUopBlockHeaderSize + std::uint64_t{container_.header().Capacity} * kUopEntrySize;
        for (const UopContainer::Block& block : container_.blocks()) {
            extents_.push_back({block.offset, block.offset + blockBytes, nullptr,
                                "the table block at byte " + std::to_string(block.offset)});
        }
    }

    void surveyEntry(const UopContainer::Located& located) {
        const UopEntry& e = located.entry;
        const std::optional<std::int32_t> multi = names_->multiOf(e.NameHash);
        if (!container_.dataInsideFile(e)) {
            problem(Kind::EntryPastEnd, located, multi,
                    "its data (offset " + NumberText(e.Offset) + ", header length " +
                        NumberText(e.HeaderLength) + ", stored length " + NumberText(e.StoredLength) +
                        ") reaches outside the file's " + std::to_string(survey_.fileBytes) + " bytes");
            return;
        }
        extents_.push_back({static_cast<std::uint64_t>(e.Offset), *e.dataEnd(), &located, ""});
        if (e.NameHash == UopNameHash(kHousingBinName)) {
            survey_.housingBin = true;
            return;
        }
        if (!multi) {
            problem(
                Kind::UnknownEntry, located, multi,
                "its name is neither housing.bin nor a multi's from 0 to " + std::to_string(names_->last()));
            return;
        }
        UopMulti read;
        try {
            read = ReadUopMulti(container_, located, *multi);
        } catch (const Error& e) {
            problem(Kind::BadPayload, located, multi, "its payload does not read: " + e.reason());
            return;
        }
        if (read.payload.number != static_cast<std::uint32_t>(*multi)) {
            problem(Kind::NumberMismatch, located, multi,
                    "its payload holds multi number " + std::to_string(read.payload.number));
        }
        survey_.multis.push_back({*multi, static_cast<std::uint32_t>(read.payload.tiles.size()),
                                  read.payload.startsWithLeadRecord(), e.StoredLength, e.DecompressedLength,
                                  located.position, e.Compression == 1,
                                  UopTilesDigest(read.payload.components())});
    }

    void findDuplicates() {
        const UopContainer::Duplicates duplicates = container_.duplicates();
        for (const UopContainer::Located* entry : duplicates.older) {
            const std::optional<std::int32_t> multi = names_->multiOf(entry->entry.NameHash);
            problem(Kind::DuplicateEntry, *entry, multi,
                    "the entry at byte " +
                        std::to_string(duplicates.newest.at(entry->entry.NameHash)->position) +
                        " has the same name and its data lies further into the file; the next write by "
                        "Keelwright clears this older one");
            std::erase_if(survey_.multis,
                          [&](const UopSurvey::Multi& m) { return m.position == entry->position; });
        }
    }

    void countCleared() {
        std::vector<std::int32_t> live(container_.blocks().size());
        for (const UopContainer::Located& located : container_.entries()) {
            const auto& block = container_.blocks()[located.block];
            live[located.block] += static_cast<std::int32_t>(located.index) < block.usedCount ? 1 : 0;
        }
        for (std::size_t b = 0; b < live.size(); ++b) {
            survey_.clearedEntries += container_.blocks()[b].usedCount - live[b];
        }
    }

    std::string describe(const Extent& extent) const {
        if (extent.entry == nullptr) {
            return extent.what;
        }
        return entryName(*extent.entry, names_->multiOf(extent.entry->entry.NameHash));
    }

    // Sorted by start, each extent is checked against the one before it that reaches furthest.
    void findOverlaps() {
        std::stable_sort(extents_.begin(), extents_.end(),
                         [](const Extent& a, const Extent& b) { return a.start < b.start; });
        const Extent* furthest = nullptr;
        for (const Extent& extent : extents_) {
            if (furthest != nullptr && extent.start < furthest->end && extent.end > extent.start) {
                const Extent& entry = extent.entry != nullptr ? extent : *furthest;
                const Extent& other = extent.entry != nullptr ? *furthest : extent;
                survey_.problems.push_back({Kind::Overlap, entry.entry->position, std::nullopt,
                                            describe(entry) + ": its data (bytes " +
                                                std::to_string(entry.start) + " to " +
                                                std::to_string(entry.end) + ") overlaps " + describe(other)});
            }
            const std::uint64_t coveredTo = furthest == nullptr ? 0 : furthest->end;
            if (extent.start > coveredTo) {
                survey_.deadBytes +=
                    std::min(extent.start, survey_.fileBytes) - std::min(coveredTo, survey_.fileBytes);
            }
            if (furthest == nullptr || extent.end > furthest->end) {
                furthest = &extent;
            }
        }
        const std::uint64_t coveredTo = furthest == nullptr ? 0 : std::min(furthest->end, survey_.fileBytes);
        survey_.deadBytes += survey_.fileBytes - coveredTo;
    }

    UopContainer& container_;
    UopSurvey& survey_;
    std::optional<MultiNameTable> names_;
    std::vector<Extent> extents_;
};

}  // namespace

std::uint64_t UopTilesDigest(std::span<const UopTile> tiles) {
    std::uint64_t digest = 14695981039346656037ULL;  // FNV-1a, over every field byte by byte
    const auto add = [&](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            digest = (digest ^ ((value >> (8 * i)) & 0xFF)) * 1099511628211ULL;
        }
    };
    for (const UopTile& tile : tiles) {
        add(tile.ItemId, 2);
        add(static_cast<std::uint16_t>(tile.X), 2);
        add(static_cast<std::uint16_t>(tile.Y), 2);
        add(static_cast<std::uint16_t>(tile.Z), 2);
        add(tile.Flags, 2);
    }
    add(tiles.size(), 8);
    return digest;
}

const char* UopProblemKindName(UopProblem::Kind kind) {
    switch (kind) {
        case Kind::BadMagic:
            return "bad-magic";
        case Kind::BadVersion:
            return "bad-version";
        case Kind::EntryPastEnd:
            return "entry-past-end";
        case Kind::BadPayload:
            return "bad-payload";
        case Kind::NumberMismatch:
            return "number-mismatch";
        case Kind::UnknownEntry:
            return "unknown-entry";
        case Kind::Overlap:
            return "overlap";
        case Kind::DuplicateEntry:
            return "duplicate-entry";
        case Kind::FileCountMismatch:
            return "file-count-mismatch";
    }
    return "unknown";
}

UopSurvey SurveyUop(FileSystem& fileSystem, const std::filesystem::path& uop) {
    std::unique_ptr<RandomAccessFile> file = fileSystem.open(uop, OpenMode::Read);
    UopSurvey survey;
    survey.fileBytes = file->size();
    UopHeader::Bytes raw{};
    const bool whole = survey.fileBytes >= raw.size() && file->readAt(0, raw) == raw.size();
    const UopHeader header = UopHeader::decode(raw);
    if (!whole || header.Magic != kUopMagic || header.Signature != kUopSignature) {
        std::string message =
            whole ? "the header has magic " + Hex32(static_cast<std::int32_t>(header.Magic)) +
                        " and signature " + Hex32(static_cast<std::int32_t>(header.Signature)) +
                        ", not 50594D and FD23EC43"
                  : "the file's " + std::to_string(survey.fileBytes) + " bytes are too few for a UOP header";
        if (const std::optional<std::string> text = TextFileReason(*file, "a UOP file")) {
            message = "the file " + *text;
        }
        survey.problems.push_back({Kind::BadMagic, 0, std::nullopt, message});
        return survey;
    }
    survey.version = header.Version;
    survey.capacity = header.Capacity;
    survey.headerFileCount = header.FileCount;
    if (header.Version != kMultiCollectionVersion) {
        survey.problems.push_back({Kind::BadVersion, 0, std::nullopt,
                                   "the header gives version " + std::to_string(header.Version) +
                                       "; MultiCollection.uop is version 4"});
    }
    UopContainer container(std::move(file));
    Surveyor(container, survey).run();
    return survey;
}

}  // namespace keelwright
