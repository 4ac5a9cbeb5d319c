// The manifest is read with toml++, which keeps the source line of every key and value, so that each error
// names the line the user has to change.
#define TOML_HEADER_ONLY 1
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

#include "clientfiles/Manifest.h"

#include <algorithm>
#include <map>

#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "model/TextLines.h"
#include "scripts/ScriptParts.h"
#include "uop/UopMultis.h"

namespace keelwright {
namespace {

// The checks of one TOML table: each key is taken once, and what is left over is unknown.
class TableReader {
public:
    TableReader(const toml::table& table, std::string where, const std::string& fileName,
                const std::filesystem::path& folder)
        : table_(table), where_(std::move(where)), fileName_(fileName), folder_(folder) {}

    std::int64_t line() const { return static_cast<std::int64_t>(table_.source().begin.line); }

    Error error(std::int64_t line, const std::string& key, const std::string& reason) const {
        return Error(ErrorNumber::InvalidFileFormat, where_ + " " + key + ": " + reason).at(fileName_, line);
    }
    Error errorAt(const toml::node& node, const std::string& key, const std::string& reason) const {
        return error(static_cast<std::int64_t>(node.source().begin.line), key, reason);
    }

    const toml::node* take(const std::string& key) {
        taken_.push_back(key);
        return table_.get(key);
    }
    bool has(const std::string& key) const { return table_.contains(key); }

    std::optional<std::string> text(const std::string& key) {
        const toml::node* node = take(key);
        if (node == nullptr) {
            return std::nullopt;
        }
        if (!node->is_string()) {
            throw errorAt(*node, key, "must be a text in quotes");
        }
        return node->as_string()->get();
    }
    // A text, or a whole number as its decimal text.
    std::optional<std::string> textOrNumber(const std::string& key) {
        const toml::node* node = table_.get(key);
        if (node != nullptr && node->is_integer()) {
            take(key);
            return std::to_string(node->as_integer()->get());
        }
        if (node != nullptr && !node->is_string()) {
            take(key);
            throw errorAt(*node, key, "must be a text or a whole number");
        }
        return text(key);
    }
    std::optional<std::filesystem::path> path(const std::string& key) {
        const std::optional<std::string> value = text(key);
        if (!value) {
            return std::nullopt;
        }
        if (value->empty()) {
            throw errorAt(*table_.get(key), key, "names no file");
        }
        return folder_ / std::filesystem::path(std::u8string(value->begin(), value->end()));
    }
    bool flag(const std::string& key) {
        const toml::node* node = take(key);
        if (node == nullptr) {
            return false;
        }
        if (!node->is_boolean()) {
            throw errorAt(*node, key, "must be true or false");
        }
        return node->as_boolean()->get();
    }
    std::optional<std::int64_t> integer(const std::string& key) {
        const toml::node* node = take(key);
        if (node == nullptr) {
            return std::nullopt;
        }
        if (!node->is_integer()) {
            throw errorAt(*node, key, "must be a whole number");
        }
        return node->as_integer()->get();
    }
    // A script text (name, buy, sell): a TOML text or, for prices, a whole number not below 0; not blank,
    // without a line break or another control character (ScriptValueFault, PriceFault), and Latin-1 as
    // every script text is.
    std::string scriptText(const std::string& key, bool numberAllowed) {
        const toml::node* node = take(key);
        if (node == nullptr) {
            throw error(line(), key, "is required");
        }
        std::string utf8;
        if (numberAllowed && node->is_integer()) {
            const std::string price = NumberText(node->as_integer()->get());
            if (const std::optional<std::string> fault = PriceFault(price)) {
                throw errorAt(*node, key, *fault);
            }
            return price;
        }
        if (!node->is_string()) {
            throw errorAt(*node, key,
                          numberAllowed ? "must be a number or a text" : "must be a text in quotes");
        }
        utf8 = node->as_string()->get();
        if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return c == ' '; })) {
            throw errorAt(*node, key, "is blank");
        }
        if (const std::optional<std::string> fault =
                numberAllowed ? PriceFault(utf8) : ScriptValueFault(utf8)) {
            throw errorAt(*node, key, *fault);
        }
        std::string latin1;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            if (lead < 0x80) {
                latin1.push_back(static_cast<char>(lead));
            } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
                latin1.push_back(static_cast<char>(((lead & 0x03U) << 6) | (utf8[++i] & 0x3F)));
            } else {
                throw errorAt(*node, key, "holds a character that is not Latin-1");
            }
        }
        return latin1;
    }

    // Throws for the first key that was not taken.
    void refuseUnknownKeys() const {
        for (auto&& [key, value] : table_) {
            if (std::find(taken_.begin(), taken_.end(), key.str()) == taken_.end()) {
                throw error(static_cast<std::int64_t>(key.source().begin.line), QuoteInput(key.str()),
                            "is not a key of " + where_);
            }
        }
    }

private:
    const toml::table& table_;
    std::string where_;
    const std::string& fileName_;
    const std::filesystem::path& folder_;
    std::vector<std::string> taken_;
};

const toml::table& tableOf(const toml::table& root, const std::string& key, const std::string& fileName) {
    const toml::node* node = root.get(key);
    if (!node->is_table()) {
        throw Error(ErrorNumber::InvalidFileFormat, key + " must be a table, [" + key + "]")
            .at(fileName, static_cast<std::int64_t>(node->source().begin.line));
    }
    return *node->as_table();
}

void readClient(const toml::table& root, Manifest& manifest, const std::filesystem::path& folder) {
    if (!root.contains("client")) {
        throw Error(ErrorNumber::InvalidFileFormat, "[client] is required: the client files to write")
            .at(manifest.fileName, 1);
    }
    TableReader client(tableOf(root, "client", manifest.fileName), "[client]", manifest.fileName, folder);
    manifest.clientLine = client.line();
    manifest.idx = client.path("idx");
    manifest.mul = client.path("mul");
    manifest.uop = client.path("uop");
    if (const std::optional<std::int64_t> size = client.integer("record-size")) {
        if (*size != 12 && *size != 16) {
            throw client.errorAt(*tableOf(root, "client", manifest.fileName).get("record-size"),
                                 "record-size", "must be 12 or 16");
        }
        manifest.recordSize = *size == 12 ? RecordSize::Twelve : RecordSize::Sixteen;
    }
    client.refuseUnknownKeys();
    if (manifest.idx.has_value() != manifest.mul.has_value()) {
        throw client.error(client.line(), manifest.idx ? "mul" : "idx",
                           "is required with " + std::string(manifest.idx ? "idx" : "mul"));
    }
    if (!manifest.idx && !manifest.uop) {
        throw client.error(client.line(), "idx, mul, uop",
                           "name no client file: give idx and mul, uop or all three");
    }
    if (manifest.recordSize && !manifest.mul) {
        throw client.error(client.line(), "record-size",
                           "is the size of the records of Multi.mul: it needs mul");
    }
}

void readScripts(const toml::table& root, Manifest& manifest, const std::filesystem::path& folder) {
    if (!root.contains("scripts")) {
        return;
    }
    TableReader reader(tableOf(root, "scripts", manifest.fileName), "[scripts]", manifest.fileName, folder);
    ManifestScripts scripts;
    const std::optional<std::string> format = reader.text("format");
    if (!format) {
        throw reader.error(reader.line(), "format", "is required: 51a, 54 or x");
    }
    const std::optional<ScriptFormat> named = ScriptFormatNamed(*format);
    if (!named) {
        throw reader.errorAt(*tableOf(root, "scripts", manifest.fileName).get("format"), "format",
                             "must be 51a, 54 or x, not " + QuoteInput(*format));
    }
    scripts.format = *named;
    const std::optional<std::filesystem::path> output = reader.path("output");
    if (!output) {
        throw reader.error(reader.line(), "output", "is required: the scripts file to write");
    }
    scripts.output = *output;
    scripts.components = reader.path("components");
    scripts.scriptsOnly = reader.flag("scripts-only");
    reader.refuseUnknownKeys();
    manifest.scripts = scripts;
}

ManifestEntry readEntry(const toml::table& table, const Manifest& manifest,
                        const std::filesystem::path& folder) {
    TableReader reader(table, "[[multi]]", manifest.fileName, folder);
    ManifestEntry entry;
    entry.line = reader.line();
    const std::optional<std::int64_t> number = reader.integer("number");
    if (!number) {
        throw reader.error(entry.line, "number", "is required");
    }
    entry.numberLine = static_cast<std::int64_t>(table.get("number")->source().begin.line);
    if (*number < 0 || *number > kHighestUopMulti) {
        throw reader.error(entry.numberLine, "number",
                           NumberText(*number) + " is outside 0 to " + NumberText(kHighestUopMulti));
    }
    entry.number = static_cast<std::int32_t>(*number);
    entry.remove = reader.flag("remove");
    entry.replace = reader.flag("replace");
    if (entry.remove) {
        for (const char* key : {"script", "type", "design", "template", "name", "buy", "sell", "exact"}) {
            if (reader.has(key)) {
                throw reader.errorAt(*table.get(key), key,
                                     "has no place in an entry that removes its number");
            }
        }
        reader.refuseUnknownKeys();
        return entry;
    }
    const std::optional<std::filesystem::path> script = reader.path("script");
    if (!script) {
        throw reader.error(entry.line, "script", "is required (or remove = true)");
    }
    entry.script = *script;
    if (const std::optional<std::string> type = reader.text("type")) {
        entry.type = ScriptTypeNamed(*type);
        if (!entry.type) {
            throw reader.errorAt(*table.get("type"), "type",
                                 std::string("must be ") + kScriptTypeNames + ", not " + QuoteInput(*type));
        }
    }
    entry.choice.design = reader.textOrNumber("design");
    entry.choice.templateId = reader.textOrNumber("template");
    if (entry.choice.design && entry.choice.templateId) {
        throw reader.errorAt(*table.get("template"), "template",
                             "excludes design: a file holds designs or templates");
    }
    entry.name = reader.scriptText("name", false);
    if (manifest.scripts) {
        entry.buy = reader.scriptText("buy", true);
        entry.sell = reader.scriptText("sell", true);
    } else {
        for (const char* key : {"buy", "sell"}) {
            if (reader.has(key)) {
                reader.scriptText(key, true);  // checked all the same, so that adding [scripts] later works
            }
        }
    }
    entry.exact = reader.flag("exact");
    reader.refuseUnknownKeys();
    return entry;
}

void readEntries(const toml::table& root, Manifest& manifest, const std::filesystem::path& folder) {
    const toml::node* multis = root.get("multi");
    if (multis == nullptr) {
        return;
    }
    if (!multis->is_array_of_tables()) {
        throw Error(ErrorNumber::InvalidFileFormat, "multi must be a list of tables, [[multi]]")
            .at(manifest.fileName, static_cast<std::int64_t>(multis->source().begin.line));
    }
    std::map<std::int32_t, std::int64_t> lineOfNumber;
    for (const toml::node& node : *multis->as_array()) {
        ManifestEntry entry = readEntry(*node.as_table(), manifest, folder);
        const auto [at, added] = lineOfNumber.emplace(entry.number, entry.line);
        if (!added) {
            throw Error(ErrorNumber::InvalidFileFormat, "[[multi]] number: " + MultiHex(entry.number) +
                                                            " is named already on line " +
                                                            NumberText(at->second))
                .at(manifest.fileName, entry.numberLine);
        }
        manifest.entries.push_back(std::move(entry));
    }
}

}  // namespace

const ManifestEntry* Manifest::entryOf(std::int32_t number) const {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const ManifestEntry& e) { return e.number == number; });
    return found == entries.end() ? nullptr : &*found;
}

std::string MultiHex(std::int32_t number) {
    return "0x" + Hex32(number);
}

Manifest ParseManifest(std::string_view text, const std::string& fileName,
                       const std::filesystem::path& folder) {
    Manifest manifest;
    manifest.fileName = fileName;
    toml::table root;
    try {
        root = toml::parse(text, fileName);
    } catch (const toml::parse_error& e) {
        throw Error(ErrorNumber::InvalidFileFormat, std::string(e.description()))
            .at(fileName, static_cast<std::int64_t>(e.source().begin.line));
    }
    for (auto&& [key, value] : root) {
        if (key.str() != "client" && key.str() != "scripts" && key.str() != "multi") {
            throw Error(
                ErrorNumber::InvalidFileFormat,
                QuoteInput(key.str()) + " is not a table of the manifest: [client], [scripts] or [[multi]]")
                .at(fileName, static_cast<std::int64_t>(key.source().begin.line));
        }
    }
    readClient(root, manifest, folder);
    readScripts(root, manifest, folder);
    readEntries(root, manifest, folder);
    return manifest;
}

Manifest ReadManifest(const std::filesystem::path& path) {
    return ParseManifest(ReadFileBytes(path), PathText(path), path.parent_path());
}

}  // namespace keelwright
