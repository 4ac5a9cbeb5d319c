#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
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

}  // namespace

int RunShow(const Invocation& invocation) {
    CommandLine parser(invocation, "Loads a script as the window's load command does and shows the multi.");
    AddScriptOptions(parser);
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.parse(1);

    const LoadedMulti loaded = LoadScript(parser);
    if (parser.isSet("--json")) {
        writeJson(loaded.table, invocation.out);
    } else {
        writeText(loaded.table, invocation.out);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
