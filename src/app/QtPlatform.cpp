#include "app/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <algorithm>

#include "app/ChoiceDialog.h"

namespace keelwright {

QStringList NameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        filters << (description.contains("(" + pattern + ")") ? description
                                                              : description + " (" + pattern + ")");
    }
    return filters;
}

QString QtPlatform::getOpenFileName(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension.startsWith('.') ? request.defaultExtension.mid(1)
                                                                     : request.defaultExtension);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

QString QtPlatform::getSaveFileName(QWidget* parent, const FileDialogRequest& request,
                                    const QString& fileName) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension.startsWith('.') ? request.defaultExtension.mid(1)
                                                                     : request.defaultExtension);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

QString QtPlatform::getExistingFolder(QWidget* parent, const QString& title, const QString& folder) {
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

void QtPlatform::showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Information:
            shown = QMessageBox::Information;
            break;
        case MessageIcon::Warning:
            shown = QMessageBox::Warning;
            break;
        case MessageIcon::Critical:
            shown = QMessageBox::Critical;
            break;
    }
    QMessageBox box(shown, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

namespace {

bool ask(QWidget* parent, const QString& text, const QString& caption, QMessageBox::StandardButton standard) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(standard);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool QtPlatform::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    return ask(parent, text, caption, QMessageBox::No);
}

bool QtPlatform::askYesNoDefaultYes(QWidget* parent, const QString& text, const QString& caption) {
    return ask(parent, text, caption, QMessageBox::Yes);
}

QString QtPlatform::getText(QWidget* parent, const QString& prompt, const QString& title,
                            const QString& defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

std::optional<int> QtPlatform::chooseRow(QWidget* parent, const QString& prompt, const QString& title,
                                         const QStringList& headers, const QList<QStringList>& rows) {
    ChoiceDialog dialog(parent, prompt, title, headers, rows);
    dialog.exec();
    return dialog.chosenRow();
}

void QtPlatform::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void QtPlatform::beep() {
    QApplication::beep();
}

void QtPlatform::setBusy(bool busy) {
    if (busy == busy_) {
        return;
    }
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtPlatform::beginProgress(QWidget* parent, const QString& title) {
    endProgress();
    progress_ = new QProgressDialog(parent);
    progress_->setWindowTitle(title);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(500);  // work done in less never shows the dialog
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setValue(0);
}

bool QtPlatform::progressStep(const QString& step, int done, int total, bool cancellable) {
    if (progress_.isNull()) {
        return true;
    }
    if (!cancellable) {
        progress_->setCancelButton(nullptr);
    }
    progress_->setLabelText(step);
    progress_->setMaximum(std::max(total, 1));
    progress_->setValue(std::min(done, std::max(total, 1)));
    // Draws the windows meanwhile. Until the dialog shows (and blocks the windows behind it) the user's input
    // waits, so that no command starts inside the work.
    QCoreApplication::processEvents(progress_->isVisible() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
    return !progress_->wasCanceled();
}

void QtPlatform::endProgress() {
    delete progress_.data();
}

void QtPlatform::endProgram(int status) {
    QApplication::closeAllWindows();
    QCoreApplication::exit(status);
}

}  // namespace keelwright
