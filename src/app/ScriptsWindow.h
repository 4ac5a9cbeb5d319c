#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace keelwright {

class Clipboard;
struct Platform;

// frmMultiScripts: shows the item scripts for the user to copy into the server's scripts (the hint names the
// file for the script format), or to save as a file with Save… (written whole or not at all). Not modal;
// Close, the close box or Escape destroys it with its text. The text stays editable; Copy All copies it and
// Save… writes it as it stands.
class ScriptsWindow : public QWidget {
    Q_OBJECT

public:
    // Save… shows only with the platform services it needs.
    explicit ScriptsWindow(Clipboard& clipboard, QWidget* parent = nullptr,
                           const Platform* platform = nullptr);

    // The hint of Sphere 0.56d and X, whose scripts have no sphereitems2.scp.
    static inline const QString kVerXHint = "Copy these scripts to a .scp file of your server's scripts";

    // Replaces the text with the given one, the hint below it with `hint` when given, and shows the window;
    // the first time, beside the windows already open where the screen has room (PlaceToolWindow).
    void showScripts(const QString& text, const QString& hint = {});
    // Puts the whole text on the clipboard, every line ending in CR LF as the server's scripts do.
    void copyAll();
    // Asks for a file name and writes the whole text there, every line ending in CR LF; whole or not at all.
    void save();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The text as it stands, every line ending in CR LF.
    QString scriptText() const;

    Clipboard& clipboard_;
    const Platform* platform_;
    QPlainTextEdit* txtScripts_;
    QPushButton* okButton_;
    QPushButton* cmdCopy_;
    QPushButton* cmdSave_;
    QLabel* label1_;
};

}  // namespace keelwright
