#pragma once

#include <QString>
#include <cstdint>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"

namespace keelwright {

// What the program knows for the whole run: the loaded multi, the paths it works on and the components
// list. The main window owns the one instance and hands its parts to the commands.
struct Workspace {
    ComponentTable table;
    QString ScriptPath;        // the script the loaded multi came from; empty while no multi is loaded
    QString LastScriptFolder;  // where the last script chosen for loading lies; kept in the settings
    QString ArtFolder;         // the client folder whose art the preview draws with; kept in the settings
    QString MultiIdxPath;      // empty while the path in its box fails its check
    QString MultiMulPath;
    QString MultiCollectionPath;  // empty while its box is blank (no UOP) or fails its check
    // The slot the loaded multi was patched into, or found in when the user declined a second copy; 0 while
    // it is not patched.
    std::int32_t PatchSlot = 0;
    std::int32_t FirstFreeRecord = 0;
    ComponentsList components;
};

}  // namespace keelwright
