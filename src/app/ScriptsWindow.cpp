#include "app/ScriptsWindow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "app/Platform.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"

namespace keelwright {

ScriptsWindow::ScriptsWindow(Clipboard& clipboard, QWidget* parent)
    : QWidget(parent, Qt::Window), clipboard_(clipboard) {
    setObjectName("frmMultiScripts");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Multi & Deed Scripts");
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());
    setFixedSize(7890 / kTwipsPerPixel, 6795 / kTwipsPerPixel);

    // A plain-text editor stays responsive with a hundred thousand lines of scripts; a fixed pitch keeps
    // the columns of the component lines aligned.
    txtScripts_ = new QPlainTextEdit(this);
    txtScripts_->setObjectName("txtScripts");
    txtScripts_->setGeometry(Twips(120, 120, 7575, 6015));
    txtScripts_->setFont(FixedPitchFont());
    txtScripts_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtScripts_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtScripts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    okButton_ = new QPushButton("&Close", this);
    okButton_->setObjectName("OKButton");
    okButton_->setGeometry(Twips(6480, 6240, 1215, 375));

    cmdCopy_ = new QPushButton("Copy &All", this);
    cmdCopy_->setObjectName("cmdCopy");
    cmdCopy_->setGeometry(Twips(5160, 6240, 1215, 375));
    cmdCopy_->setToolTip("Copies the scripts to the clipboard");
    for (QPushButton* button : {okButton_, cmdCopy_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    label1_ = new QLabel("Copy these scripts to your sphereitems2.scp", this);
    label1_->setObjectName("Label1");
    label1_->setGeometry(Twips(480, 6240, 4575, 375));
    // MS Sans Serif 12 pt in the design; a substitute at the default font's scale (12 * 7.5 / 8) fits.
    QFont labelFont = DefaultFont();
    labelFont.setPointSizeF(11.25);
    label1_->setFont(labelFont);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    setTabOrder(okButton_, txtScripts_);
    setTabOrder(txtScripts_, cmdCopy_);
    okButton_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdCopy_, &QPushButton::clicked, this, &ScriptsWindow::copyAll);
}

void ScriptsWindow::showScripts(const QString& text) {
    txtScripts_->setPlainText(text);
    txtScripts_->repaint();
    if (!isVisible()) {
        PlaceOverOpener(this);
    }
    show();
    raise();
    activateWindow();
}

void ScriptsWindow::copyAll() {
    // The raw text keeps a no-break space as it is; its blocks are separated by paragraph separators.
    QString text = txtScripts_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, "\r\n").replace(QChar::LineSeparator, "\r\n");
    clipboard_.setText(text);
}

void ScriptsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace keelwright
