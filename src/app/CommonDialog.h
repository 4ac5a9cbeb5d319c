#pragma once

#include <QString>

#include "app/Platform.h"

namespace keelwright {

// The one open-file dialog that the load command and both Browse buttons share. Each user sets its own
// filter and title and says where it opens; the default extension stays ".txt". The file name field always
// starts empty: a name left from another use would put the wrong file into a box.
class CommonDialog {
public:
    explicit CommonDialog(FileDialogs& files) : files_(files) {}

    const QString& filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    const QString& title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    const QString& defaultExtension() const { return defaultExtension_; }

    // Shows the dialog in `folder` (the dialog's own choice when empty); the chosen path, or empty text.
    QString showOpen(QWidget* parent, const QString& folder) {
        return files_.getOpenFileName(parent, {title_, filter_, defaultExtension_, folder});
    }

private:
    FileDialogs& files_;
    QString filter_ = "Multi.txt files (*.txt)|*.txt";
    QString title_ = "Open Multi.txt";
    QString defaultExtension_ = ".txt";
};

}  // namespace keelwright
