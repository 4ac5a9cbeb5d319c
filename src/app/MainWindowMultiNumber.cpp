// The multi number box and the client multis window: a patch at the number the user types (asking before
// it replaces a multi), the scripts of a multi already in the files, and the window that lists, previews,
// extracts and removes the multis of the chosen files.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "app/ClientMultisWindow.h"
#include "app/MainWindow.h"
#include "app/PreviewWindow.h"
#include "app/QtText.h"
#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/MultiHoldings.h"
#include "model/Error.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/Slots.h"
#include "mulfiles/UnusableIndexError.h"
#include "uop/UopMultis.h"

namespace keelwright {

std::optional<std::int32_t> MainWindow::typedMultiNumber() const {
    // With Multi.idx the index's slot count is the limit, which the patch checks against the file.
    return ParseMultiNumber(ToBytes(txtMultiNumber_->text()), kHighestUopMulti);
}

std::optional<PatchOptions> MainWindow::askPatchOptions(const PatchTargets& targets) {
    PatchOptions options;
    try {
        options.multi = typedMultiNumber();
        if (!options.multi) {
            return options;
        }
        const MultiHoldings held = WhatFilesHold(platform_.fileSystem, targets, *options.multi);
        if (held.any()) {
            if (!platform_.messages.askYesNo(this, FromUtf8(held.replaceQuestion()), kApplicationTitle)) {
                showStatus("Not patched", FromUtf8(MultiText(*options.multi)) +
                                              " stays as it is: " + FromUtf8(held.describe()));
                return std::nullopt;
            }
            options.replace = true;
        }
    } catch (const UnusableIndexError&) {
        return options;  // the patch meets the same cause and refuses it
    } catch (const Error& e) {
        showErrorReport(e,
                        "Nothing was written. Correct the multi number, or empty its box to patch at the "
                        "first free number.");
        showStatus("Patching failed", FromUtf8(e.description()));
        return std::nullopt;
    }
    return options;
}

QString MainWindow::replacedText(const MultiHoldings& replaced) {
    if (!replaced.any()) {
        return "; the number was free";
    }
    // "Multi 0x1400 already holds 42 tiles in Multi.mul. Replace it?" says it in the user's words.
    std::string held = replaced.replaceQuestion();
    const std::string::size_type from = held.find(" already holds ");
    const std::string::size_type to = held.rfind(". Replace it?");
    if (from != std::string::npos && to != std::string::npos && to > from) {
        held = held.substr(from + 15, to - from - 15);
    }
    return "; it replaced the multi of " + FromUtf8(held);
}

std::optional<std::int32_t> MainWindow::scriptSlot() {
    std::optional<std::int32_t> typed;
    try {
        typed = typedMultiNumber();
    } catch (const Error& e) {
        platform_.sounds.beep();
        platform_.messages.showMessage(this,
                                       FromUtf8(e.description()) +
                                           "\n\nType the number of the multi in the client files (decimal or "
                                           "0x hex), or empty the box for the multi just patched.",
                                       "Script Creation Failed", MessageIcon::Warning);
        return std::nullopt;
    }
    if (typed && !typedMultiHoldsSomething(*typed)) {
        return std::nullopt;
    }
    return typed ? SlotOfMultiNumber(*typed) : workspace_.PatchSlot;
}

bool MainWindow::typedMultiHoldsSomething(std::int32_t multi) {
    // Scripts for a number that holds nothing make deeds that place nothing: asked first, No the default.
    // Files that cannot be read say nothing either way; the scripts need them not.
    const PatchTargets targets = clientFileTargets();
    if (!targets.mul && !targets.uop) {
        return true;
    }
    try {
        if (WhatFilesHold(platform_.fileSystem, targets, multi).any()) {
            return true;
        }
    } catch (const Error&) {
        return true;
    }
    QString text = FromUtf8(MultiText(multi)) + " is free in these files. Write its scripts anyway?";
    text[0] = text[0].toUpper();
    return platform_.messages.askYesNo(this, text, kApplicationTitle);
}

PatchTargets MainWindow::clientFileTargets() const {
    PatchTargets targets;
    if (!workspace_.MultiIdxPath.isEmpty() && !workspace_.MultiMulPath.isEmpty()) {
        targets.mul = ClientFiles{ToPath(workspace_.MultiIdxPath), ToPath(workspace_.MultiMulPath)};
    }
    if (!workspace_.MultiCollectionPath.isEmpty()) {
        targets.uop = ToPath(workspace_.MultiCollectionPath);
    }
    return targets;
}

void MainWindow::openClientMultis() {
    const PatchTargets targets = clientFileTargets();
    if (!targets.mul && !targets.uop) {
        platform_.messages.showMessage(
            this, "Choose the client's Multi.idx and Multi.mul, or its MultiCollection.uop, first.",
            kApplicationTitle, MessageIcon::Warning);
        return;
    }
    if (clientMultisWindow_.isNull()) {
        clientMultisWindow_ = new ClientMultisWindow(platform_, this);
        connect(clientMultisWindow_, &ClientMultisWindow::previewRequested, this,
                &MainWindow::previewClientMulti);
        connect(clientMultisWindow_, &ClientMultisWindow::scriptFolderChosen, this,
                [this](const QString& folder) { workspace_.LastScriptFolder = folder; });
    }
    clientMultisWindow_->setScriptFolder(workspace_.LastScriptFolder);
    passShardNames();
    clientMultisWindow_->showFiles(targets);
}

void MainWindow::refreshClientMultis() {
    if (!clientMultisWindow_.isNull()) {
        clientMultisWindow_->refresh();
    }
}

void MainWindow::previewClientMulti(const std::vector<PreviewTile>& tiles, const QString& name) {
    if (previewWindow_.isNull()) {
        previewWindow_ = new PreviewWindow(platform_, this);
        connect(previewWindow_, &PreviewWindow::artFolderChosen, this,
                [this](const QString& folder) { workspace_.ArtFolder = folder; });
    }
    // The multi's name stands where a script's would: in the title and the picture's file name, in the
    // folder of the client files.
    const PatchTargets targets = clientFileTargets();
    const QString folder = QFileInfo(FromPath(targets.mul ? targets.mul->multiIdx
                                                          : targets.uop.value_or(std::filesystem::path())))
                               .absolutePath();
    previewWindow_->showPreview(tiles, QDir(folder).filePath(name), workspace_.ArtFolder);
}

}  // namespace keelwright
