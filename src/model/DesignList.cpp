#include "model/DesignList.h"

#include <algorithm>
#include <charconv>

#include "model/BinaryTextRefusal.h"
#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/HeaderlessMultiTxt.h"
#include "model/MultiTxtTemplates.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "model/TextLines.h"
#include "model/UoaFile.h"
#include "model/UoaLibrary.h"

namespace keelwright {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string kindName(DesignList::Kind kind) {
    return kind == DesignList::Kind::Templates ? "templates" : "designs";
}

// The length of the UTF-8 sequence that begins `bytes`, 0 when it is not one (cut short, overlong, a
// surrogate or past U+10FFFF).
std::size_t utf8Length(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || bytes.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    if ((lead == 0xE0 && at(1) < 0xA0) || (lead == 0xED && at(1) > 0x9F) || (lead == 0xF0 && at(1) < 0x90) ||
        (lead == 0xF4 && at(1) > 0x8F)) {
        return 0;
    }
    return length;
}

}  // namespace

SeveralDesignsError::SeveralDesignsError(const DesignList& designs, const std::string& fileName)
    : Error(ErrorNumber::InvalidCall,
            "the file holds " + NumberText(static_cast<std::int64_t>(designs.entries.size())) + " " +
                kindName(designs.kind) + ", so one must be chosen: " + DescribeDesigns(designs)),
      designs_(designs) {
    at(fileName);
}

std::string DescribeDesigns(const DesignList& designs) {
    std::string text;
    for (const DesignSummary& d : designs.entries) {
        text += text.empty() ? "" : ", ";
        if (designs.kind == DesignList::Kind::Templates) {
            text += "id " + ShownName(d.key);
        } else {
            text += d.key;
            if (!d.name.empty()) {
                text += " \"" + ShownName(d.name) + "\"";
            }
        }
        text += " (" + ShownName(d.tiles) + (d.tiles == "1" ? " tile)" : " tiles)");
    }
    return text;
}

DesignList DesignListOf(const std::vector<UoaDesign>& designs) {
    DesignList list{DesignList::Kind::Designs, {}};
    for (std::size_t i = 0; i < designs.size(); ++i) {
        const UoaDesign& d = designs[i];
        list.entries.push_back({NumberText(static_cast<std::int64_t>(i + 1)), d.name, d.category,
                                d.subsection, NumberText(d.tileCount)});
    }
    return list;
}

std::size_t ChooseUoaDesign(const std::vector<UoaDesign>& designs, const DesignChoice& choice,
                            const std::string& fileName) {
    if (choice.templateId) {
        throw Error(
            ErrorNumber::InvalidCall,
            "a UO Architect design file holds designs, not templates: choose a design by name or position")
            .at(fileName);
    }
    if (!choice.design) {
        if (designs.size() > 1) {
            throw SeveralDesignsError(DesignListOf(designs), fileName);
        }
        return 0;
    }
    const std::string& wanted = *choice.design;
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].name == wanted) {
            named.push_back(i);
        }
    }
    if (named.size() == 1) {
        return named.front();
    }
    if (named.size() > 1) {
        throw Error(ErrorNumber::InvalidCall, NumberText(static_cast<std::int64_t>(named.size())) +
                                                  " designs are named " + QuoteInput(wanted) +
                                                  ": choose one by position (" +
                                                  DescribeDesigns(DesignListOf(designs)) + ")")
            .at(fileName);
    }
    std::size_t position = 0;
    const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), position);
    if (ec == std::errc() && end == wanted.data() + wanted.size() && position >= 1 &&
        position <= designs.size()) {
        return position - 1;
    }
    throw Error(ErrorNumber::InvalidCall,
                "no design is named " + QuoteInput(wanted) +
                    " or has that position: " + DescribeDesigns(DesignListOf(designs)))
        .at(fileName);
}

DesignList DesignListOf(const std::vector<MultiTxtTemplate>& templates) {
    DesignList list{DesignList::Kind::Templates, {}};
    for (const MultiTxtTemplate& t : templates) {
        list.entries.push_back({std::string(t.id), {}, {}, {}, std::string(t.count)});
    }
    return list;
}

DesignList ListDesigns(std::string_view bytes, const std::string& fileName, ScriptType type) {
    RefuseNonText(bytes, fileName, type);
    if (type == ScriptType::Uoa) {
        return DesignListOf(ReadUoaDesigns(bytes, fileName));
    }
    if (type == ScriptType::MultiTxt && !IsHeaderlessMultiTxt(bytes)) {
        return DesignListOf(FindTemplates(bytes));
    }
    ComponentTable table;
    ReadScript(bytes, fileName, type, table, {});
    return {DesignList::Kind::Single, {{"1", {}, {}, {}, NumberText(table.Count)}}};
}

DesignList ListDesigns(const std::filesystem::path& script, std::optional<ScriptType> type) {
    const std::string bytes = ReadFileBytes(script);
    const ScriptType read = type ? *type : ScriptTypeOf(script, bytes);
    if (read == ScriptType::UoaLib) {
        const std::filesystem::path data = UoaLibraryDataOf(script);
        return DesignListOf(ReadUoaLibraryIndex(bytes, PathText(script), ReadFileBytes(data).size()));
    }
    return ListDesigns(bytes, PathText(script), read);
}

std::string ShownName(std::string_view bytes) {
    std::string text;
    while (!bytes.empty()) {
        const std::size_t length = utf8Length(bytes);
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const bool control = lead < 0x20 || lead == 0x7F ||
                             (length == 2 && lead == 0xC2 && static_cast<unsigned char>(bytes[1]) < 0xA0);
        if (length == 0 || control) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                const auto byte = static_cast<unsigned char>(bytes[i]);
                text += "\\x";
                text += kHexDigits[byte >> 4];
                text += kHexDigits[byte & 0xF];
            }
            bytes.remove_prefix(std::max<std::size_t>(length, 1));
            continue;
        }
        text += bytes.substr(0, length);
        bytes.remove_prefix(length);
    }
    return text;
}

}  // namespace keelwright
