#pragma once

#include <QString>

#include "app/Platform.h"

namespace keelwright {

// The one open-file dialog that the load command and both Browse buttons share. Each user sets its own
// filter and title; the default extension stays ".txt", and the file name stays from one use to the next,
// so the dialog opens with the last name any use left in it.
class CommonDialog {
public:
    explicit CommonDialog(FileDialogs& files) : files_(files) {}

    const QString& filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    const QString& title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    const QString& defaultExtension() const { return defaultExtension_; }
    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& fileName) { fileName_ = fileName; }

    // Shows the dialog and keeps its answer as the file name: the chosen path, or empty text.
    QString showOpen(QWidget* parent) {
        fileName_ = files_.getOpenFileName(parent, {title_, filter_, defaultExtension_, fileName_});
        return fileName_;
    }

private:
    FileDialogs& files_;
    QString filter_ = "Multi.txt files (*.txt)|*.txt";
    QString title_ = "Open Multi.txt";
    QString defaultExtension_ = ".txt";
    QString fileName_;
};

}  // namespace keelwright
