#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "app/CommonDialog.h"
#include "app/Platform.h"
#include "app/ShardHost.h"
#include "app/Workspace.h"
#include "render/PreviewTile.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace keelwright {

class ClientMultisWindow;
class ColumnStack;
class Error;
class PreviewWindow;
class UnusableIndexError;
struct MultiHoldings;
struct PatchOptions;
enum class ClientFileRole;
struct PatchTargets;
class ScriptsWindow;
class ShardWindow;
enum class ScriptFormat;

// frmMain, the program's window: the client-file paths with their checks (MultiCollection.uop optional), the
// script type and format choices, the script details, the commands and the status line. Its buttons run the
// commands; the enabled state of cmdPatch (a multi is loaded and not yet patched), cmdCreateScript (a multi
// is loaded and the script details are filled in) and cmdPreview (a multi is loaded) chains them.
class MainWindow : public QWidget, public ShardHost {
    Q_OBJECT

public:
    static inline const QString kApplicationTitle = "Keelwright";
    // Light path-box colours under dark text (kBoxText): both reach a contrast of 7:1 and more.
    static inline const QColor kValidPath{168, 228, 168};
    static inline const QColor kInvalidPath{255, 168, 168};
    static inline const QColor kBoxAsCreated{192, 192, 192};
    static inline const QColor kBoxOpen{255, 255, 255};
    static inline const QColor kBoxText{0, 0, 0};
    static inline const QString kOptionalUopTip =
        "Optional: the client's MultiCollection.uop, patched under the same multi number; leave it blank to "
        "patch Multi.idx and Multi.mul alone";

    // Builds the window with every control as created. `componentsPath` is the Components.txt to read.
    MainWindow(const Platform& platform, QString componentsPath, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Prepares the window (Ver. 51a, the components list, both path boxes red) and restores the settings.
    void startUp();
    // Shows the window in the centre of its screen, the focus on its first control that takes it.
    void showCentred();

    void CheckMultiIdxPath();
    void CheckMultiMulPath();
    // A blank box means no MultiCollection.uop: white, and Patch Multi writes Multi.idx and Multi.mul alone.
    void CheckMultiCollectionPath();
    void SaveSettings();
    void LoadSettings();

    const Workspace& workspace() const { return workspace_; }

    // Opens the shard window (MainWindowShard.cpp), with the manifest at `manifestPath` when given.
    void openShard(const QString& manifestPath = {});
    PatchTargets hostClientFiles() const override;
    QString hostScriptFormat() const override;
    std::optional<LoadedMultiFacts> hostLoadedMulti() const override;
    const ComponentsList& hostComponents() const override;
    std::optional<std::filesystem::path> hostComponentsFile() const override;
    void hostPreview(std::vector<PreviewTile> tiles, const QString& scriptPath) override;
    void hostShowScripts(const QString& text) override;
    void hostLoadDesign(const QString& path, std::optional<ScriptType> type,
                        const DesignChoice& choice) override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildScriptDetails(ColumnStack& column);
    void buildClientFiles(ColumnStack& column);
    void connectControls();
    // Why the file at `path` is not what the box of `role` asks for, naming it; empty (not null) text when
    // no file is there, null text when the file is right.
    QString pathProblem(const QString& path, ClientFileRole role) const;
    // Turns the box green or red by pathProblem, the reason in its tooltip, and sets `path` accordingly.
    void checkPath(QLineEdit* box, QString& path, ClientFileRole role);
    void recheckPaths();
    // Opens the file dialog in the folder of the box's file, else of the first of the other boxes that
    // names one, and runs the box's check on the chosen path.
    void browse(QLineEdit* box, std::initializer_list<const QLineEdit*> otherBoxes, const QString& filter,
                const QString& title, void (MainWindow::*check)());
    void applyCreateScriptRule();
    // The status line shows the text whole, and the details, when given, on the lines below it and in its
    // tooltip; `below`, when given, stands below it instead, so that a text already on the line is not
    // shown twice.
    void showStatus(const QString& text, const QString& details = {},
                    const std::optional<QString>& below = std::nullopt);
    // While a multi is loaded and Patch Multi is disabled for a red Multi.idx or Multi.mul box, the status
    // line says so; once both are green again that text goes.
    void explainPatchWaiting();
    // The controls that follow the window's width (the path boxes grow, the right column moves), and the
    // height that shows the whole status.
    void rememberWidthRules();
    void followWidth();
    void fitStatusHeight();
    bool multiLoaded() const { return !workspace_.ScriptPath.isEmpty(); }
    // Opens the script details and the commands for a multi that has just loaded.
    void openLoadedMulti();

    void loadScript();
    // Loads the script in place of the loaded multi; the user picks a design or template the choice leaves
    // open.
    void loadScriptFile(const QString& path, std::optional<ScriptType> type, DesignChoice choice);
    void patchMulti();
    // The files Patch Multi writes, from the boxes.
    PatchTargets patchTargets() const;
    // Asks before a multi that already stands in the files goes in again; true when the patch is to go on.
    bool patchAgainIfAlreadyThere(const PatchTargets& targets);
    // Refuses a patch into an index that cannot take one, as any other failure: the reason first and what
    // to do; the program, the loaded multi and everything typed stay.
    void refuseUnusableIndex(const UnusableIndexError& error);
    void extractMulti();
    void createScript();
    // The script format of the selected Server Version option; nothing when none is selected.
    std::optional<ScriptFormat> chosenScriptFormat() const;
    void previewMulti();
    // An open preview follows the multi just loaded.
    void refreshPreview();
    void exitProgram();
    // The error report: the error's description, and `advice` below it when given, in a critical message
    // box with an OK button only.
    void showErrorReport(const Error& error, const QString& advice = {});

    // The multi number box and the client multis window (MainWindowMultiNumber.cpp).
    // The number typed in the box; nothing while it is blank. Throws Error for text that is not a number.
    std::optional<std::int32_t> typedMultiNumber() const;
    // The options of a patch into `targets`: at the typed number, asking before it replaces a multi there
    // (No the default), else at the first free number. Nothing when the patch is not to go on; the window
    // then already says why.
    std::optional<PatchOptions> askPatchOptions(const PatchTargets& targets);
    // What the status tooltip of a patch at a typed number adds: that the number was free, or what it
    // replaced.
    static QString replacedText(const MultiHoldings& replaced);
    // The slot Create Script writes the scripts for: the typed number's, else the patched one; 0 for none.
    // Nothing when the box holds no number (the window has said so).
    std::optional<std::int32_t> scriptSlot();
    // Whether the client files hold something at the typed multi number, or the user wants its scripts
    // all the same; true when the files cannot tell.
    bool typedMultiHoldsSomething(std::int32_t multi);
    // Multi.idx and Multi.mul while both boxes are green, and MultiCollection.uop while its box is.
    PatchTargets clientFileTargets() const;
    void openClientMultis();
    void refreshClientMultis();
    // Gives the client multis window the shard's names while a manifest is open.
    void passShardNames();
    void previewClientMulti(const std::vector<PreviewTile>& tiles, const QString& name);

    Platform platform_;  // references to the services, which outlive the window
    QString componentsPath_;
    Workspace workspace_;
    CommonDialog dlgCommon_;
    QPointer<ScriptsWindow> scriptsWindow_;  // exists from the first scripts until the user closes it
    QPointer<PreviewWindow> previewWindow_;  // exists from the first preview until the user closes it
    QPointer<ClientMultisWindow> clientMultisWindow_;  // exists from Client multis until the user closes it

    QGroupBox* frame1_ = nullptr;
    QLineEdit* txtMultiName_ = nullptr;
    QLineEdit* txtBuyValue_ = nullptr;
    QLineEdit* txtSellValue_ = nullptr;
    QPushButton* cmdExtract_ = nullptr;
    QLabel* lblItems_ = nullptr;
    QLabel* txtComponents_ = nullptr;
    QLineEdit* txtMultiIdx_ = nullptr;
    QLineEdit* txtMultiMul_ = nullptr;
    QLineEdit* txtMultiCollection_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* cmdLoad_ = nullptr;
    QRadioButton* optWsc_ = nullptr;
    QRadioButton* optTxt_ = nullptr;
    QPushButton* cmdPatch_ = nullptr;
    QCheckBox* chkScriptOnly_ = nullptr;
    QPushButton* cmdCreateScript_ = nullptr;
    QRadioButton* optVer54_ = nullptr;
    QRadioButton* optVer51a_ = nullptr;
    QRadioButton* optVerX_ = nullptr;
    QPushButton* cmdPreview_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QTextEdit* txtStatusDetails_ = nullptr;
    bool statusExplainsPatch_ = false;  // the status line shows explainPatchWaiting's text

    // A control as built for the narrowest window, and whether it grows with the extra width or moves by it.
    struct WidthRule {
        QWidget* control;
        QRect asBuilt;
        bool grows;
    };
    std::vector<WidthRule> widthRules_;
    QSize builtSize_;
    QLineEdit* txtMultiNumber_ = nullptr;
    QPushButton* cmdClientMultis_ = nullptr;
    QPushButton* cmdShard_ = nullptr;
    QPointer<ShardWindow> shardWindow_;  // exists from Shard… until the user closes it
};

// Selects or clears an option button. Selecting clears the other options of its frame; clearing touches
// only this one, so a frame can end up with no option selected.
void SetOptionSelected(QRadioButton* option, bool selected);

// The background colour of a text box, as the path checks set it.
QColor BoxColour(const QLineEdit* box);
// Sets the background of a text box in every state, with kBoxText over it: every box colour is light.
void SetBoxColour(QLineEdit* box, const QColor& colour);

}  // namespace keelwright
