#pragma once

#include <QString>
#include <cstdint>

#include "model/ComponentsList.h"
#include "model/ComponentTable.h"

namespace keelwright {

// What the program knows for the whole run: the loaded multi, the paths it works on, the last patch and
// the components list. The main window owns the one instance and hands its parts to the commands.
struct Workspace {
    ComponentTable table;
    QString ScriptPath;    // the last script chosen for loading; empty until then
    QString MultiIdxPath;  // empty while the path in its box fails its check
    QString MultiMulPath;
    std::int32_t PatchSlot = 0;  // the slot the last completed patch filled; 0 before any
    std::int32_t FirstFreeRecord = 0;
    ComponentsList components;
};

}  // namespace keelwright
