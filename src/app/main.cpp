// keelwright: the desktop program. Components.txt lies beside the program file. A manifest given as the
// argument (dropped on the program, or opened from the file manager) opens in the shard window.
#include <QApplication>
#include <QDir>
#include <QStringList>
#include <csignal>

#include "app/MainWindow.h"
#include "app/QtPlatform.h"
#include "app/QtSettingsStore.h"
#include "mulfiles/NativeFileSystem.h"

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file-size limit then fails with EFBIG and the patcher's undo runs, instead of the
    // signal ending the program between the write and its undo.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName("Keelwright");

    keelwright::QtPlatform services;
    keelwright::QtSettingsStore settings;
    keelwright::NativeFileSystem fileSystem;
    keelwright::Platform platform{services, services, services, services,  services,
                                  services, services, settings, fileSystem};
    keelwright::MainWindow window(platform,
                                  QDir(QApplication::applicationDirPath()).filePath("Components.txt"));
    window.startUp();
    window.showCentred();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !arguments.at(1).isEmpty()) {
        window.openShard(arguments.at(1));
    }
    return QApplication::exec();
}
