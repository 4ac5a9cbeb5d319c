#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <optional>

#include "app/CommonDialog.h"
#include "app/Platform.h"
#include "app/Workspace.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace keelwright {

class ColumnStack;
class Error;
class PreviewWindow;
class ScriptsWindow;
enum class ScriptFormat;

// frmMain, the program's window: the client-file paths with their checks (MultiCollection.uop optional), the
// script type and format choices, the script details, the commands and the status line. Its buttons run the
// commands; the enabled state of cmdPatch (a multi is loaded and not yet patched), cmdCreateScript (a multi
// is loaded and the script details are filled in) and cmdPreview (a multi is loaded) chains them.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    static inline const QString kApplicationTitle = "Keelwright";
    // Light path-box colours under dark text (kBoxText): both reach a contrast of 7:1 and more.
    static inline const QColor kValidPath{168, 228, 168};
    static inline const QColor kInvalidPath{255, 168, 168};
    static inline const QColor kBoxAsCreated{192, 192, 192};
    static inline const QColor kBoxOpen{255, 255, 255};
    static inline const QColor kBoxText{0, 0, 0};

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

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void buildScriptDetails(ColumnStack& column);
    void buildClientFiles(ColumnStack& column);
    void connectControls();
    void checkPath(QLineEdit* box, QString& path);
    void recheckPaths();
    // Opens the file dialog in the folder of the box's file, else of the first of the other boxes that
    // names one, and runs the box's check on the chosen path.
    void browse(QLineEdit* box, std::initializer_list<const QLineEdit*> otherBoxes, const QString& filter,
                const QString& title, void (MainWindow::*check)());
    void applyCreateScriptRule();
    void showStatus(const QString& text, const QString& details = {});
    bool multiLoaded() const { return !workspace_.ScriptPath.isEmpty(); }
    // Back to no multi loaded: an empty table, and the script details and the commands after Load closed.
    void forgetMulti();

    void loadScript();
    void patchMulti();
    void extractMulti();
    void createScript();
    // The script format of the selected Server Version option; nothing when none is selected.
    std::optional<ScriptFormat> chosenScriptFormat() const;
    void previewMulti();
    void exitProgram();
    // The error report: the error's number and description, and `advice` below them when given, in a
    // critical message box with an OK button only.
    void showErrorReport(const Error& error, const QString& advice = {});

    Platform platform_;  // references to the services, which outlive the window
    QString componentsPath_;
    Workspace workspace_;
    CommonDialog dlgCommon_;
    QPointer<ScriptsWindow> scriptsWindow_;  // exists from the first scripts until the user closes it
    QPointer<PreviewWindow> previewWindow_;  // exists from the first preview until the user closes it

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
};

// Selects or clears an option button. Selecting clears the other options of its frame; clearing touches
// only this one, so a frame can end up with no option selected.
void SetOptionSelected(QRadioButton* option, bool selected);

// The background colour of a text box, as the path checks set it.
QColor BoxColour(const QLineEdit* box);
// Sets the background of a text box in every state, with kBoxText over it: every box colour is light.
void SetBoxColour(QLineEdit* box, const QColor& colour);

}  // namespace keelwright
