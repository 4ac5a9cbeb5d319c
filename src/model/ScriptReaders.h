#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace keelwright {

struct ComponentTable;
class ComponentsList;

// The two kinds of script a multi is loaded from.
enum class ScriptType {
    MultiTxt,  // the multi text that the .EXTRACT command writes, or its header-less form
    Wsc,       // the items a Sphere server's .export command (or another WSC writer) writes
};

// The type a file name suggests: ".wsc" in any letter case is Wsc, anything else MultiTxt.
ScriptType ScriptTypeOf(const std::filesystem::path& path);

// Receives the number of components a reader found, once it has read its file and before it centres the
// multi (the window shows it at once, so it stays shown if centring or marking fails).
using ItemCountSink = std::function<void(std::int32_t)>;

// The readers fill a table that ResetMulti emptied, then centre the multi and mark the listed components.
// They throw Error naming the file and the line; the table is then left as far as the reading got.

// Multi text: three header lines, a count line, then one "id x y z ..." line per component; or, when its
// first line has five words, one "ItemId X Y Z Flags" line per component without a header (UOFiddler's
// form, ids often in "0x" hex). Either way the texts are stored as read.
void ReadMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount = {});

// WSC export, as Sphere's .export, UOFiddler and ServUO write it: per item a "SECTION WORLDITEM" line, a
// "{" line, "KEY VALUE" lines and a "}" line, blank lines between the groups. The item id, x, y and z are
// the values of the keys ID, X, Y and Z, in any letter case and separated from the key by spaces or tabs;
// other keys are ignored. A group without one of the four, or a file without a group, fails.
void ReadWscFile(std::string_view text, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount = {});

// Empties the table and loads the script file into it with the reader of its type.
void LoadMulti(const std::filesystem::path& script, ScriptType type, ComponentTable& table,
               const ComponentsList& components, const ItemCountSink& showItemCount = {});

}  // namespace keelwright
