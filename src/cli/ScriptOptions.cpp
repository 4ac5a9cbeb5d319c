#include "cli/ScriptOptions.h"

#include <cstdio>

#include "cli/ScriptsFile.h"
#include "model/Error.h"

namespace keelwright::cli {
namespace {

// The text of a required option that the window's Create Script rule would accept: not spaces alone. It
// becomes the script's bytes as Latin-1, so any character beyond Latin-1 is refused rather than replaced.
std::string requiredText(const QCommandLineParser& parser, const QString& option) {
    if (!parser.isSet(option)) {
        throw UsageError("--" + option.toStdString() + " is required");
    }
    const QString text = parser.value(option);
    if (text.count(QChar(' ')) == text.size()) {
        throw UsageError("--" + option.toStdString() + " is blank");
    }
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            throw UsageError("--" + option.toStdString() + " holds a character that is not Latin-1");
        }
    }
    return ToBytes(text);
}

ScriptFormat format(const QCommandLineParser& parser) {
    if (!parser.isSet("format")) {
        throw UsageError("--format is required");
    }
    const QString format = parser.value("format");
    if (format == "51a") {
        return ScriptFormat::Ver51a;
    }
    if (format == "54") {
        return ScriptFormat::Ver54;
    }
    throw UsageError("--format takes 51a or 54, not " + format.toStdString());
}

}  // namespace

void AddScriptWritingOptions(QCommandLineParser& parser, const QString& outputHelp) {
    parser.addOption({"format", "Writes the old (51a) or the new (54) script format.", "51a|54"});
    parser.addOption({"name", "The multi name, written as given.", "NAME"});
    parser.addOption({"buy", "The price for which a vendor sells the deed.", "VALUE"});
    parser.addOption({"sell", "The price a vendor pays for the deed (old format only).", "VALUE"});
    parser.addOption({"scripts-only", "Gives every tile a component line, not only the listed ones."});
    parser.addOption({{"o", "output"}, outputHelp, "FILE"});
}

bool ScriptWritingRequested(const QCommandLineParser& parser) {
    for (const char* option : {"format", "name", "buy", "sell", "scripts-only", "output"}) {
        if (parser.isSet(option)) {
            return true;
        }
    }
    return false;
}

ScriptRequest ReadScriptRequest(const QCommandLineParser& parser) {
    ScriptRequest request;
    request.format = format(parser);
    request.details.multiName = requiredText(parser, "name");
    request.details.buyValue = requiredText(parser, "buy");
    request.details.sellValue = requiredText(parser, "sell");
    request.details.scriptsOnly = parser.isSet("scripts-only");
    request.outputPath = parser.value("output");
    if (parser.isSet("output") && request.outputPath.isEmpty()) {
        throw UsageError("--output names no file");
    }
    return request;
}

std::string BuildScripts(const ScriptRequest& request, const LoadedMulti& multi, std::int32_t patchSlot) {
    ScriptDetails details = request.details;
    details.patchSlot = patchSlot;
    details.componentsListCount = multi.components.count();
    return request.format == ScriptFormat::Ver54 ? CreateScript54(details, multi.table)
                                                 : CreateScript51a(details, multi.table);
}

void WriteScripts(const ScriptRequest& request, std::string_view text) {
    if (!request.outputPath.isEmpty()) {
        ScriptsFile(request.outputPath).commit(text);
        return;
    }
    WriteOut(text);
    if (std::ferror(stdout)) {
        throw Error(ErrorNumber::DeviceIo, "cannot write the scripts to standard output");
    }
}

}  // namespace keelwright::cli
