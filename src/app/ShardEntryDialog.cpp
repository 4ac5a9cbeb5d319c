#include "app/ShardEntryDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "app/WindowLook.h"

namespace keelwright {

ShardEntryDialog::ShardEntryDialog(QWidget* parent, const QString& number, const ManifestEntryValues& values)
    : QDialog(parent) {
    setObjectName("dlgShardEntry");
    setWindowTitle("Shard entry");
    setFont(DefaultFont());
    auto box = [this](const char* name, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        return edit;
    };
    auto optionalText = [](const std::optional<std::string>& text) {
        return text ? FromUtf8(*text) : QString();
    };
    txtNumber_ = box("txtNumber", number);
    txtName_ = box("txtName", FromUtf8(values.name));
    txtBuy_ = box("txtBuy", FromUtf8(values.buy));
    txtSell_ = box("txtSell", FromUtf8(values.sell));
    txtDesign_ = box("txtDesign", optionalText(values.design));
    txtTemplate_ = box("txtTemplate", optionalText(values.templateId));
    chkReplace_ = new QCheckBox("May re&place a multi this manifest did not write", this);
    chkReplace_->setChecked(values.replace);
    chkRemove_ = new QCheckBox("&Remove this number from the files", this);
    chkRemove_->setChecked(values.remove);
    chkExact_ = new QCheckBox("E&xact: no centring, flags as the file gives them", this);
    chkExact_->setChecked(values.exact);

    auto* form = new QFormLayout(this);
    form->addRow("&Number:", txtNumber_);
    form->addRow("N&ame:", txtName_);
    form->addRow("&Buy:", txtBuy_);
    form->addRow("&Sell:", txtSell_);
    form->addRow("&Design:", txtDesign_);
    form->addRow("&Template:", txtTemplate_);
    form->addRow(chkReplace_);
    form->addRow(chkRemove_);
    form->addRow(chkExact_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ShardEntryDialog::takeValues(QString& number, ManifestEntryValues& values) const {
    auto optionalText = [](const QLineEdit* box) {
        const QString text = box->text().trimmed();
        return text.isEmpty() ? std::nullopt : std::optional(text.toUtf8().toStdString());
    };
    number = txtNumber_->text().trimmed();
    values.name = txtName_->text().toUtf8().toStdString();
    values.buy = txtBuy_->text().trimmed().toUtf8().toStdString();
    values.sell = txtSell_->text().trimmed().toUtf8().toStdString();
    values.design = optionalText(txtDesign_);
    values.templateId = optionalText(txtTemplate_);
    values.replace = chkReplace_->isChecked();
    values.remove = chkRemove_->isChecked();
    values.exact = chkExact_->isChecked();
}

bool ShardEntryDialog::Ask(QWidget* parent, QString& number, ManifestEntryValues& values) {
    ShardEntryDialog dialog(parent, number, values);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    dialog.takeValues(number, values);
    return true;
}

}  // namespace keelwright
