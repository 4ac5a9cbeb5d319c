#include "app/ScriptsWindow.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/Platform.h"
#include "app/QtText.h"
#include "app/ToolWindowPlacement.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"
#include "model/Error.h"
#include "mulfiles/AtomicFile.h"

namespace keelwright {

ScriptsWindow::ScriptsWindow(Clipboard& clipboard, QWidget* parent, const Platform* platform)
    : QWidget(parent, Qt::Window), clipboard_(clipboard), platform_(platform) {
    setObjectName("frmMultiScripts");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Multi & Deed Scripts");
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());
    // The controls keep their places on a page of the built size. The window is that size, never larger;
    // where the screen has no room for it beside the main window it opens smaller and the page scrolls.
    const QSize built(7890 / kTwipsPerPixel, 6795 / kTwipsPerPixel);
    auto* page = new QWidget;
    page->setFixedSize(built);
    auto* scroller = new QScrollArea;
    scroller->setObjectName("scrWindow");
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(page);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(scroller);
    setMaximumSize(built);
    resize(built);

    // A plain-text editor stays responsive with a hundred thousand lines of scripts; a fixed pitch keeps
    // the columns of the component lines aligned.
    txtScripts_ = new QPlainTextEdit(page);
    txtScripts_->setObjectName("txtScripts");
    txtScripts_->setGeometry(Twips(120, 120, 7575, 6015));
    txtScripts_->setFont(FixedPitchFont());
    txtScripts_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtScripts_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtScripts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    okButton_ = new QPushButton("&Close", page);
    okButton_->setObjectName("OKButton");
    okButton_->setGeometry(Twips(6480, 6240, 1215, 375));

    cmdCopy_ = new QPushButton("Copy &All", page);
    cmdCopy_->setObjectName("cmdCopy");
    cmdCopy_->setGeometry(Twips(5160, 6240, 1215, 375));
    cmdCopy_->setToolTip("Copies the scripts to the clipboard");
    cmdSave_ = new QPushButton("&Save…", page);
    cmdSave_->setObjectName("cmdSave");
    cmdSave_->setGeometry(Twips(3840, 6240, 1215, 375));
    cmdSave_->setToolTip("Writes the scripts to a file");
    cmdSave_->setVisible(platform_ != nullptr);
    for (QPushButton* button : {okButton_, cmdCopy_, cmdSave_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    label1_ = new QLabel("Copy these scripts to your sphereitems2.scp", page);
    label1_->setObjectName("Label1");
    // Beside Save…, in the window's font, on two lines where the hint needs them.
    label1_->setGeometry(Twips(120, 6240, 3615, 375));
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    setTabOrder(okButton_, txtScripts_);
    setTabOrder(txtScripts_, cmdSave_);
    setTabOrder(cmdSave_, cmdCopy_);
    okButton_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdCopy_, &QPushButton::clicked, this, &ScriptsWindow::copyAll);
    connect(cmdSave_, &QPushButton::clicked, this, &ScriptsWindow::save);
}

void ScriptsWindow::showScripts(const QString& text, const QString& hint) {
    txtScripts_->setPlainText(text);
    if (!hint.isEmpty()) {
        label1_->setText(hint);
    }
    txtScripts_->repaint();
    if (!isVisible()) {
        PlaceToolWindow(this);
    }
    show();
    raise();
    activateWindow();
}

QString ScriptsWindow::scriptText() const {
    // The raw text keeps a no-break space as it is; its blocks are separated by paragraph separators.
    QString text = txtScripts_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, "\r\n").replace(QChar::LineSeparator, "\r\n");
    return text;
}

void ScriptsWindow::copyAll() {
    clipboard_.setText(scriptText());
}

void ScriptsWindow::save() {
    if (platform_ == nullptr) {
        return;
    }
    const QString target = platform_->files.getSaveFileName(
        this, {"Save the scripts", "Sphere scripts (*.scp)|*.scp|Text files (*.txt)|*.txt", ".scp", {}},
        "multi scripts.scp");
    if (target.isEmpty()) {
        return;
    }
    const QString text = scriptText();
    const QString character = FirstNonLatin1(text);
    try {
        if (!character.isEmpty()) {
            throw Error(ErrorNumber::InvalidFileFormat,
                        "the scripts hold the character " + character.toStdString() +
                            ", which a script file cannot hold; nothing was written");
        }
        WriteFileAtomically(platform_->fileSystem, ToPath(target), ToBytes(text));
    } catch (const Error& e) {
        platform_->messages.showMessage(this, FromUtf8(e.description()), windowTitle(),
                                        MessageIcon::Critical);
        return;
    }
    label1_->setText("Saved to " + QDir::toNativeSeparators(target));
}

void ScriptsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace keelwright
