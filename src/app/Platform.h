#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "uop/UopNewEntry.h"

class QWidget;

namespace keelwright {

class FileSystem;
class SettingsStore;

// The platform services the window uses, each behind a small interface so that tests can script a user's
// answers and watch what the program would have done.

// The settings of the open-file dialog at the moment it is shown. Its file name field starts empty.
struct FileDialogRequest {
    QString title;
    QString filter;  // description and pattern pairs, each part separated by "|"
    QString defaultExtension;
    QString folder;  // where the dialog opens; empty for the dialog's own choice
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Shows an open-file dialog; returns the chosen full path, or empty text when nothing was chosen.
    virtual QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // Shows a save-file dialog with `fileName` in its name field; it asks before replacing a file. Returns
    // the chosen full path, or empty text when nothing was chosen.
    virtual QString getSaveFileName(QWidget* parent, const FileDialogRequest& request,
                                    const QString& fileName) = 0;
    // Shows a dialog that chooses a folder, opening in `folder` (the dialog's own choice when empty); returns
    // the chosen folder, or empty text when nothing was chosen.
    virtual QString getExistingFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
};

// Information for news, Warning for a request refused until the user does something first, Critical for a
// failure.
enum class MessageIcon { None, Information, Warning, Critical };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal message with an OK button only.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption,
                             MessageIcon icon) = 0;
    // A modal question with Yes and No buttons, No the default; true when the user answers Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& caption) = 0;
    // The same question with Yes the default, for a step that only adds; services without such a box keep
    // No the default.
    virtual bool askYesNoDefaultYes(QWidget* parent, const QString& text, const QString& caption) {
        return askYesNo(parent, text, caption);
    }
};

class InputBoxes {
public:
    virtual ~InputBoxes() = default;
    // Asks for a line of text; returns empty text when the user cancels.
    virtual QString getText(QWidget* parent, const QString& prompt, const QString& title,
                            const QString& defaultText) = 0;
    // Asks for one row of a list (a table under `headers`, the first row selected): the chosen row's
    // index, or nothing when the user cancels. Enter takes the selected row, Escape cancels.
    virtual std::optional<int> chooseRow(QWidget* parent, const QString& prompt, const QString& title,
                                         const QStringList& headers, const QList<QStringList>& rows) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's contents with the text.
    virtual void setText(const QString& text) = 0;
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

// Long work done in the window's own thread. A dialog shows the step once the work has taken a moment, and
// keeps the window drawn meanwhile.
class ProgressDialogs {
public:
    virtual ~ProgressDialogs() = default;
    // Starts the progress of a piece of work titled `title`.
    virtual void beginProgress(QWidget* parent, const QString& title) = 0;
    // Tells the step and how much of `total` is done; false once the user has pressed Cancel. Without
    // `cancellable` the Cancel button is gone for the rest of the work.
    virtual bool progressStep(const QString& step, int done, int total, bool cancellable) = 0;
    virtual void endProgress() = 0;
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
    Clipboard& clipboard;
    Sounds& sounds;
    BusyPointer& pointer;
    ProgressDialogs& progress;
    ProgramControl& program;
    SettingsStore& settings;
    FileSystem& fileSystem;  // the client files and the extracted multi text go through it
    // SOURCE_DATE_EPOCH as the program read it at start: the time stamp of new UOP entries
    // (NewEntryFileTime), so that one patch applied twice gives the same bytes.
    std::optional<std::string> sourceDateEpoch;
};

// The time stamp new UOP entries carry now (NewEntryFileTime); throws InvalidCall for a SOURCE_DATE_EPOCH
// that is no whole number of seconds.
inline std::int64_t NewEntryTime(const Platform& platform) {
    return NewEntryFileTime(platform.sourceDateEpoch, std::chrono::system_clock::now());
}

}  // namespace keelwright
