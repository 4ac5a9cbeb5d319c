#include <algorithm>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ScriptOptions.h"
#include "model/NumberText.h"

namespace keelwright::cli {
namespace {

// --slot: the Multi.idx slot (counted from 1) that the multi was patched into; 0, the default, is the
// window's state before any patch.
std::int32_t patchSlot(const QCommandLineParser& parser) {
    if (!parser.isSet("slot")) {
        return 0;
    }
    const QString text = parser.value("slot");
    // Digits alone: no sign, blank or fraction that a number parser would quietly accept.
    const bool digitsOnly =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
    bool ok = false;
    const qlonglong slot = text.toLongLong(&ok);
    if (!digitsOnly || !ok || slot > kMaxPatchSlot) {
        throw UsageError("--slot takes a whole number from 0 to " + NumberText(kMaxPatchSlot) + ", not " +
                         text.toStdString());
    }
    return static_cast<std::int32_t>(slot);
}

}  // namespace

int RunScripts(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Loads a script as the window's load command does and writes the Sphere item scripts for the multi "
        "and its deed, as the window's Create Script command shows them (CR LF line ends).");
    AddScriptOptions(parser);
    AddScriptWritingOptions(parser);
    parser.addOption(
        {"slot", "The Multi.idx slot the multi was patched into (default 0: item number 3FFF).", "N"});
    Parse(parser, arguments, 1);
    const ScriptRequest request = ReadScriptRequest(parser);
    const std::int32_t slot = patchSlot(parser);

    const LoadedMulti loaded = LoadScript(parser);
    WriteScripts(request, BuildScripts(request, loaded, slot));
    return kSuccess;
}

}  // namespace keelwright::cli
