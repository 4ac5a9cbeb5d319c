#include "app/ChoiceDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/WindowIcon.h"
#include "app/WindowLook.h"

namespace keelwright {

ChoiceDialog::ChoiceDialog(QWidget* parent, const QString& prompt, const QString& title,
                           const QStringList& headers, const QList<QStringList>& rows)
    : QDialog(parent) {
    setObjectName("dlgChoice");
    setWindowTitle(title);
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());

    auto* label = new QLabel(prompt, this);
    label->setObjectName("lblPrompt");
    label->setWordWrap(true);
    table_ = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headers.size()), this);
    table_->setObjectName("tblChoices");
    table_->setHorizontalHeaderLabels(headers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < table_->rowCount(); ++row) {
        for (int column = 0; column < table_->columnCount() && column < rows[row].size(); ++column) {
            table_->setItem(row, column, new QTableWidgetItem(rows[row][column]));
        }
    }
    table_->resizeColumnsToContents();
    if (table_->rowCount() > 0) {
        table_->selectRow(0);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(label);
    column->addWidget(table_, 1);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter on the list and a double click take the row, as the OK button does.
    connect(table_, &QTableWidget::activated, this, &QDialog::accept);
    table_->setFocus();
}

std::optional<int> ChoiceDialog::chosenRow() const {
    const QList<QTableWidgetItem*> items = table_->selectedItems();
    if (result() != QDialog::Accepted || items.isEmpty()) {
        return std::nullopt;
    }
    return items.front()->row();
}

}  // namespace keelwright
