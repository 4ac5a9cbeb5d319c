#pragma once

#include <cstddef>
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

// What a reader found once it has read its file: the number of components and, for multi text, the
// non-blank lines after the component lines it read (a count line smaller than the lines that follow
// leaves them unread). It converts from and to the count alone, for readers and sinks that need no more.
struct ItemCount {
    ItemCount(std::int32_t components, std::size_t unread = 0) : count(components), unreadLines(unread) {}
    operator std::int32_t() const { return count; }

    std::int32_t count;
    std::size_t unreadLines;
};

// Receives the item count before the reader centres the multi (the window shows it at once, so it stays
// shown if centring or marking fails).
using ItemCountSink = std::function<void(const ItemCount&)>;

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
