// The commands that work on the client's Multi.idx and Multi.mul: Patch Multi writes the loaded multi into
// them, Extract writes one of their multis out as multi text.
#include <QLabel>
#include <QPushButton>
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

namespace keelwright {

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
    // The same multi twice in one pair of files is almost always a second press by mistake. Declining keeps
    // the multi where it is, so that its scripts get that slot's item number.
    const std::optional<std::int32_t> earlier =
        workspace_.patches.slotOf(workspace_.ScriptPath, workspace_.MultiIdxPath, workspace_.MultiMulPath);
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
    const ClientFiles files{ToPath(workspace_.MultiIdxPath), ToPath(workspace_.MultiMulPath)};
    PatchResult result;
    try {
        // Both searches have run when the hook is called; nothing has been written yet.
        result = PatchMulti(platform_.fileSystem, workspace_.table, files, [this](std::int32_t) {
            showStatus("Please wait...");
            lblStatus_->repaint();  // the window gets no paint events until the patch returns
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
        // The patcher has put both files back, so the multi can be patched again once the cause is fixed.
        platform_.pointer.setBusy(false);
        showErrorReport(e,
                        "Multi.idx and Multi.mul are as they were. Remove the cause and press Patch Multi "
                        "again.");
        showStatus("Patching failed", FromUtf8(e.description()));
        return;
    }
    workspace_.PatchSlot = result.slot;
    workspace_.FirstFreeRecord = result.firstFreeRecord;
    workspace_.patches.record(workspace_.ScriptPath, workspace_.MultiIdxPath, workspace_.MultiMulPath,
                              result.slot);
    platform_.pointer.setBusy(false);
    showStatus("Patching completed", QString("Patched into slot %1 (multi %2, item %3), %4")
                                         .arg(result.slot)
                                         .arg(MultiNumberOfSlot(result.slot))
                                         .arg(FromUtf8(ItemHexOfSlot(result.slot)))
                                         .arg(FromUtf8(DescribeRecordSize(result.recordSize))));
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
