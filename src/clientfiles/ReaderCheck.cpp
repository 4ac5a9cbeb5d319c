#include "clientfiles/ReaderCheck.h"

#include <algorithm>
#include <map>

#include "clientfiles/ReaderWarnings.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"
#include "uop/UopMultiPayload.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

constexpr const char* kMul = "Multi.mul";
constexpr const char* kUop = "MultiCollection.uop";

std::string recordsText(RecordSize size) {
    return std::to_string(BytesOf(size)) + "-byte records";
}

// Builds the views; each reader's rules are one function below.
class Checker {
public:
    Checker(FileSystem& fileSystem, const PatchTargets& targets, ReaderCheck& check)
        : fileSystem_(fileSystem), targets_(targets), check_(check), list_(check.files) {
        uopBeside_ = list_.mul && !list_.uop && UopLiesBeside(targets.mul->multiMul);
    }

    void run() {
        for (const Reader reader : kReaders) {
            ReaderView view;
            view.reader = reader;
            fill(view);
            check_.readers.push_back(std::move(view));
        }
        if (list_.mul && list_.uop) {
            compareFiles();
        }
    }

private:
    void fill(ReaderView& view) {
        switch (view.reader) {
            case Reader::Sphere:
                return sphere(view);
            case Reader::Client:
                return client(view);
            case Reader::OldClient:
                return oldClient(view);
            case Reader::ServUo:
                return servUo(view);
            case Reader::ModernUo:
                return modernUo(view);
            case Reader::Pol:
                return pol(view);
        }
    }

    static void add(ReaderView& view, std::optional<std::int32_t> multi, std::string reason) {
        view.findings.push_back({multi, std::move(reason)});
    }

    // A reader that reads only the file that was not given.
    static bool unchecked(ReaderView& view, std::string reads) {
        view.checked = false;
        view.reads = std::move(reads) + " (not given, so not checked)";
        return true;
    }

    // Whether a reader that prefers the UOP, finding none given, has one it reads beside Multi.mul.
    bool uopNotGiven(ReaderView& view) const {
        return uopBeside_ && unchecked(view, std::string(kUop) + " beside Multi.mul");
    }

    // A server that reads Multi.mul in the record size of its own setting, when no UOP it would take instead
    // lies beside it; false when one does.
    bool readsMulInItsOwnSize(ReaderView& view) const {
        if (uopNotGiven(view)) {
            return false;
        }
        view.reads = "Multi.idx and Multi.mul in the record size of its own setting (" +
                     std::to_string(BytesOf(mulSize())) + " for these files)";
        return true;
    }

    void mulProblems(ReaderView& view) const {
        for (const SurveyProblem& problem : list_.mul->problems) {
            add(view, MultiNumberOfSlot(problem.slot), problem.message);
        }
    }
    // The UOP's problems but its version, which only ModernUO refuses.
    void uopProblems(ReaderView& view) const {
        for (const UopProblem& problem : list_.uop->problems) {
            if (problem.kind != UopProblem::Kind::BadVersion) {
                add(view, problem.multi, problem.message);
            }
        }
    }
    // The numbers `file` holds and the other file given does not: a reader of the other file misses them.
    void heldOnlyBy(ReaderView& view, bool inUop, const std::string& reader) const {
        if (!list_.mul || !list_.uop) {
            return;
        }
        for (const ClientMulti& multi : list_.multis) {
            if (multi.inUop == inUop && multi.inMul != inUop) {
                add(view, multi.multi,
                    reader + " reads " + (inUop ? kMul : kUop) + ": " + MultiText(multi.multi) + " is in " +
                        (inUop ? kUop : kMul) + " only");
            }
        }
    }
    RecordSize mulSize() const { return list_.mul->recordSize.size; }

    void sphere(ReaderView& view) {
        view.numbers = "0 to 0x1FFF";
        if (!list_.mul && unchecked(view, "Multi.idx and Multi.mul")) {
            return;
        }
        const IndexRecord multi0 = multiZero();
        const std::optional<RecordSize> taken = SphereRecordSize(multi0);
        view.reads = "Multi.idx and Multi.mul" + (taken ? " in " + recordsText(*taken) : std::string());
        if (list_.mul->slotCount > 0) {
            if (const std::optional<std::string> misreading = SphereMisreading(multi0, mulSize())) {
                add(view, 0, *misreading);
            }
        }
        for (const ClientMulti& multi : list_.multis) {
            if (multi.inMul && multi.multi >= kSphereMultiEnd) {
                add(view, multi.multi, MultiText(multi.multi) + " is above 0x1FFF: Sphere does not see it");
            }
        }
        heldOnlyBy(view, true, "Sphere");
        mulProblems(view);
    }

    void client(ReaderView& view) {
        view.numbers = "every number of the file it reads";
        if (list_.uop) {
            view.reads = kUop;
            for (const UopSurvey::Multi& multi : list_.uop->multis) {
                if (!multi.compressed) {
                    add(view, multi.multi,
                        MultiText(multi.multi) +
                            "'s entry is stored uncompressed: the game client reads only zlib-compressed "
                            "entries and misreads it");
                }
            }
            heldOnlyBy(view, false, "the game client");
            uopProblems(view);
            return;
        }
        if (uopNotGiven(view)) {
            return;
        }
        view.reads = "Multi.idx and Multi.mul in 16-byte records from client 7.0.9.0 on (12-byte before)";
        if (mulSize() != RecordSize::Sixteen) {
            add(view, std::nullopt,
                "clients from 7.0.9.0 on read Multi.mul in 16-byte records: every multi of this 12-byte "
                "Multi.mul is misread");
        }
        mulProblems(view);
    }

    void oldClient(ReaderView& view) {
        view.numbers = "every number of the file it reads";
        if (!list_.mul && unchecked(view, "Multi.idx and Multi.mul")) {
            return;
        }
        view.reads = "Multi.idx and Multi.mul in 12-byte records";
        if (mulSize() != RecordSize::Twelve) {
            add(view, std::nullopt,
                "clients before 7.0 read Multi.mul in 12-byte records: every multi of this 16-byte Multi.mul "
                "is misread");
        }
        heldOnlyBy(view, true, "a client before 7.0");
        mulProblems(view);
    }

    void servUo(ReaderView& view) {
        if (list_.uop) {
            view.reads = kUop;
            view.numbers = "every number of the file it reads";
            heldOnlyBy(view, false, "ServUO");
            uopProblems(view);
            return;
        }
        if (!readsMulInItsOwnSize(view)) {
            return;
        }
        view.numbers = "0 to 0x3FFF (a higher number of Multi.mul comes out as a lower one)";
        for (const ClientMulti& multi : list_.multis) {
            if (multi.inMul && multi.multi > kServUoMulMask) {
                add(view, multi.multi, ServUoMaskText(multi.multi));
            }
        }
        mulProblems(view);
    }

    void modernUo(ReaderView& view) {
        view.numbers = "0 to 0xFFFF";
        const auto unseen = [&](std::int32_t multi, const char* file) {
            add(view, multi, MultiText(multi) + " of " + file + " is above 0xFFFF: ModernUO does not see it");
        };
        if (list_.uop) {
            view.reads = kUop;
            const auto& problems = list_.uop->problems;
            if (std::any_of(problems.begin(), problems.end(),
                            [](const UopProblem& p) { return p.kind == UopProblem::Kind::BadVersion; })) {
                add(view, std::nullopt,
                    "ModernUO refuses MultiCollection.uop: it reads version 4 only, and this is version " +
                        std::to_string(list_.uop->version));
            }
            for (const UopSurvey::Multi& multi : list_.uop->multis) {
                const std::int64_t bytes = std::max(multi.storedLength, multi.length);
                if (bytes > kModernUoEntryBytes) {
                    add(view, multi.multi, ModernUoPayloadText(multi.multi, bytes));
                }
                if (multi.multi > kModernUoHighestMulti) {
                    unseen(multi.multi, kUop);
                }
            }
            heldOnlyBy(view, false, "ModernUO");
            uopProblems(view);
            return;
        }
        if (!readsMulInItsOwnSize(view)) {
            return;
        }
        for (const ClientMulti& multi : list_.multis) {
            if (multi.inMul && multi.multi > kModernUoHighestMulti) {
                unseen(multi.multi, kMul);
            }
        }
        mulProblems(view);
    }

    // POL reads either file, as its settings say: a number that one file holds alone is missed one way.
    void pol(ReaderView& view) {
        view.numbers = "every number of the file it reads";
        view.reads = list_.mul && list_.uop
                         ? std::string(kUop) + " or Multi.idx and Multi.mul, as its settings say"
                     : list_.uop ? std::string(kUop)
                                 : std::string("Multi.idx and Multi.mul");
        heldOnlyBy(view, false, "POL, when it");
        heldOnlyBy(view, true, "POL, when it");
        if (list_.mul) {
            mulProblems(view);
        }
        if (list_.uop) {
            uopProblems(view);
        }
    }

    // Slot 1 of Multi.idx, one record read; a free record for an empty index, which Sphere reads as none.
    IndexRecord multiZero() {
        const auto used = std::find_if(list_.mul->usedSlots.begin(), list_.mul->usedSlots.end(),
                                       [](const auto& slot) { return slot.slot == 1; });
        if (used != list_.mul->usedSlots.end()) {
            return used->entry;
        }
        if (list_.mul->slotCount == 0) {
            return IndexRecord::free();
        }
        RecordFile index(fileSystem_, targets_.mul->multiIdx, OpenMode::Read);
        return IndexRecord::decode(index.read(1));
    }

    void compareFiles() {
        std::map<std::int32_t, const ClientFilesSurvey::UsedSlot*> blocks;
        for (const auto& used : list_.mul->usedSlots) {
            blocks[MultiNumberOfSlot(used.slot)] = &used;
        }
        std::map<std::int32_t, const UopSurvey::Multi*> entries;
        for (const UopSurvey::Multi& multi : list_.uop->multis) {
            entries[multi.multi] = &multi;
        }
        std::optional<RecordFile> data;
        for (const ClientMulti& multi : list_.multis) {
            const std::string number = MultiText(multi.multi);
            if (multi.inMul != multi.inUop) {
                check_.disagreements.push_back(
                    {multi.multi,
                     multi.inMul ? FileDisagreement::Kind::MulOnly : FileDisagreement::Kind::UopOnly,
                     number + " is in " + (multi.inMul ? kMul : kUop) + " only"});
                continue;
            }
            const auto block = blocks.find(multi.multi);
            const auto entry = entries.find(multi.multi);
            if (block == blocks.end() || entry == entries.end() || !block->second->components) {
                continue;  // a damaged block or entry, which the files' problems tell of
            }
            if (!data) {
                data.emplace(fileSystem_, targets_.mul->multiMul, OpenMode::Read, mulSize());
            }
            if (const std::optional<std::string> why = differs(*data, *block->second, *entry->second)) {
                check_.disagreements.push_back(
                    {multi.multi, FileDisagreement::Kind::DifferentTiles,
                     number + " has other tiles in " + kMul + " than in " + kUop + " (" + *why + ")"});
            }
        }
    }

    // How the block's tiles differ from the entry's, a first lead record left out of both; nothing when
    // they are the same.
    std::optional<std::string> differs(RecordFile& data, const ClientFilesSurvey::UsedSlot& used,
                                       const UopSurvey::Multi& entry) const {
        std::vector<std::uint8_t> block(static_cast<std::size_t>(used.entry.Length));
        if (data.file().readAt(static_cast<std::uint64_t>(used.entry.Offset), block) != block.size()) {
            return "its block does not read";
        }
        UopMultiPayload payload;
        try {
            payload.tiles = UopTilesOfBlock(block, mulSize());
        } catch (const Error&) {
            return "Multi.mul has flags that no UOP tile can hold";
        }
        const auto components = payload.components();
        const std::uint32_t uopComponents = entry.tiles - (entry.leadRecord ? 1 : 0);
        if (components.size() != uopComponents) {
            return NumberText(static_cast<std::int64_t>(components.size())) + " tiles against " +
                   NumberText(static_cast<std::int64_t>(uopComponents));
        }
        if (UopTilesDigest(components) != entry.tilesDigest) {
            return "as many tiles, placed or flagged otherwise";
        }
        return std::nullopt;
    }

    FileSystem& fileSystem_;
    const PatchTargets& targets_;
    ReaderCheck& check_;
    const ClientMultiList& list_;
    bool uopBeside_ = false;
};

}  // namespace

const char* ReaderName(Reader reader) {
    constexpr const char* kNames[] = {
        "Sphere", "Game client / ClassicUO 7.0 and later", "Clients before 7.0", "ServUO", "ModernUO", "POL"};
    return kNames[static_cast<int>(reader)];
}

const char* ReaderKey(Reader reader) {
    constexpr const char* kKeys[] = {"sphere", "client", "oldClient", "servuo", "modernuo", "pol"};
    return kKeys[static_cast<int>(reader)];
}

const char* DisagreementKindName(FileDisagreement::Kind kind) {
    constexpr const char* kNames[] = {"mul-only", "uop-only", "different-tiles"};
    return kNames[static_cast<int>(kind)];
}

bool ReaderCheck::clean() const {
    return disagreements.empty() &&
           std::all_of(readers.begin(), readers.end(), [](const ReaderView& view) { return view.clean(); });
}

std::set<std::int32_t> ReaderCheck::numbersSeenOtherwise() const {
    std::set<std::int32_t> numbers;
    for (const ReaderView& view : readers) {
        for (const ReaderFinding& finding : view.findings) {
            if (finding.multi) {
                numbers.insert(*finding.multi);
            }
        }
    }
    for (const FileDisagreement& disagreement : disagreements) {
        numbers.insert(disagreement.multi);
    }
    return numbers;
}

ReaderCheck CheckReaders(FileSystem& fileSystem, const PatchTargets& targets,
                         std::optional<RecordSize> recordSize) {
    ReaderCheck check;
    check.files = ListClientMultis(fileSystem, targets, recordSize);
    Checker(fileSystem, targets, check).run();
    return check;
}

}  // namespace keelwright
