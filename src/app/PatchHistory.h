#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace keelwright {

// The patches of this session: which script went into which pair of client files, and the slot it took
// last. Paths are compared as the file system resolves them, so two spellings of one file are one file.
class PatchHistory {
public:
    void record(const QString& script, const QString& multiIdx, const QString& multiMul, std::int32_t slot);
    // The slot of the last patch of the script into these files; nothing when there was none.
    std::optional<std::int32_t> slotOf(const QString& script, const QString& multiIdx,
                                       const QString& multiMul) const;

private:
    using Key = std::array<QString, 3>;
    static Key keyOf(const QString& script, const QString& multiIdx, const QString& multiMul);

    std::map<Key, std::int32_t> slots_;
};

}  // namespace keelwright
