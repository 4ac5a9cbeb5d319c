#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <optional>

class QTableWidget;

namespace keelwright {

// A modal list to pick one row from: a prompt above a table, the first row selected. Enter (or a double
// click) takes the selected row, Escape or Cancel takes none.
class ChoiceDialog : public QDialog {
    Q_OBJECT

public:
    ChoiceDialog(QWidget* parent, const QString& prompt, const QString& title, const QStringList& headers,
                 const QList<QStringList>& rows);

    // The selected row once accepted; nothing otherwise.
    std::optional<int> chosenRow() const;

private:
    QTableWidget* table_;
};

}  // namespace keelwright
