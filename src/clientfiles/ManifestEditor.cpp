// Every edit parses the text afresh, so that the source positions toml++ gives always describe the text as
// it stands, and replaces a range of bytes found from them. Columns count code points, so a line's bytes are
// walked as UTF-8 to find one.
#define TOML_HEADER_ONLY 1
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

#include "clientfiles/ManifestEditor.h"

#include <algorithm>
#include <vector>

#include "clientfiles/Manifest.h"
#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

toml::table parseToml(const std::string& text, const std::string& fileName) {
    try {
        return toml::parse(text, fileName);
    } catch (const toml::parse_error& e) {
        throw Error(ErrorNumber::InvalidFileFormat, std::string(e.description()))
            .at(fileName, static_cast<std::int64_t>(e.source().begin.line));
    }
}

// Where lines and source positions lie in the text.
class Lines {
public:
    explicit Lines(std::string&&) = delete;  // it keeps a reference to the text
    explicit Lines(const std::string& text) : text_(text) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                starts_.push_back(i + 1);
            }
        }
    }
    std::size_t start(std::int64_t line) const {
        return line <= count() ? starts_[static_cast<std::size_t>(line - 1)] : text_.size();
    }
    // The start of the next line, or the end of the text.
    std::size_t end(std::int64_t line) const { return start(line + 1); }
    std::int64_t count() const { return static_cast<std::int64_t>(starts_.size()); }
    std::size_t offset(const toml::source_position& at) const {
        std::size_t i = start(at.line);
        for (toml::source_index column = 1; column < at.column && i < text_.size(); ++column) {
            ++i;
            while (i < text_.size() && (static_cast<unsigned char>(text_[i]) & 0xC0U) == 0x80U) {
                ++i;  // a continuation byte of the same code point
            }
        }
        return i;
    }
    bool blank(std::int64_t line) const {
        if (line < 1 || line > count()) {
            return false;
        }
        const std::string_view bytes(text_.data() + start(line), end(line) - start(line));
        return !bytes.empty() && bytes.find_first_not_of(" \t\r\n") == std::string_view::npos;
    }
    std::string indentOf(std::int64_t line) const {
        const std::size_t from = start(line);
        std::size_t to = from;
        while (to < text_.size() && (text_[to] == ' ' || text_[to] == '\t')) {
            ++to;
        }
        return text_.substr(from, to - from);
    }

private:
    const std::string& text_;
    std::vector<std::size_t> starts_;
};

// A value an entry should hold: its TOML text, and its value as a node compares with it.
struct Wanted {
    std::string toml;
    std::string plain;
};
using WantedKeys = std::vector<std::pair<const char*, std::optional<Wanted>>>;

std::optional<Wanted> textValue(const std::optional<std::string>& text) {
    if (!text) {
        return std::nullopt;
    }
    return Wanted{TomlString(*text), *text};
}

std::optional<Wanted> flagValue(bool flag) {
    return flag ? std::optional(Wanted{"true", "true"}) : std::nullopt;
}

// A price of plain digits is written as a TOML number, as a person would; anything else as a text.
std::optional<Wanted> priceValue(const std::string& price) {
    if (price.empty()) {
        return std::nullopt;
    }
    const bool digits =
        price.size() <= 18 &&
        std::all_of(price.begin(), price.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        (price.size() == 1 || price[0] != '0');
    return digits ? Wanted{price, price} : Wanted{TomlString(price), price};
}

// The keys of an entry in the order a new entry writes them; the number comes last, as changing it first
// would lose the entry the others are found by.
WantedKeys wantedKeys(const ManifestEntryValues& v) {
    auto nonEmpty = [](const std::string& text) {
        return text.empty() ? std::nullopt : std::optional<std::string>(text);
    };
    const bool keep = !v.remove;
    return {{"script", keep ? textValue(nonEmpty(v.script)) : std::nullopt},
            {"type", keep ? textValue(nonEmpty(v.type)) : std::nullopt},
            {"design", keep ? textValue(v.design) : std::nullopt},
            {"template", keep ? textValue(v.templateId) : std::nullopt},
            {"name", keep ? textValue(nonEmpty(v.name)) : std::nullopt},
            {"buy", keep ? priceValue(v.buy) : std::nullopt},
            {"sell", keep ? priceValue(v.sell) : std::nullopt},
            {"replace", flagValue(v.replace)},
            {"remove", flagValue(v.remove)},
            {"exact", keep ? flagValue(v.exact) : std::nullopt},
            {"number", Wanted{MultiHex(v.number), std::to_string(v.number)}}};
}

// A node's value as Wanted::plain gives it: a text as it is, a number in decimal, a flag as true or false.
std::optional<std::string> plainOf(const toml::node& node) {
    if (const auto* text = node.as_string()) {
        return text->get();
    }
    if (const auto* integer = node.as_integer()) {
        return std::to_string(integer->get());
    }
    if (const auto* flag = node.as_boolean()) {
        return flag->get() ? "true" : "false";
    }
    return std::nullopt;
}

const toml::table* entryTable(const toml::table& root, std::int32_t number, const std::string& fileName) {
    if (const toml::array* multis = root["multi"].as_array()) {
        for (const toml::node& node : *multis) {
            const toml::table* entry = node.as_table();
            const toml::node* key = entry != nullptr ? entry->get("number") : nullptr;
            if (key != nullptr && key->is_integer() && key->as_integer()->get() == number) {
                if (entry->is_inline()) {
                    throw Error(
                        ErrorNumber::InvalidCall,
                        "multi " + MultiHex(number) + " is written inline; change it in a text editor")
                        .at(fileName, static_cast<std::int64_t>(entry->source().begin.line));
                }
                return entry;
            }
        }
    }
    throw Error(ErrorNumber::InvalidCall, "no [[multi]] entry has the number " + MultiHex(number))
        .at(fileName);
}

// The last line of a table's keys and values; its header line when it has none.
std::int64_t lastLineOf(const toml::table& table) {
    auto last = static_cast<std::int64_t>(table.source().begin.line);
    for (auto&& [key, value] : table) {
        last = std::max({last, static_cast<std::int64_t>(key.source().end.line),
                         static_cast<std::int64_t>(value.source().end.line)});
    }
    return last;
}

}  // namespace

std::string TomlString(std::string_view utf8) {
    std::string quoted = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\b':
                quoted += "\\b";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\f':
                quoted += "\\f";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    constexpr const char* kDigits = "0123456789ABCDEF";
                    quoted += "\\u00";
                    quoted.push_back(kDigits[byte >> 4]);
                    quoted.push_back(kDigits[byte & 0x0F]);
                } else {
                    quoted.push_back(c);
                }
        }
    }
    return quoted + "\"";
}

ManifestEditor::ManifestEditor(std::string text, std::string fileName)
    : text_(std::move(text)), fileName_(std::move(fileName)) {
    parseToml(text_, fileName_);
}

std::string ManifestEditor::eol() const {
    const std::size_t lf = text_.find('\n');
    return lf != std::string::npos && (lf == 0 || text_[lf - 1] != '\r') ? "\n" : "\r\n";
}

namespace {

// Puts one key of `table` in line with `wanted`, in `text`; false when it already is.
bool settleKey(std::string& text, const toml::table& table, const std::string& key,
               const std::optional<Wanted>& wanted, const std::string& eol) {
    const Lines lines(text);
    const toml::node* node = table.get(key);
    if (node != nullptr && wanted && plainOf(*node) == wanted->plain) {
        return false;
    }
    if (node == nullptr && !wanted) {
        return false;
    }
    if (node != nullptr && !wanted && node->is_boolean() && !node->as_boolean()->get()) {
        return false;  // "replace = false" says what an absent key says
    }
    if (node != nullptr && wanted) {
        const std::size_t from = lines.offset(node->source().begin);
        const std::size_t to = lines.offset(node->source().end);
        text.replace(from, to - from, wanted->toml);
        return true;
    }
    if (node != nullptr) {
        const auto keyNode = table.find(key);
        const std::size_t from = lines.start(static_cast<std::int64_t>(keyNode->first.source().begin.line));
        const std::size_t to = lines.end(static_cast<std::int64_t>(node->source().end.line));
        text.erase(from, to - from);
        return true;
    }
    const std::int64_t last = lastLineOf(table);
    const std::string indent = table.empty() ? std::string() : lines.indentOf(last);
    std::size_t at = lines.end(last);
    std::string added = indent + key + " = " + wanted->toml + eol;
    if (at == text.size() && !text.empty() && text.back() != '\n') {
        added.insert(0, eol);
    }
    text.insert(at, added);
    return true;
}

}  // namespace

void ManifestEditor::changeEntry(std::int32_t number, const ManifestEntryValues& values) {
    const std::string lineEnd = eol();
    for (const auto& [key, wanted] : wantedKeys(values)) {
        const toml::table root = parseToml(text_, fileName_);
        settleKey(text_, *entryTable(root, number, fileName_), key, wanted, lineEnd);
    }
    parseToml(text_, fileName_);
}

void ManifestEditor::appendEntry(const ManifestEntryValues& values) {
    const std::string lineEnd = eol();
    std::string entry;
    if (!text_.empty() && text_.back() != '\n') {
        entry += lineEnd;
    }
    const std::string ended = text_ + entry;  // Lines keeps a reference to its text
    const Lines lines(ended);
    if (!text_.empty() && !lines.blank(lines.count() - 1)) {
        entry += lineEnd;
    }
    entry += "[[multi]]" + lineEnd;
    WantedKeys keys = wantedKeys(values);
    std::rotate(keys.begin(), keys.end() - 1, keys.end());  // the number first, as people write it
    for (const auto& [key, wanted] : keys) {
        if (wanted) {
            entry += std::string(key) + " = " + wanted->toml + lineEnd;
        }
    }
    text_ += entry;
    parseToml(text_, fileName_);
}

void ManifestEditor::dropEntry(std::int32_t number) {
    const toml::table root = parseToml(text_, fileName_);
    const toml::table& entry = *entryTable(root, number, fileName_);
    const Lines lines(text_);
    const auto first = static_cast<std::int64_t>(entry.source().begin.line);
    std::int64_t last = lastLineOf(entry);
    if ((first == 1 || lines.blank(first - 1)) && lines.blank(last + 1)) {
        ++last;
    }
    text_.erase(lines.start(first), lines.end(last) - lines.start(first));
    parseToml(text_, fileName_);
}

void ManifestEditor::setTableKey(std::string_view table, std::string_view key,
                                 const std::optional<std::string>& value) {
    const std::string lineEnd = eol();
    toml::table root = parseToml(text_, fileName_);
    if (!root.contains(table)) {
        if (!value) {
            return;
        }
        if (!text_.empty() && text_.back() != '\n') {
            text_ += lineEnd;
        }
        text_ += lineEnd + "[" + std::string(table) + "]" + lineEnd;
        root = parseToml(text_, fileName_);
    }
    const toml::table* found = root[table].as_table();
    if (found == nullptr || found->is_inline()) {
        throw Error(ErrorNumber::InvalidCall,
                    std::string(table) + " is not a table to change here; change it in a text editor")
            .at(fileName_);
    }
    settleKey(text_, *found, std::string(key), textValue(value), lineEnd);
    parseToml(text_, fileName_);
}

}  // namespace keelwright
