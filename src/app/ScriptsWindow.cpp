#include "app/ScriptsWindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/WindowIcon.h"
#include "app/WindowLook.h"

namespace keelwright {

ScriptsWindow::ScriptsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmMultiScripts");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Multi & Deed Scripts");
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());
    setFixedSize(7890 / kTwipsPerPixel, 6795 / kTwipsPerPixel);

    // A plain-text editor stays responsive with a hundred thousand lines of scripts.
    txtScripts_ = new QPlainTextEdit(this);
    txtScripts_->setObjectName("txtScripts");
    txtScripts_->setGeometry(Twips(120, 120, 7575, 6015));
    txtScripts_->setFont(TimesFont(11.25));
    txtScripts_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtScripts_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtScripts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    okButton_ = new QPushButton("&Close", this);
    okButton_->setObjectName("OKButton");
    okButton_->setGeometry(Twips(6480, 6240, 1215, 375));
    okButton_->setAutoDefault(false);
    okButton_->setDefault(false);

    label1_ = new QLabel("Copy these scripts to your sphereitems2.scp", this);
    label1_->setObjectName("Label1");
    label1_->setGeometry(Twips(480, 6360, 4695, 375));
    // MS Sans Serif 12 pt in the design; a substitute at the default font's scale (12 * 7.5 / 8) fits.
    QFont labelFont = DefaultFont();
    labelFont.setPointSizeF(11.25);
    label1_->setFont(labelFont);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    setTabOrder(okButton_, txtScripts_);
    okButton_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &QWidget::close);
}

void ScriptsWindow::showScripts(const QString& text) {
    txtScripts_->setPlainText(text);
    txtScripts_->repaint();
    show();
    raise();
    activateWindow();
}

}  // namespace keelwright
