#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace keelwright {

class Clipboard;

// frmMultiScripts: shows the item scripts for the user to copy into sphereitems2.scp. Not modal; Close, the
// close box or Escape destroys it with its text. The text stays editable; Copy All copies it as it stands.
class ScriptsWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScriptsWindow(Clipboard& clipboard, QWidget* parent = nullptr);

    // Replaces the text with the given one and shows the window; the first time, centred on the window that
    // opened it and within the screen.
    void showScripts(const QString& text);
    // Puts the whole text on the clipboard, every line ending in CR LF as the server's scripts do.
    void copyAll();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Clipboard& clipboard_;
    QPlainTextEdit* txtScripts_;
    QPushButton* okButton_;
    QPushButton* cmdCopy_;
    QLabel* label1_;
};

}  // namespace keelwright
