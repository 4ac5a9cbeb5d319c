#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/ProgramArguments.h"
#include "model/DesignList.h"
#include "model/NumberText.h"

namespace keelwright::cli {
namespace {

void writeText(const ComponentTable& table, StandardOutput& out) {
    out.write("Components: " + NumberText(table.Count) + "\n");
    out.write("MinX: " + NumberText(table.MinX) + "  MaxX: " + NumberText(table.MaxX) +
              "  MinY: " + NumberText(table.MinY) + "  MaxY: " + NumberText(table.MaxY) + "\n");
    out.write("ItemId\tX\tY\tZ\tFlags\n");
    for (std::int32_t i = 0; i < table.Count; ++i) {
        const auto e = static_cast<std::size_t>(i);
        for (const TextColumn* column : {&table.ItemId, &table.X, &table.Y, &table.Z}) {
            out.write((*column)[e]);
            out.put('\t');
        }
        out.write(table.Flags[e]);
        out.put('\n');
    }
}

// The keys in alphabetical order, as the JSON has always had them.
void writeJson(const ComponentTable& table, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject().key("components").beginArray();
    for (std::int32_t i = 0; i < table.Count; ++i) {
        const auto e = static_cast<std::size_t>(i);
        json.beginArray();
        for (const TextColumn* column : {&table.ItemId, &table.X, &table.Y, &table.Z, &table.Flags}) {
            json.latin1((*column)[e]);
        }
        json.endArray();
    }
    json.endArray();
    json.key("count").number(table.Count);
    json.key("maxX").number(table.MaxX);
    json.key("maxY").number(table.MaxY);
    json.key("minX").number(table.MinX);
    json.key("minY").number(table.MinY);
    json.endObject();
    out.put('\n');
}

const char* kindName(DesignList::Kind kind) {
    switch (kind) {
        case DesignList::Kind::Designs:
            return "designs";
        case DesignList::Kind::Templates:
            return "templates";
        case DesignList::Kind::Single:
            break;
    }
    return "multi";
}

// One line per design: its key (position or template id) and tile count, for designs also the three strings.
void writeDesigns(const DesignList& list, StandardOutput& out) {
    const bool designs = list.kind == DesignList::Kind::Designs;
    out.write(designs                                    ? "Design\tTiles\tName\tCategory\tSubsection\n"
              : list.kind == DesignList::Kind::Templates ? "Template\tTiles\n"
                                                         : "Multi\tTiles\n");
    for (const DesignSummary& d : list.entries) {
        out.write(ShownName(d.key) + "\t" + ShownName(d.tiles));
        if (designs) {
            out.write("\t" + ShownName(d.name) + "\t" + ShownName(d.category) + "\t" +
                      ShownName(d.subsection));
        }
        out.put('\n');
    }
}

void writeDesignsJson(const DesignList& list, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject().key("entries").beginArray();
    for (const DesignSummary& d : list.entries) {
        json.beginObject();
        json.key("category").utf8(ShownName(d.category));
        json.key("key").utf8(ShownName(d.key));
        json.key("name").utf8(ShownName(d.name));
        json.key("subsection").utf8(ShownName(d.subsection));
        json.key("tiles").utf8(ShownName(d.tiles));
        json.endObject();
    }
    json.endArray().key("kind").utf8(kindName(list.kind)).endObject();
    out.put('\n');
}

}  // namespace

int RunShow(const Invocation& invocation) {
    CommandLine parser(invocation, "Loads a script as the window's load command does and shows the multi.");
    AddScriptOptions(parser);
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.addFlag(
        "--list-designs",
        "Lists the designs of a UO Architect file or the templates of multi text instead, with their "
        "tile counts.");
    parser.parse(1);

    if (parser.isSet("--list-designs")) {
        const DesignList list =
            ListDesigns(PathOfArgument(parser.positionals().front()), ScriptTypeOption(parser));
        if (parser.isSet("--json")) {
            writeDesignsJson(list, invocation.out);
        } else {
            writeDesigns(list, invocation.out);
        }
        return kSuccess;
    }
    const LoadedMulti loaded = LoadScript(parser);
    if (parser.isSet("--json")) {
        writeJson(loaded.table, invocation.out);
    } else {
        writeText(loaded.table, invocation.out);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
