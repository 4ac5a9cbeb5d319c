// keelwright: the desktop program. Components.txt lies beside the program file (DefaultComponentsPath). A
// manifest given as the argument (dropped on the program, or opened from the file manager) opens in the
// shard window.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "KeelwrightVersion.h"
#include "app/MainWindow.h"
#include "app/QtPlatform.h"
#include "app/QtSettingsStore.h"
#include "app/QtText.h"
#include "model/ComponentsList.h"
#include "mulfiles/NativeFileSystem.h"

namespace {

// Answers --help and --version and ends the program (on Windows in a message box, as the program has no
// console), before the window's application starts, so that neither needs a display. Other arguments, Qt's
// own options among them, are left to the window's application.
void AnswerHelpOrVersion(int& argc, char* argv[]) {
    const QCoreApplication probe(argc, argv);
    QCoreApplication::setApplicationName("Keelwright");
    QCoreApplication::setApplicationVersion(QString::fromStdString(keelwright::VersionText()));
    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        "Keelwright patches custom multis into the Ultima Online client files and writes their Sphere item "
        "scripts.");
    const QCommandLineOption help = arguments.addHelpOption();
    const QCommandLineOption version = arguments.addVersionOption();
    arguments.addPositionalArgument("shard.toml", "A shard's manifest to open (see keelwright-cli apply).",
                                    "[shard.toml]");
    arguments.parse(QCoreApplication::arguments());
    if (arguments.isSet(help)) {
        arguments.showHelp();
    }
    if (arguments.isSet(version)) {
        arguments.showVersion();
    }
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file-size limit then fails with EFBIG and the patcher's undo runs, instead of the
    // signal ending the program between the write and its undo.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    AnswerHelpOrVersion(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Keelwright");

    keelwright::QtPlatform services;
    keelwright::QtSettingsStore settings;
    keelwright::NativeFileSystem fileSystem;
    std::optional<std::string> sourceDateEpoch;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr) {
        sourceDateEpoch = epoch;
    }
    keelwright::Platform platform{services, services, services, services,   services,       services,
                                  services, services, settings, fileSystem, sourceDateEpoch};
    const std::filesystem::path components = keelwright::DefaultComponentsPath(
        keelwright::ToPath(QApplication::applicationDirPath()),
        [&fileSystem](const std::filesystem::path& path) { return fileSystem.exists(path); });
    keelwright::MainWindow window(platform, keelwright::FromPath(components));
    window.startUp();
    window.showCentred();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments.at(1).isEmpty()) {
        window.openShard(arguments.at(1));
    }
    return QApplication::exec();
}
