// keelwright: the desktop program. Components.txt lies beside the program file.
#include <QApplication>
#include <QDir>
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
    return QApplication::exec();
}
