// The settings kept between runs: the client-file paths, the folder of the last script, the preview's art
// folder, the script details (name, buy and sell value) and the option choices.
#include <QLineEdit>
#include <QRadioButton>
#include <optional>

#include "app/MainWindow.h"
#include "app/SettingsStore.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

// "True" or "False" in any letter case, or a number (zero is false); anything else, empty text included, is
// no truth value.
std::optional<bool> truthValue(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare("True", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (word.compare("False", Qt::CaseInsensitive) == 0) {
        return false;
    }
    const std::optional<Number> number = Number::parse(text.toStdString());
    if (!number) {
        return std::nullopt;
    }
    return !number->isZero();
}

QString truthWord(bool value) {
    return value ? "True" : "False";
}

}  // namespace

void MainWindow::SaveSettings() {
    SettingsStore& store = platform_.settings;
    store.save(kApplicationTitle, "Files", "MultiIdx", workspace_.MultiIdxPath);
    store.save(kApplicationTitle, "Files", "MultiMul", workspace_.MultiMulPath);
    store.save(kApplicationTitle, "Files", "MultiCollection", workspace_.MultiCollectionPath);
    store.save(kApplicationTitle, "Files", "LastScriptFolder", workspace_.LastScriptFolder);
    store.save(kApplicationTitle, "Files", "ArtFolder", workspace_.ArtFolder);
    store.save(kApplicationTitle, "Script", "MultiName", txtMultiName_->text());
    store.save(kApplicationTitle, "Script", "BuyValue", txtBuyValue_->text());
    store.save(kApplicationTitle, "Script", "SellValue", txtSellValue_->text());
    store.save(kApplicationTitle, "Settings", "OptWsc", truthWord(optWsc_->isChecked()));
    store.save(kApplicationTitle, "Settings", "OptTxt", truthWord(optTxt_->isChecked()));
    store.save(kApplicationTitle, "Settings", "optVer54", truthWord(optVer54_->isChecked()));
    store.save(kApplicationTitle, "Settings", "OptVer51a", truthWord(optVer51a_->isChecked()));
    store.save(kApplicationTitle, "Settings", "optVerX", truthWord(optVerX_->isChecked()));
}

void MainWindow::LoadSettings() {
    SettingsStore& store = platform_.settings;
    // Putting a path into its box runs the box's check when the text changes.
    workspace_.MultiIdxPath = store.get(kApplicationTitle, "Files", "MultiIdx", {});
    txtMultiIdx_->setText(workspace_.MultiIdxPath);
    workspace_.MultiMulPath = store.get(kApplicationTitle, "Files", "MultiMul", {});
    txtMultiMul_->setText(workspace_.MultiMulPath);
    workspace_.MultiCollectionPath = store.get(kApplicationTitle, "Files", "MultiCollection", {});
    txtMultiCollection_->setText(workspace_.MultiCollectionPath);
    workspace_.LastScriptFolder = store.get(kApplicationTitle, "Files", "LastScriptFolder", {});
    workspace_.ArtFolder = store.get(kApplicationTitle, "Files", "ArtFolder", {});
    // The details wait in their boxes, still disabled, for the next multi loaded.
    txtMultiName_->setText(store.get(kApplicationTitle, "Script", "MultiName", {}));
    txtBuyValue_->setText(store.get(kApplicationTitle, "Script", "BuyValue", {}));
    txtSellValue_->setText(store.get(kApplicationTitle, "Script", "SellValue", {}));

    // The first value that is no truth value (an absent key on a first run) ends the loading silently.
    const std::pair<const char*, QRadioButton*> options[] = {
        {"OptWsc", optWsc_}, {"OptTxt", optTxt_}, {"optVer54", optVer54_}, {"OptVer51a", optVer51a_}};
    for (const auto& [key, option] : options) {
        const std::optional<bool> selected = truthValue(store.get(kApplicationTitle, "Settings", key, {}));
        if (!selected) {
            return;
        }
        SetOptionSelected(option, *selected);
    }
    // Settings stored before Ver. X existed have no value for it; they load as they always did.
    if (const std::optional<bool> verX =
            truthValue(store.get(kApplicationTitle, "Settings", "optVerX", {}))) {
        SetOptionSelected(optVerX_, *verX);
    }
    CheckMultiIdxPath();
    CheckMultiMulPath();
}

}  // namespace keelwright
