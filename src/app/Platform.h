#pragma once

#include <QString>

class QWidget;

namespace keelwright {

class FileSystem;
class SettingsStore;

// The platform services the window uses, each behind a small interface so that tests can script a user's
// answers and watch what the program would have done.

// The settings of the open-file dialog at the moment it is shown.
struct FileDialogRequest {
    QString title;
    QString filter;  // description and pattern pairs, each part separated by "|"
    QString defaultExtension;
    QString fileName;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Shows an open-file dialog; returns the chosen full path, or empty text when nothing was chosen.
    virtual QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
};

enum class MessageIcon { None, Critical };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal message with an OK button only.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) = 0;
};

class InputBoxes {
public:
    virtual ~InputBoxes() = default;
    // Asks for a line of text; returns empty text when the user cancels.
    virtual QString getText(QWidget* parent, const QString& prompt, const QString& title,
                            const QString& defaultText) = 0;
};

class Sounds {
public:
    virtual ~Sounds() = default;
    virtual void beep() = 0;
};

class BusyPointer {
public:
    virtual ~BusyPointer() = default;
    // Shows the hourglass over the whole application while busy, the default pointer otherwise.
    virtual void setBusy(bool busy) = 0;
};

class ProgramControl {
public:
    virtual ~ProgramControl() = default;
    // Closes every window and ends the program once the current event returns; callers return at once.
    virtual void endProgram(int status) = 0;
};

struct Platform {
    FileDialogs& files;
    MessageBoxes& messages;
    InputBoxes& inputs;
    Sounds& sounds;
    BusyPointer& pointer;
    ProgramControl& program;
    SettingsStore& settings;
    FileSystem& fileSystem;  // the client files and the extracted multi text go through it
};

}  // namespace keelwright
