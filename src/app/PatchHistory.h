#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace keelwright {

// The patches of this session: which script went into which client files, and the slot it took last. The
// files are Multi.idx and Multi.mul, and MultiCollection.uop or none (an empty path). Paths are compared as
// the file system resolves them, so two spellings of one file are one file.
class PatchHistory {
public:
    void record(const QString& script, const QString& multiIdx, const QString& multiMul,
                const QString& multiCollection, std::int32_t slot);
    // The slot of the last patch of the script into these files; nothing when there was none.
    std::optional<std::int32_t> slotOf(const QString& script, const QString& multiIdx,
                                       const QString& multiMul, const QString& multiCollection) const;

private:
    using Key = std::array<QString, 4>;
    static Key keyOf(const QString& script, const QString& multiIdx, const QString& multiMul,
                     const QString& multiCollection);

    std::map<Key, std::int32_t> slots_;
};

}  // namespace keelwright
