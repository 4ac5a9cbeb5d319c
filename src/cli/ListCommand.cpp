#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "model/NumberText.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"

namespace keelwright::cli {
namespace {

std::string counted(std::size_t n, const std::string& noun) {
    return NumberText(static_cast<std::int64_t>(n)) + " " + noun + (n == 1 ? "" : "s");
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string asText(const ClientFilesSurvey& s) {
    std::string text = "Multi.idx: " + NumberText(s.slotCount) + " slots: " + NumberText(s.usedCount) +
                       " used, " + NumberText(s.freeCount) + " free, " + NumberText(s.zeroCount) +
                       " zero records; first free slot ";
    text += s.firstFreeSlot ? NumberText(*s.firstFreeSlot) + " (multi " +
                                  NumberText(MultiNumberOfSlot(*s.firstFreeSlot)) + ", item " +
                                  ItemHexOfSlot(*s.firstFreeSlot) + ")"
                            : std::string("none");
    text += "\nMulti.mul: " + NumberText(static_cast<std::int64_t>(s.dataBytes)) +
            " bytes; first free record " + NumberText(s.firstFreeRecord) + "\n";
    if (!s.usedSlots.empty()) {
        text += "\n    Slot   Multi   Item      Offset      Length  Components\n";
        for (const auto& used : s.usedSlots) {
            const std::optional<std::int32_t> components = used.components;
            text += rightAligned(NumberText(used.slot), 8) +
                    rightAligned(NumberText(MultiNumberOfSlot(used.slot)), 8) +
                    rightAligned(ItemHexOfSlot(used.slot), 7) +
                    rightAligned(NumberText(used.entry.Offset), 12) +
                    rightAligned(NumberText(used.entry.Length), 12) +
                    rightAligned(components ? NumberText(*components) : "-", 12) + "\n";
        }
    }
    if (s.sound()) {
        text += "\nNo problems found.\n";
    } else {
        text += "\n" + counted(s.problems.size(), "problem") + ":\n";
        for (const SurveyProblem& problem : s.problems) {
            text += "  " + problem.message + "\n";
        }
    }
    return text;
}

std::string asJson(const ClientFilesSurvey& s) {
    QJsonArray multis;
    for (const auto& used : s.usedSlots) {
        const std::optional<std::int32_t> components = used.components;
        multis.append(QJsonObject{
            {"slot", used.slot},
            {"multi", MultiNumberOfSlot(used.slot)},
            {"item", QString::fromStdString(ItemHexOfSlot(used.slot))},
            {"offset", used.entry.Offset},
            {"length", used.entry.Length},
            {"components", components ? QJsonValue(*components) : QJsonValue()},
        });
    }
    QJsonArray problems;
    for (const SurveyProblem& problem : s.problems) {
        QJsonObject object{{"kind", ProblemKindName(problem.kind)},
                           {"slot", problem.slot},
                           {"message", QString::fromStdString(problem.message)}};
        if (problem.kind == SurveyProblem::Kind::Overlap) {
            object.insert("otherSlot", problem.otherSlot);
        }
        problems.append(object);
    }
    const QJsonObject object{
        {"indexBytes", static_cast<qint64>(s.indexBytes)},
        {"dataBytes", static_cast<qint64>(s.dataBytes)},
        {"slots", s.slotCount},
        {"used", s.usedCount},
        {"free", s.freeCount},
        {"zeroRecords", s.zeroCount},
        {"firstFreeSlot", s.firstFreeSlot ? QJsonValue(*s.firstFreeSlot) : QJsonValue()},
        {"firstFreeRecord", static_cast<qint64>(s.firstFreeRecord)},
        {"multis", multis},
        {"problems", problems},
        {"sound", s.sound()},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

}  // namespace

int RunList(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Lists the multis of Multi.idx and Multi.mul and checks both files without changing them. Exits 1 "
        "when "
        "it finds problems.");
    AddClientFileOptions(parser);
    parser.addOption({"json", "Writes one JSON object instead of text for people."});
    Parse(parser, arguments, 0);
    const ClientFiles files = ClientFilesOf(parser);

    NativeFileSystem fileSystem;
    const ClientFilesSurvey survey = SurveyClientFiles(fileSystem, files);
    WriteOut(parser.isSet("json") ? asJson(survey) : asText(survey));
    if (!survey.sound()) {
        return Fail("the client files have " + counted(survey.problems.size(), "problem"));
    }
    return kSuccess;
}

}  // namespace keelwright::cli
