#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "model/NumberText.h"

namespace keelwright::cli {
namespace {

std::string asText(const ComponentTable& table) {
    std::string text = "Components: " + NumberText(table.Count) + "\n";
    text += "MinX: " + NumberText(table.MinX) + "  MaxX: " + NumberText(table.MaxX) +
            "  MinY: " + NumberText(table.MinY) + "  MaxY: " + NumberText(table.MaxY) + "\n";
    text += "ItemId\tX\tY\tZ\tFlags\n";
    for (std::int32_t i = 0; i < table.Count; ++i) {
        const auto e = static_cast<std::size_t>(i);
        for (const TextColumn* column : {&table.ItemId, &table.X, &table.Y, &table.Z}) {
            text += (*column)[e];
            text += '\t';
        }
        text += table.Flags[e];
        text += '\n';
    }
    return text;
}

std::string asJson(const ComponentTable& table) {
    QJsonArray components;
    for (std::int32_t i = 0; i < table.Count; ++i) {
        const auto e = static_cast<std::size_t>(i);
        components.append(QJsonArray{FromBytes(table.ItemId[e]), FromBytes(table.X[e]), FromBytes(table.Y[e]),
                                     FromBytes(table.Z[e]), FromBytes(table.Flags[e])});
    }
    const QJsonObject object{
        {"count", table.Count}, {"minX", table.MinX}, {"minY", table.MinY},
        {"maxX", table.MaxX},   {"maxY", table.MaxY}, {"components", components},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

}  // namespace

int RunShow(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Loads a script as the window's load command does and shows the multi.");
    AddScriptOptions(parser);
    parser.addOption({"json", "Writes one JSON object instead of text for people."});
    Parse(parser, arguments, 1);

    const LoadedMulti loaded = LoadScript(parser);
    WriteOut(parser.isSet("json") ? asJson(loaded.table) : asText(loaded.table));
    return kSuccess;
}

}  // namespace keelwright::cli
