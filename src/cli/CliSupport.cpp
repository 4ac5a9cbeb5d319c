#include "cli/CliSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <iostream>

#include "model/Error.h"
#include "model/ScriptReaders.h"

namespace keelwright::cli {
namespace {

ComponentsList readComponents(const QCommandLineParser& parser) {
    const bool explicitList = parser.isSet("components");
    if (explicitList && parser.isSet("no-components")) {
        throw UsageError("--components and --no-components exclude each other");
    }
    if (explicitList) {
        return ReadComponentsList(ToPath(parser.value("components")));
    }
    if (parser.isSet("no-components")) {
        return {};
    }
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath()).filePath("Components.txt");
    try {
        return ReadComponentsList(ToPath(besideProgram));
    } catch (const Error& e) {
        Warn(std::string(e.description()) + "; using an empty components list");
        return {};
    }
}

ScriptType scriptType(const QCommandLineParser& parser, const std::filesystem::path& script) {
    if (!parser.isSet("type")) {
        return ScriptTypeOf(script);
    }
    const QString type = parser.value("type");
    if (type == "txt") {
        return ScriptType::MultiTxt;
    }
    if (type == "wsc") {
        return ScriptType::Wsc;
    }
    throw UsageError("--type takes txt or wsc, not " + type.toStdString());
}

}  // namespace

void Parse(QCommandLineParser& parser, const QStringList& arguments, qsizetype positionals) {
    const QCommandLineOption help(QStringList{"h", "help"}, "Shows this help.");
    parser.addOption(help);
    if (!parser.parse(arguments)) {
        throw UsageError(parser.errorText().toStdString());
    }
    if (parser.isSet(help)) {
        // The parser names the program by its path; the usage line names the command as it was typed.
        QString help = parser.helpText();
        const qsizetype programEnd = help.indexOf(" [options]");
        help.replace(0, programEnd, "Usage: " + arguments.front());
        WriteOut(help.toStdString());
        throw HelpShown{};
    }
    const qsizetype given = parser.positionalArguments().size();
    if (given != positionals) {
        throw UsageError(given < positionals ? "missing argument" : "too many arguments");
    }
}

void AddScriptOptions(QCommandLineParser& parser) {
    parser.addOption({"type", "Reads SCRIPT as multi text (txt) or a WSC export (wsc); by default from its "
                              "extension.",
                      "txt|wsc"});
    parser.addOption({"components", "Marks the components this list names (default: Components.txt beside "
                                    "the program).",
                      "FILE"});
    parser.addOption({"no-components", "Uses an empty components list."});
    parser.addPositionalArgument("SCRIPT", "The multi text (*.txt) or WSC export (*.wsc) to load.");
}

LoadedMulti LoadScript(const QCommandLineParser& parser) {
    LoadedMulti loaded;
    loaded.components = readComponents(parser);
    const std::filesystem::path script = ToPath(parser.positionalArguments().front());
    LoadMulti(script, scriptType(parser, script), loaded.table, loaded.components);
    return loaded;
}

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

std::string ToBytes(const QString& text) { return text.toLatin1().toStdString(); }

QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void WriteOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void Warn(std::string_view message) { std::cerr << "keelwright-cli: warning: " << message << '\n'; }

int Fail(std::string_view message) {
    std::cerr << "keelwright-cli: error: " << message << '\n';
    return kFailure;
}

}  // namespace keelwright::cli
