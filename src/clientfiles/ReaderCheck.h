#pragma once

// How each program that reads the client files will read them: Sphere, the game client and ClassicUO from
// 7.0 on, clients before 7.0, ServUO, ModernUO and POL, each by its own rules, and every multi that one of
// them sees otherwise than the files hold it. Built on ListClientMultis, so each file is surveyed once;
// of Multi.mul only slot 1 of the index and the blocks of numbers both files hold are read again.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "clientfiles/ClientMultiList.h"

namespace keelwright {

enum class Reader { Sphere, Client, OldClient, ServUo, ModernUo, Pol };
inline constexpr Reader kReaders[] = {Reader::Sphere, Reader::Client,   Reader::OldClient,
                                      Reader::ServUo, Reader::ModernUo, Reader::Pol};

// The reader for people ("Game client / ClassicUO 7.0 and later"), and its stable JSON key ("client").
const char* ReaderName(Reader reader);
const char* ReaderKey(Reader reader);

// One multi, or the files as a whole (no number), that a reader sees otherwise than the files hold.
struct ReaderFinding {
    std::optional<std::int32_t> multi;
    std::string reason;  // "Sphere reads multi 0's 48 bytes as 3 records of 16: every multi ... is misread"
};

// How one reader reads the files given.
struct ReaderView {
    Reader reader = Reader::Sphere;
    bool checked = true;  // false: the file it reads was not given, so nothing is known of its view
    std::string reads;    // "Multi.idx and Multi.mul in 12-byte records", "MultiCollection.uop"
    std::string numbers;  // the numbers it can see: "0 to 0x1FFF"
    std::vector<ReaderFinding> findings;

    bool clean() const { return findings.empty(); }
};

// A number at which Multi.mul and MultiCollection.uop disagree.
struct FileDisagreement {
    enum class Kind { MulOnly, UopOnly, DifferentTiles };
    std::int32_t multi = 0;
    Kind kind = Kind::MulOnly;
    std::string reason;
};

// The stable JSON name of a disagreement ("mul-only", "uop-only", "different-tiles").
const char* DisagreementKindName(FileDisagreement::Kind kind);

// The check of the client files given.
struct ReaderCheck {
    ClientMultiList files;                        // the surveys it was made from
    std::vector<ReaderView> readers;              // in the order of kReaders
    std::vector<FileDisagreement> disagreements;  // in number order

    // Whether every reader whose file was given sees the files as they are, and the files agree.
    bool clean() const;
    // The numbers some reader sees otherwise, or the files disagree on, for marking rows.
    std::set<std::int32_t> numbersSeenOtherwise() const;
};

// Checks the targets (see above), Multi.mul read in `recordSize` when given. Only reads; the caller holds
// the shared locks. Throws as ListClientMultis does.
ReaderCheck CheckReaders(FileSystem& fileSystem, const PatchTargets& targets,
                         std::optional<RecordSize> recordSize = std::nullopt);

}  // namespace keelwright
