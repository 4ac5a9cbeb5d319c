#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace keelwright {

// frmMultiScripts: shows the item scripts for the user to copy into sphereitems2.scp. Not modal; Close or the
// close box destroys it with its text.
class ScriptsWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScriptsWindow(QWidget* parent = nullptr);

    // Replaces the text with the given one and shows the window.
    void showScripts(const QString& text);

private:
    QPlainTextEdit* txtScripts_;
    QPushButton* okButton_;
    QLabel* label1_;
};

}  // namespace keelwright
