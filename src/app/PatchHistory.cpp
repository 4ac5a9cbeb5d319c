#include "app/PatchHistory.h"

#include <QFileInfo>

namespace keelwright {
namespace {

QString resolved(const QString& path) {
    if (path.isEmpty()) {
        return path;  // no file
    }
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();  // empty for a file that is gone
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

void PatchHistory::record(const QString& script, const QString& multiIdx, const QString& multiMul,
                          const QString& multiCollection, std::int32_t slot) {
    slots_[keyOf(script, multiIdx, multiMul, multiCollection)] = slot;
}

std::optional<std::int32_t> PatchHistory::slotOf(const QString& script, const QString& multiIdx,
                                                 const QString& multiMul,
                                                 const QString& multiCollection) const {
    const auto found = slots_.find(keyOf(script, multiIdx, multiMul, multiCollection));
    if (found == slots_.end()) {
        return std::nullopt;
    }
    return found->second;
}

PatchHistory::Key PatchHistory::keyOf(const QString& script, const QString& multiIdx, const QString& multiMul,
                                      const QString& multiCollection) {
    return {resolved(script), resolved(multiIdx), resolved(multiMul), resolved(multiCollection)};
}

}  // namespace keelwright
