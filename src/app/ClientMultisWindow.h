#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "app/Platform.h"
#include "clientfiles/ClientMultiList.h"
#include "clientfiles/PatchTargets.h"
#include "render/PreviewTile.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace keelwright {
class ReaderVerdictView;
}

namespace keelwright {

// frmClientMultis: the multis that the chosen client files hold, one row per number (in hex and decimal,
// the item number, the tiles, the files that hold it), the free numbers on request, and for the selected
// multi Preview, Extract… (in the formats of extract --format, or multi text exactly) and Remove…. Not modal;
// Close, the close box or Escape destroys it. It only reads the files, except for Remove…, which asks first
// (No the default).
class ClientMultisWindow : public QWidget {
    Q_OBJECT

public:
    // The most free numbers the window lists.
    static constexpr std::size_t kFreeNumbersShown = 12;

    ClientMultisWindow(const Platform& platform, QWidget* parent = nullptr);

    // Lists what `targets` hold now and shows the window; the first time, beside the window that opened it.
    void showFiles(const PatchTargets& targets);
    // Reads the files again, keeping the selected number selected when it is still there.
    void refresh();

    // The multi of the selected row; nothing when no row is selected.
    std::optional<std::int32_t> selectedMulti() const;
    void selectMulti(std::int32_t multi);
    // The folder Extract… opens in: that of the last script loaded or multi extracted.
    void setScriptFolder(const QString& folder) { scriptFolder_ = folder; }
    const ClientMultiList& list() const { return list_; }
    // The shard's names of the numbers its manifest names; a Name column shows them while there are any.
    void setShardNames(std::map<std::int32_t, QString> names);

signals:
    // Preview wants the tiles drawn; `name` names the multi in the preview's title and file names.
    void previewRequested(const std::vector<PreviewTile>& tiles, const QString& name);
    // Extract… wrote a file into this folder.
    void scriptFolderChosen(const QString& folder);
    // Remove… has removed a multi from the files.
    void multiRemoved(std::int32_t multi);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillTable();
    void showSelection();
    void showFreeNumbers();
    // The selected multi's tiles, from Multi.mul when it holds them, else from the UOP. Throws Error.
    std::vector<PreviewTile> tilesOf(const ClientMulti& multi) const;
    const ClientMulti* selected() const;
    void previewSelected();
    void extractSelected();
    void removeSelected();
    // The files as the window's texts name them: "Multi.idx/Multi.mul and MultiCollection.uop".
    QString filesText(bool mul, bool uop) const;

    Platform platform_;
    PatchTargets targets_;
    ClientMultiList list_;
    QString scriptFolder_;
    std::map<std::int32_t, QString> shardNames_;

    QLabel* lblFiles_;
    ReaderVerdictView* verdicts_;
    QTableWidget* tblMultis_;
    QLabel* lblSelected_;
    QPushButton* cmdFreeNumbers_;
    QLabel* lblFreeNumbers_;
    QPushButton* cmdPreview_;
    QPushButton* cmdExtract_;
    QCheckBox* chkExact_;
    QPushButton* cmdRemove_;
    QPushButton* cmdRefresh_;
    QPushButton* cmdClose_;
};

}  // namespace keelwright
