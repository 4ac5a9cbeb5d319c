// The commands that work on the client files: Patch Multi writes the loaded multi into Multi.idx and
// Multi.mul, and MultiCollection.uop when its box names one, under one multi number; Extract writes one
// multi of Multi.idx and Multi.mul out as multi text.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <chrono>
#include <optional>

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "model/Error.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "mulfiles/UnusableIndexError.h"
#include "uop/EveryFilePatch.h"

namespace keelwright {
namespace {

// "Multi.idx, Multi.mul and MultiCollection.uop".
QString listed(const QStringList& names) {
    return names.size() < 2 ? names.join("")
                            : names.mid(0, names.size() - 1).join(", ") + " and " + names.back();
}

}  // namespace

void MainWindow::patchMulti() {
    // A box that failed its check has emptied its path; the patch must not guess at a file.
    if (workspace_.MultiIdxPath.isEmpty() || workspace_.MultiMulPath.isEmpty()) {
        const Error unset(
            ErrorNumber::BadFileName,
            "choose the client's Multi.idx and Multi.mul first; a red box holds no usable path");
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
    // The same multi twice in the same files is almost always a second press by mistake. Declining keeps
    // the multi where it is, so that its scripts get that slot's item number.
    const std::optional<std::int32_t> earlier =
        workspace_.patches.slotOf(workspace_.ScriptPath, workspace_.MultiIdxPath, workspace_.MultiMulPath,
                                  workspace_.MultiCollectionPath);
    if (earlier &&
        !platform_.messages.askYesNo(
            this,
            QString("This multi is already in slot %1 of these files. Patch it again into a new slot?")
                .arg(*earlier),
            kApplicationTitle)) {
        workspace_.PatchSlot = *earlier;
        showStatus("Not patched again", QString("The multi stays in slot %1 (multi %2, item %3)")
                                            .arg(*earlier)
                                            .arg(MultiNumberOfSlot(*earlier))
                                            .arg(FromUtf8(ItemHexOfSlot(*earlier))));
        cmdPatch_->setEnabled(false);
        return;
    }
    PatchTargets targets;
    targets.mul = ClientFiles{ToPath(workspace_.MultiIdxPath), ToPath(workspace_.MultiMulPath)};
    QStringList written = {QFileInfo(workspace_.MultiIdxPath).fileName(),
                           QFileInfo(workspace_.MultiMulPath).fileName()};
    if (!workspace_.MultiCollectionPath.isEmpty()) {
        targets.uop = ToPath(workspace_.MultiCollectionPath);
        written << QFileInfo(workspace_.MultiCollectionPath).fileName();
    }
    EveryFilePatchResult result;
    try {
        // Every search has run when the hook is called; nothing has been written yet.
        result = PatchEveryFile(platform_.fileSystem, workspace_.table, targets,
                                FileTimeOf(std::chrono::system_clock::now()), [this](std::int32_t) {
                                    showStatus("Please wait...");
                                    lblStatus_->repaint();  // no paint events until the patch returns
                                    platform_.pointer.setBusy(true);
                                });
    } catch (const UnusableIndexError& e) {
        // Not the client's index, or a full one: nothing was written, and the program ends without storing
        // the settings, since only Exit stores them.
        platform_.pointer.setBusy(false);
        platform_.messages.showMessage(this,
                                       QString(kUnusableIndexMessage) + "\n" + FromUtf8(e.explanation()),
                                       kUnusableIndexCaption, MessageIcon::Critical);
        platform_.program.endProgram(1);
        return;
    } catch (const Error& e) {
        // The patcher has put every file back, so the multi can be patched again once the cause is fixed.
        platform_.pointer.setBusy(false);
        showErrorReport(e,
                        listed(written) + " are as they were. Remove the cause and press Patch Multi again.");
        showStatus("Patching failed", FromUtf8(e.description()));
        return;
    }
    const std::int32_t slot = result.mul->slot;
    workspace_.PatchSlot = slot;
    workspace_.FirstFreeRecord = result.mul->firstFreeRecord;
    workspace_.patches.record(workspace_.ScriptPath, workspace_.MultiIdxPath, workspace_.MultiMulPath,
                              workspace_.MultiCollectionPath, slot);
    platform_.pointer.setBusy(false);
    const QString sphere =
        result.multi > kHighestSphereMulti ? QString("; Sphere cannot use a multi above 8190") : QString();
    showStatus("Patching completed",
               QString("Patched as multi %1 (item %2, slot %3%4) into %5, %6")
                   .arg(result.multi)
                   .arg(FromUtf8(ItemHexOfSlot(slot)))
                   .arg(slot)
                   .arg(sphere, listed(written), FromUtf8(DescribeRecordSize(result.mul->recordSize))));
    cmdPatch_->setEnabled(false);
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
        // Both client files are read before the output path is asked for, so a bad multi costs no typing.
        const IndexRecord entry = ReadIndexEntry(platform_.fileSystem, files.multiIdx, slot);
        const RecordSize size = DecideRecordSize(platform_.fileSystem, files).size;
        const std::string text = ExtractMultiText(platform_.fileSystem, files.multiMul, slot, entry, size);
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
