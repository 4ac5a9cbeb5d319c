#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keelwright {

struct ComponentTable;
class ComponentsList;

// The kinds of script a multi is loaded from.
enum class ScriptType {
    MultiTxt,  // the multi text that the .EXTRACT command writes, or its header-less form
    Wsc,       // the items a Sphere server's .export command (or another WSC writer) writes
    Uoa,       // a UO Architect design file in its binary form (its text form is multi text)
    Csv,       // the tile list that client-file editors export as comma-separated values
    UoaLib,    // UO Architect's design library: Designs.idx and, beside it, Designs.bin
};

// The type a file suggests, its extension in any letter case: ".wsc" is Wsc, ".csv" Csv, ".uoa" Uoa when
// the file's first two bytes are version 1 or 2 (UO Architect writes its text form under the same
// extension) and MultiTxt otherwise; a file named Designs.idx (any letter case) is UoaLib; any other is
// MultiTxt.
ScriptType ScriptTypeOf(const std::filesystem::path& path, std::string_view firstBytes = {});
// The type of its short name, as options and manifests give it: txt, wsc, uoa, uoalib or csv; nothing for
// another.
std::optional<ScriptType> ScriptTypeNamed(std::string_view name);
// The short name of a type, as ScriptTypeNamed takes it.
const char* ScriptTypeShortName(ScriptType type);
inline constexpr const char* kScriptTypeNames = "txt, wsc, uoa, uoalib or csv";

// Which design or template a load takes from a file that holds several. Nothing chosen takes the only one;
// a file with several then fails with a SeveralDesignsError (DesignList.h) that lists them.
struct DesignChoice {
    std::optional<std::string> design;      // UO Architect: a design's name, or its position from 1
    std::optional<std::string> templateId;  // multi text: the id on a template's second header line
};

// What a reader found once it has read its file: the number of components, for multi text the non-blank
// lines after the component lines it read (a count line smaller than the lines that follow leaves them
// unread), and what the load left out or changed, one sentence each for the user. It converts from and to
// the count alone, for readers and sinks that need no more.
struct ItemCount {
    ItemCount(std::int32_t components, std::size_t unread = 0, std::vector<std::string> notes = {})
        : count(components), unreadLines(unread), warnings(std::move(notes)) {}
    operator std::int32_t() const { return count; }

    std::int32_t count;
    std::size_t unreadLines;
    std::vector<std::string> warnings;
};

// How a script is loaded.
struct LoadOptions {
    // The tiles exactly as the file gives them, for a multi copied byte for byte: not centred, each tile's
    // Flags from its fifth column (a whole word up to 64 bits, ToFlagsWord), no components list applied.
    // Multi text and CSV only: a WSC export and a UO Architect design have no flags.
    bool exact = false;
    // The design or template to take from a file that holds several.
    DesignChoice choice;
};

// Receives the item count before the reader centres the multi (the window shows it at once, so it stays
// shown if centring or marking fails).
using ItemCountSink = std::function<void(const ItemCount&)>;

// The readers fill a table that ResetMulti emptied, then centre the multi and mark the listed components.
// They throw Error naming the file and the line; the table is then left as far as the reading got.

// Multi text: three header lines, a count line, then one "id x y z ..." line per component; or, when its
// first line has five words, one "ItemId X Y Z Flags" line per component without a header (UOFiddler's
// form, ids often in "0x" hex). Either way the texts are stored as read.
// A multi text may hold several templates, each with its own four header lines ("6 version", "N template
// id", "-1 item version", "C num components") and its tile lines; `options.choice.templateId` picks one.
void ReadMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount = {});
// The same, loaded as the options ask: an exact load needs the fifth word, the flags, on every line;
// `options.choice.templateId` picks a template.
void ReadMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount,
                  const LoadOptions& options);

// WSC export, as Sphere's .export, UOFiddler and ServUO write it: per item a "SECTION WORLDITEM" line, a
// "{" line, "KEY VALUE" lines and a "}" line, blank lines between the groups. The item id, x, y and z are
// the values of the keys ID, X, Y and Z, in any letter case and separated from the key by spaces or tabs;
// other keys are ignored. A group without one of the four, or a file without a group, fails.
void ReadWscFile(std::string_view text, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount = {});

// UO Architect binary (UoaFile.h has the layout): the design `options.choice.design` names, or the only one.
// The tiles' item ids are stored as unsigned decimal texts; level and hue have no place in the table. Errors
// name the file and the byte offset.
void ReadUoaFile(std::string_view bytes, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount = {},
                 const LoadOptions& options = {});

// UO Architect's design library (UoaLibrary.h has the layout): the design `options.choice.design` names, or
// the only one, its records read from `data` (Designs.bin). Item ids are the low 16 bits; level and hue have
// no place in the table: hues are dropped with one warning that counts them, and a z outside -128 to 127
// loads with a warning naming the first such tile. Errors name the file and the byte offset.
void ReadUoaLibrary(std::string_view index, std::string_view data, const std::string& indexName,
                    const std::string& dataName, ComponentTable& table, const ComponentsList& components,
                    const ItemCountSink& showItemCount = {}, const LoadOptions& options = {});

// CSV: a header line "TileID,OffsetX,OffsetY,OffsetZ,Flag[,Cliloc]" (any letter case), then one tile a
// line. Values are decimal or "0x" hex (offsets in hex as 16-bit two's complement, stored as decimal
// texts); columns after the Flag are not read; blank lines and lines starting with "//" are skipped. The
// Flag must be a number or empty, so that a load that keeps the file's flags can take it. A value may
// stand in double quotes, as spreadsheets save it.
void ReadCsvFile(std::string_view text, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount = {},
                 const LoadOptions& options = {});

// Empties the table and loads the script file into it with the reader of its type (by default the one
// ScriptTypeOf gives). Throws InvalidCall for an exact load of a type whose reader does not take it.
void LoadMulti(const std::filesystem::path& script, std::optional<ScriptType> type, ComponentTable& table,
               const ComponentsList& components, const ItemCountSink& showItemCount = {},
               const LoadOptions& options = {});

// The type a script plainly is by its lines, whatever its name: Wsc when one of its first lines is
// "SECTION WORLDITEM" (any letter case), MultiTxt when its first non-blank line is multi text's version
// line ("6 version") or a tile line of five words ("ItemId X Y Z Flags"); nothing otherwise.
std::optional<ScriptType> ScriptTypeByContents(std::string_view bytes);

// Loads as LoadMulti does with `type`; when that fails and the file plainly is another type
// (ScriptTypeByContents), loads it as that type instead. Returns the type it loaded as when that is not
// the one asked for. When the other type fails too, the first failure is thrown, except a
// SeveralDesignsError, which asks for a choice in the file as it is.
std::optional<ScriptType> LoadMultiAsItIs(const std::filesystem::path& script, std::optional<ScriptType> type,
                                          ComponentTable& table, const ComponentsList& components,
                                          const ItemCountSink& showItemCount = {},
                                          const LoadOptions& options = {});

// Loads text or bytes already read, as LoadMulti does after reading the file; throws InvalidCall for a
// design library, which is two files (ReadUoaLibrary reads it). A script of a text type is refused first
// when it is no text (RefuseNonText).
void ReadScript(std::string_view bytes, const std::string& fileName, ScriptType type, ComponentTable& table,
                const ComponentsList& components, const ItemCountSink& showItemCount = {},
                const LoadOptions& options = {});

}  // namespace keelwright
