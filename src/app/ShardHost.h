#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <vector>

#include "clientfiles/PatchTargets.h"
#include "model/ComponentsList.h"
#include "model/ScriptReaders.h"
#include "render/PreviewTile.h"

namespace keelwright {

// The multi loaded in the main window, as Add loaded multi takes it.
struct LoadedMultiFacts {
    QString script;
    std::optional<ScriptType> type;  // nothing: from the file's extension
    QString name;
    QString buy;
    QString sell;
};

// What the shard window asks of the main window that opened it.
class ShardHost {
public:
    virtual ~ShardHost() = default;
    // The client files the main window's path boxes name while they are green.
    virtual PatchTargets hostClientFiles() const = 0;
    // The selected server version as a manifest names it ("51a", "54", "x"); empty when none is selected.
    virtual QString hostScriptFormat() const = 0;
    // The loaded multi; nothing while none is loaded.
    virtual std::optional<LoadedMultiFacts> hostLoadedMulti() const = 0;
    virtual const ComponentsList& hostComponents() const = 0;
    // The file hostComponents was read from, which no scripts output may replace; nothing when unknown.
    virtual std::optional<std::filesystem::path> hostComponentsFile() const { return std::nullopt; }
    // Draws the tiles in the preview window, titled by the script's path.
    virtual void hostPreview(std::vector<PreviewTile> tiles, const QString& scriptPath) = 0;
    // Shows the text in the scripts window.
    virtual void hostShowScripts(const QString& text) = 0;
    // Loads the design in the main window as its Load Script does; no type: as Load Script takes the file.
    virtual void hostLoadDesign(const QString& path, std::optional<ScriptType> type,
                                const DesignChoice& choice) = 0;
};

}  // namespace keelwright
