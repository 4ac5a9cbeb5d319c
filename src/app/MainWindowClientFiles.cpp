// The commands that work on the client files: Patch Multi writes the loaded multi into Multi.idx and
// Multi.mul, and MultiCollection.uop when its box names one, under one multi number; Extract writes one
// multi of Multi.idx and Multi.mul out as multi text.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <chrono>
#include <optional>

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "clientfiles/ClientFileLocks.h"
#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/PatchedMultiSearch.h"
#include "model/Error.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"
#include "mulfiles/UnusableIndexError.h"

namespace keelwright {
namespace {

// The files by their names, each once; by their paths when two files share a name.
QStringList namesOf(const QStringList& paths) {
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString resolved =
            info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        if (!files.contains(resolved)) {
            files << resolved;
        }
    }
    QStringList names;
    for (const QString& file : files) {
        names << QFileInfo(file).fileName();
    }
    if (names.removeDuplicates() > 0) {
        names.clear();
        for (const QString& file : files) {
            names << QDir::toNativeSeparators(file);
        }
    }
    return names;
}

// "Multi.idx, Multi.mul and MultiCollection.uop".
QString listed(const QStringList& names) {
    return names.size() < 2 ? names.join("")
                            : names.mid(0, names.size() - 1).join(", ") + " and " + names.back();
}

// "the multi 0x4 (slot 5)", as the window names a multi number.
QString multiAndSlot(std::int32_t multi) {
    return QString("multi 0x%1 (slot %2)")
        .arg(QString::number(multi, 16).toUpper())
        .arg(SlotOfMultiNumber(multi));
}

}  // namespace

PatchTargets MainWindow::patchTargets() const {
    PatchTargets targets;
    targets.mul = ClientFiles{ToPath(workspace_.MultiIdxPath), ToPath(workspace_.MultiMulPath)};
    if (!workspace_.MultiCollectionPath.isEmpty()) {
        targets.uop = ToPath(workspace_.MultiCollectionPath);
    }
    return targets;
}

bool MainWindow::patchAgainIfAlreadyThere(const PatchTargets& targets) {
    // A second copy of the same multi is almost always a second press, today or on another day. Declining
    // takes the copy already there as the patched one, so that its scripts get its item number.
    std::optional<std::int32_t> already;
    try {
        already = FindPatchedMulti(platform_.fileSystem, workspace_.table, targets);
    } catch (const Error&) {
        return true;  // the patch meets the same cause and reports it
    }
    if (!already || platform_.messages.askYesNo(this,
                                                "This multi is already " + multiAndSlot(*already) +
                                                    " of these files. Patch it again as a new multi?",
                                                kApplicationTitle)) {
        return true;
    }
    const std::int32_t slot = SlotOfMultiNumber(*already);
    workspace_.PatchSlot = slot;
    showStatus("Not patched again", QString("The multi stays %1, item %2: Create Script writes its scripts")
                                        .arg(multiAndSlot(*already), FromUtf8(ItemHexOfSlot(slot))));
    cmdPatch_->setEnabled(false);
    return false;
}

void MainWindow::refuseUnusableIndex(const UnusableIndexError& error) {
    // Not the client's index, or a full one: nothing was written. The checks of the boxes and the patch's
    // own refusal keep the files safe, so the program stays, with the multi loaded and everything typed.
    platform_.pointer.setBusy(false);
    const QString reason = FromUtf8(error.explanation());
    platform_.messages.showMessage(this,
                                   reason +
                                       "\n\nIf Multi.idx and Multi.mul seem to be swapped, exchange the two "
                                       "paths; else choose the client's "
                                       "own Multi.idx in its box. Then press Patch Multi again.\n\nNothing "
                                       "was written; the loaded multi "
                                       "and everything typed stay.",
                                   kApplicationTitle, MessageIcon::Critical);
    showStatus("Patching failed", reason);
}

void MainWindow::patchMulti() {
    // A box that failed its check has emptied its path; the patch must not guess at a file.
    if (workspace_.MultiIdxPath.isEmpty() || workspace_.MultiMulPath.isEmpty()) {
        // The boxes' reasons, when their files are there but not the ones asked for.
        QStringList reasons;
        for (const QLineEdit* box : {txtMultiIdx_, txtMultiMul_}) {
            if (BoxColour(box) != kValidPath && !box->toolTip().isEmpty()) {
                reasons << box->toolTip();
            }
        }
        const Error unset(
            ErrorNumber::BadFileName,
            "choose the client's Multi.idx and Multi.mul first; a red box holds no usable path" +
                (reasons.isEmpty() ? std::string() : ": " + reasons.join("; ").toStdString()));
        showErrorReport(unset);
        showStatus("Patching failed", FromUtf8(unset.description()));
        return;
    }
    // A blank MultiCollection.uop box means no UOP; one that names no file is a mistake, not a wish to
    // leave the UOP out.
    if (BoxColour(txtMultiCollection_) == kInvalidPath) {
        const Error unset(
            ErrorNumber::BadFileName,
            "the MultiCollection.uop box names no file; choose the client's MultiCollection.uop, "
            "or empty the box to patch Multi.idx and Multi.mul alone");
        showErrorReport(unset);
        showStatus("Patching failed", FromUtf8(unset.description()));
        return;
    }
    const PatchTargets targets = patchTargets();
    std::optional<PatchOptions> options = askPatchOptions(targets);
    if (!options) {
        return;
    }
    // A typed number says where the multi goes, and its own question covers a multi there.
    if (!options->multi && !patchAgainIfAlreadyThere(targets)) {
        return;
    }
    QStringList written = {workspace_.MultiIdxPath, workspace_.MultiMulPath};
    if (!workspace_.MultiCollectionPath.isEmpty()) {
        written << workspace_.MultiCollectionPath;
    }
    EveryFilePatchResult result;
    try {
        // No other program writes the files, nor reads them, from before the searches to the last flush;
        // one that holds them makes the patch fail with the files as they were.
        const ClientFileLocks locks(platform_.fileSystem, targets.mul, targets.uop, LockKind::Exclusive);
        // Every search has run when the hook is called; nothing has been written yet.
        options->beforeWriting = [this](std::int32_t) {
            showStatus("Please wait...");
            lblStatus_->repaint();  // no paint events until the patch returns
            platform_.pointer.setBusy(true);
        };
        result = PatchEveryFile(platform_.fileSystem, workspace_.table, targets, NewEntryTime(platform_),
                                *options);
    } catch (const UnusableIndexError& e) {
        refuseUnusableIndex(e);
        return;
    } catch (const Error& e) {
        // The patcher has put every file back, so the multi can be patched again once the cause is fixed.
        platform_.pointer.setBusy(false);
        const QStringList files = namesOf(written);
        showErrorReport(e, listed(files) + (files.size() > 1 ? " are as they were" : " is as it was") +
                               ". Remove the cause and press Patch Multi again.");
        showStatus("Patching failed", FromUtf8(e.description()));
        return;
    }
    const std::int32_t slot = result.mul->slot;
    workspace_.PatchSlot = slot;
    workspace_.FirstFreeRecord = result.mul->firstFreeRecord;
    platform_.pointer.setBusy(false);
    // From 0x2000 on the reader warnings tell of Sphere.
    const QString sphere = result.multi > kHighestSphereMulti && result.multi < kSphereMultiEnd
                               ? QString("; Sphere cannot use a multi above 0x1FFE (8190)")
                               : QString();
    QString after = options->multi ? replacedText(result.replaced) : QString();
    for (const std::string& warning : result.warnings) {
        after += "; " + FromUtf8(warning);
    }
    // Patch Multi stays disabled against a second press; other client files enable it again.
    showStatus(
        "Patching completed",
        QString("Patched as %1 (item %2, slot %3%4) into %5, %6%7. The multi is patched into these "
                "files; choose other client files to patch it into them too, which enables Patch Multi "
                "again.")
            .arg(FromUtf8(MultiText(result.multi)), FromUtf8(ItemHexOfSlot(slot)))
            .arg(slot)
            .arg(sphere, listed(namesOf(written)), FromUtf8(DescribeRecordSize(result.mul->recordSize)),
                 after));
    cmdPatch_->setEnabled(false);
    refreshClientMultis();
}

void MainWindow::extractMulti() {
    const QString typed = platform_.inputs.getText(this, "Enter the multi ID you want to extract in decimal",
                                                   kApplicationTitle, QString());
    try {
        const std::optional<std::int32_t> multi = ParseMultiNumber(ToBytes(typed));
        if (!multi) {
            return;
        }
        const std::int32_t slot = SlotOfMultiNumber(*multi);
        const ClientFiles files{ToPath(workspace_.MultiIdxPath), ToPath(workspace_.MultiMulPath)};
        // Both client files are read before the output path is asked for, so a bad multi costs no typing;
        // under shared locks, so that a patch in progress is not read half done.
        std::optional<ClientFileLocks> locks(std::in_place, platform_.fileSystem, files, std::nullopt,
                                             LockKind::Shared);
        const IndexRecord entry = ReadIndexEntry(platform_.fileSystem, files.multiIdx, slot);
        const RecordSize size = DecideRecordSize(platform_.fileSystem, files).size;
        const std::string text = ExtractMultiText(platform_.fileSystem, files.multiMul, slot, entry, size);
        locks.reset();
        const QString target = platform_.inputs.getText(
            this, "Enter path and name of file you want it saved to", kApplicationTitle, QString());
        // A cancelled or blank entry names no file: the writer reports it and writes nothing.
        WriteFileAtomically(platform_.fileSystem,
                            target.trimmed().isEmpty() ? std::filesystem::path() : ToPath(target), text);
    } catch (const Error& e) {
        showErrorReport(e);
        return;
    }
    platform_.messages.showMessage(this, "extract complete", kApplicationTitle, MessageIcon::Information);
}

}  // namespace keelwright
