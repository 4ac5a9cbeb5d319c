#include "app/PatchHistory.h"

#include <QFileInfo>

namespace keelwright {
namespace {

QString resolved(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();  // empty for a file that is gone
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

void PatchHistory::record(const QString& script, const QString& multiIdx, const QString& multiMul,
                          std::int32_t slot) {
    slots_[keyOf(script, multiIdx, multiMul)] = slot;
}

std::optional<std::int32_t> PatchHistory::slotOf(const QString& script, const QString& multiIdx,
                                                 const QString& multiMul) const {
    const auto found = slots_.find(keyOf(script, multiIdx, multiMul));
    if (found == slots_.end()) {
        return std::nullopt;
    }
    return found->second;
}

PatchHistory::Key PatchHistory::keyOf(const QString& script, const QString& multiIdx,
                                      const QString& multiMul) {
    return {resolved(script), resolved(multiIdx), resolved(multiMul)};
}

}  // namespace keelwright
