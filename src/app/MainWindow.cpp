#include "app/MainWindow.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <tuple>
#include <vector>

#include "app/QtText.h"
#include "app/WindowLook.h"
#include "clientfiles/ClientFileCheck.h"
#include "model/Error.h"

namespace keelwright {
namespace {

// Removes leading and trailing spaces (and spaces only), as the path checks and the script rule do.
QString trimmedSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == ' ') {
        ++first;
    }
    while (last > first && text[last - 1] == ' ') {
        --last;
    }
    return text.mid(first, last - first);
}

// Whether a client-file path names an existing file; an empty or malformed path does not.
bool namesAFile(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.lastModified().isValid();
}

// "art.mul is not a Multi.mul: ...": the file by its name alone, the reason after it.
QString boxReason(const Error& error) {
    // The short description's "art.mul: is not" reads as a sentence without its colon.
    QString text = ShortDescription(error);
    const QString glued = QFileInfo(FromUtf8(error.file())).fileName() + ": is ";
    return text.startsWith(glued) ? text.remove(glued.size() - 5, 1) : text;
}

}  // namespace

MainWindow::MainWindow(const Platform& platform, QString componentsPath, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      componentsPath_(std::move(componentsPath)),
      dlgCommon_(platform.files) {
    buildControls();
    connectControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp() {
    SetOptionSelected(optVer51a_, true);
    try {
        workspace_.components = ReadComponentsList(ToPath(componentsPath_));
        txtComponents_->setText(QString::number(workspace_.components.count()));
    } catch (const Error& e) {
        // The program still works without the list: no tile is marked as a separate component.
        workspace_.components = ComponentsList();
        txtComponents_->setText("0");
        showStatus("Components.txt could not be read", FromUtf8(e.description()));
    }
    SetBoxColour(txtMultiIdx_, kInvalidPath);
    SetBoxColour(txtMultiMul_, kInvalidPath);
    CheckMultiCollectionPath();
    LoadSettings();
}

void MainWindow::showCentred() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    for (QWidget* widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain()) {
        if (widget->isEnabled() && widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus();
            break;
        }
    }
}

void MainWindow::CheckMultiIdxPath() {
    checkPath(txtMultiIdx_, workspace_.MultiIdxPath, ClientFileRole::MultiIdx);
    // Whether Multi.mul belongs to the index depends on the index.
    if (!trimmedSpaces(txtMultiMul_->text()).isEmpty()) {
        CheckMultiMulPath();
    }
}

void MainWindow::CheckMultiMulPath() {
    checkPath(txtMultiMul_, workspace_.MultiMulPath, ClientFileRole::MultiMul);
}

void MainWindow::CheckMultiCollectionPath() {
    const QString trimmed = trimmedSpaces(txtMultiCollection_->text());
    const QString problem =
        trimmed.isEmpty() ? QString() : pathProblem(trimmed, ClientFileRole::MultiCollection);
    workspace_.MultiCollectionPath = trimmed.isEmpty() || !problem.isNull() ? QString() : trimmed;
    txtMultiCollection_->setToolTip(problem.isEmpty() ? kOptionalUopTip : problem);
    SetBoxColour(txtMultiCollection_, trimmed.isEmpty()                          ? kBoxOpen
                                      : workspace_.MultiCollectionPath.isEmpty() ? kInvalidPath
                                                                                 : kValidPath);
    explainPatchWaiting();
}

QString MainWindow::pathProblem(const QString& path, ClientFileRole role) const {
    if (!namesAFile(path)) {
        return "";  // no file: the box says so by its colour alone, as it always has
    }
    std::optional<std::filesystem::path> index;
    if (role == ClientFileRole::MultiMul && !workspace_.MultiIdxPath.isEmpty()) {
        index = ToPath(workspace_.MultiIdxPath);
    }
    const std::optional<Error> mismatch = ClientFileMismatch(platform_.fileSystem, role, ToPath(path), index);
    return mismatch ? boxReason(*mismatch) : QString();
}

void MainWindow::checkPath(QLineEdit* box, QString& path, ClientFileRole role) {
    const QString trimmed = trimmedSpaces(box->text());
    const QString problem = pathProblem(trimmed, role);
    box->setToolTip(problem);
    if (!problem.isNull()) {
        SetBoxColour(box, kInvalidPath);
        path.clear();
        cmdPatch_->setEnabled(false);
        explainPatchWaiting();
        return;
    }
    SetBoxColour(box, kValidPath);
    path = trimmed;
    cmdPatch_->setEnabled(multiLoaded() && BoxColour(txtMultiIdx_) == kValidPath &&
                          BoxColour(txtMultiMul_) == kValidPath);
    explainPatchWaiting();
}

void MainWindow::recheckPaths() {
    // Only a box whose verdict changed is checked again: a check that passes enables Patch Multi, which
    // must stay disabled after a patch while nothing changed.
    const std::tuple<QLineEdit*, QString*, ClientFileRole> boxes[] = {
        {txtMultiIdx_, &workspace_.MultiIdxPath, ClientFileRole::MultiIdx},
        {txtMultiMul_, &workspace_.MultiMulPath, ClientFileRole::MultiMul}};
    for (const auto& [box, path, role] : boxes) {
        if (pathProblem(trimmedSpaces(box->text()), role).isNull() != (BoxColour(box) == kValidPath)) {
            checkPath(box, *path, role);
        }
    }
    CheckMultiCollectionPath();  // its check leaves Patch Multi alone
}

void MainWindow::changeEvent(QEvent* event) {
    // A file may have been deleted or restored while the user was in another program.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        recheckPaths();
    }
    QWidget::changeEvent(event);
}

void MainWindow::browse(QLineEdit* box, std::initializer_list<const QLineEdit*> otherBoxes,
                        const QString& filter, const QString& title, void (MainWindow::*check)()) {
    // The folder of the box's own file, else that of another client file, which usually lies beside it.
    QString folder;
    std::vector<const QLineEdit*> candidates{box};
    candidates.insert(candidates.end(), otherBoxes);
    for (const QLineEdit* candidate : candidates) {
        if (BoxColour(candidate) == kValidPath) {
            folder = QFileInfo(trimmedSpaces(candidate->text())).absolutePath();
            break;
        }
    }
    dlgCommon_.setFilter(filter);
    dlgCommon_.setTitle(title);
    const QString chosen = dlgCommon_.showOpen(this, folder);
    if (chosen.isEmpty()) {
        return;
    }
    box->setText(chosen);
    (this->*check)();  // also when the text was already the box's, which runs no check of its own
}

void MainWindow::applyCreateScriptRule() {
    cmdCreateScript_->setEnabled(multiLoaded() && !trimmedSpaces(txtMultiName_->text()).isEmpty() &&
                                 !trimmedSpaces(txtBuyValue_->text()).isEmpty() &&
                                 !trimmedSpaces(txtSellValue_->text()).isEmpty());
}

void MainWindow::showErrorReport(const Error& error, const QString& advice) {
    // The number is for logs and the command line. A sentence starts upper case; a path stays as it is.
    QString text = FromUtf8(error.description());
    if (error.file().empty() && !text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    if (!advice.isEmpty()) {
        text += "\n\n" + advice;
    }
    platform_.messages.showMessage(this, text, kApplicationTitle, MessageIcon::Critical);
}

void MainWindow::exitProgram() {
    SaveSettings();
    platform_.program.endProgram(0);
}

void SetOptionSelected(QRadioButton* option, bool selected) {
    if (selected) {
        option->setChecked(true);
        return;
    }
    // An exclusive option refuses to be cleared while it is the selected one of its frame.
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

QColor BoxColour(const QLineEdit* box) {
    return box->palette().color(QPalette::Active, QPalette::Base);
}

void SetBoxColour(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
        palette.setColor(group, QPalette::Text, MainWindow::kBoxText);
    }
    box->setPalette(palette);
}

}  // namespace keelwright
