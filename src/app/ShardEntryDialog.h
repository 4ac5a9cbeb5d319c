#pragma once

#include <QDialog>

#include "clientfiles/ManifestEditor.h"

class QCheckBox;
class QLineEdit;

namespace keelwright {

// The dialog of one manifest entry: number (decimal or 0x hex), name, buy, sell, design or template, and
// replace, remove and exact; OK is its default button.
class ShardEntryDialog : public QDialog {
    Q_OBJECT

public:
    ShardEntryDialog(QWidget* parent, const QString& number, const ManifestEntryValues& values);

    // Shows the dialog; true and the values changed when the user chose OK.
    static bool Ask(QWidget* parent, QString& number, ManifestEntryValues& values);

private:
    void takeValues(QString& number, ManifestEntryValues& values) const;

    QLineEdit* txtNumber_;
    QLineEdit* txtName_;
    QLineEdit* txtBuy_;
    QLineEdit* txtSell_;
    QLineEdit* txtDesign_;
    QLineEdit* txtTemplate_;
    QCheckBox* chkReplace_;
    QCheckBox* chkRemove_;
    QCheckBox* chkExact_;
};

}  // namespace keelwright
