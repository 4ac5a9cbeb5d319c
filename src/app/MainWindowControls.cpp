// The controls of the main window as created: names, captions, tooltips, places, fonts and colours.
//
// Places are computed in twips from two columns, each built from the top down: the script details, the
// two counters and the client files on the left; the commands and the two option frames on the right. A
// frame's height follows from its rows and a column's controls from the one above, so another row or
// button is one more line where it belongs. The controls are created in the order of the columns, top to
// bottom and left to right; the tab order follows the work instead (buildControls).
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <algorithm>

#include "app/FormLayout.h"
#include "app/MainWindow.h"
#include "app/ToolWindowPlacement.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"

namespace keelwright {
namespace {

constexpr int kMargin = 105;  // between the controls of a column, and below the lowest one
constexpr int kLeftColumn = 120;
// Inside Frame3: the label column fits "MultiCollection.uop", and the frame its three columns.
constexpr int kPathLabelWidth = 1605;
constexpr int kPathBoxLeft = 120 + kPathLabelWidth + kMargin;
constexpr int kPathBoxWidth = 2655;
constexpr int kBrowseLeft = kPathBoxLeft + kPathBoxWidth + kMargin;
constexpr int kBrowseWidth = 735;
constexpr int kLeftWidth = kBrowseLeft + kBrowseWidth + 120;
constexpr int kRightColumn = kLeftColumn + kLeftWidth + 225;
constexpr int kWindowWidth = kRightColumn + 1515;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kOptionFrameWidth = 1335;
constexpr int kStatusHeight = 255;

// Inside Frame1: a label and its box per row.
constexpr FormRows kDetailRows{240, 480, 375};
// Inside Frame3: a label, a path box and its Browse button per row.
constexpr FormRows kPathRows{360, 360, 285};
// Inside frmFile and frmVersion: one option button per row.
constexpr FormRows kOptionRows{240, 360, 360};

template <typename Control>
Control* make(QWidget* container, const char* name, const QString& caption, QRect place,
              const QString& tooltip = {}) {
    auto* control = new Control(caption, container);
    control->setObjectName(name);
    control->setGeometry(place);
    if (!tooltip.isEmpty()) {
        control->setToolTip(tooltip);
    }
    return control;
}

QLineEdit* makeBox(QWidget* container, const char* name, QRect place, const QString& tooltip = {}) {
    auto* box = new QLineEdit(container);
    box->setObjectName(name);
    box->setGeometry(place);
    box->setToolTip(tooltip);
    SetBoxColour(box, MainWindow::kBoxAsCreated);
    return box;
}

// A label of a row takes the row's height and centres its text on the row's middle, where its box's text is.
QLabel* makeLabel(QWidget* container, const char* name, const QString& caption, QRect place,
                  Qt::Alignment vertical = Qt::AlignTop) {
    auto* label = make<QLabel>(container, name, caption, place);
    label->setAlignment(Qt::AlignLeft | vertical);
    return label;
}

// The status line: wrapped at spaces, and selectable with the mouse and, while it shows text, the keyboard.
QLabel* makeStatusLine(QWidget* container, QRect place) {
    auto* label = makeLabel(container, "lblStatus", "", place);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

// The details under the status line, which often hold a path: wrapped anywhere when a word is longer than
// the line, so that the whole path shows, and selectable as the status line is. It looks like a label.
QTextEdit* makeStatusDetails(QWidget* container, QRect place) {
    auto* details = new QTextEdit(container);
    details->setObjectName("txtStatusDetails");
    details->setGeometry(place);
    details->setReadOnly(true);
    details->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    details->setFrameShape(QFrame::NoFrame);
    details->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    details->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    details->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    details->setTabChangesFocus(true);
    details->document()->setDocumentMargin(0);
    QPalette look = details->palette();
    look.setColor(QPalette::Base, look.color(QPalette::Window));
    details->setPalette(look);
    details->setVisible(false);
    return details;
}

// The height of a frame of option buttons with `rows` rows.
constexpr int optionFrameHeight(int rows) {
    return kOptionRows.bottom(rows) + 135;
}

}  // namespace

void MainWindow::buildControls() {
    setObjectName("frmMain");
    setWindowTitle("Keelwright 1.0");
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());

    ColumnStack left(kLeftColumn, 120, kMargin);
    buildScriptDetails(left);
    left.addSpace(120);
    const int countersTop = left.take(735);
    auto* frame2 =
        make<QGroupBox>(this, "Frame2", "Multi Script Info", Twips(kLeftColumn, countersTop, 2295, 735));
    makeLabel(frame2, "Label1", "Number of Items:", Twips(120, 360, 1215, 255));
    lblItems_ = makeLabel(frame2, "lblItems", "0", Twips(1440, 360, 615, 255));
    auto* frame4 = make<QGroupBox>(this, "Frame4", "Components.txt Info",
                                   Twips(kLeftColumn + kLeftWidth - 2055, countersTop, 2055, 735));
    makeLabel(frame4, "Label7", "Number of Items:", Twips(120, 360, 1215, 255));
    txtComponents_ = makeLabel(frame4, "txtComponents", "", Twips(1440, 360, 495, 255));
    buildClientFiles(left);

    ColumnStack right(kRightColumn, 120, kMargin);
    cmdLoad_ = make<QPushButton>(this, "cmdLoad", "&Load Script", right.place(kButtonWidth, kButtonHeight),
                                 "Load a multi to patch");
    auto* frmFile = make<QGroupBox>(this, "frmFile", "Import file type",
                                    right.place(kOptionFrameWidth, optionFrameHeight(2)));
    optWsc_ = make<QRadioButton>(frmFile, "optWsc", "*.wsc", kOptionRows.cell(0, 120, 855),
                                 "WSC file created by .export command");
    optTxt_ = make<QRadioButton>(frmFile, "optTxt", "*.txt", kOptionRows.cell(1, 120, 855),
                                 "*.txt file created by .EXTRACT command ");
    optWsc_->setChecked(true);
    cmdPatch_ = make<QPushButton>(this, "cmdPatch", "&Patch Multi", right.place(kButtonWidth, kButtonHeight));
    cmdPatch_->setEnabled(false);
    // Blank: the first free number, as always; a number: that one, asking before it replaces a multi.
    const int numberTop = right.take(315);
    auto* lblMultiNumber = makeLabel(this, "lblMultiNumber", "&Number",
                                     Twips(kRightColumn, numberTop, 660, 315), Qt::AlignVCenter);
    txtMultiNumber_ = makeBox(this, "txtMultiNumber", Twips(kRightColumn + 690, numberTop, 705, 315),
                              "The multi number to patch at and to create the scripts for, decimal or 0x hex "
                              "(0x1400); blank: the first free number");
    txtMultiNumber_->setPlaceholderText("first free");
    SetBoxColour(txtMultiNumber_, kBoxOpen);
    lblMultiNumber->setBuddy(txtMultiNumber_);
    chkScriptOnly_ =
        make<QCheckBox>(this, "chkScriptOnly", "Scripts Only", right.place(kOptionFrameWidth, 255),
                        "Adds all items to the multi scripts only");
    chkScriptOnly_->setEnabled(false);
    chkScriptOnly_->setVisible(false);
    cmdCreateScript_ =
        make<QPushButton>(this, "cmdCreateScript", "&Create Script", right.place(kButtonWidth, kButtonHeight),
                          "Auto creates the scripts in the chosen script format");
    cmdCreateScript_->setEnabled(false);
    auto* frmVersion = make<QGroupBox>(this, "frmVersion", "Server Version",
                                       right.place(kOptionFrameWidth, optionFrameHeight(3)));
    optVer54_ = make<QRadioButton>(frmVersion, "optVer54", "Ver. 54+", kOptionRows.cell(0, 120, 1095),
                                   "New sphere 54+ script format");
    optVer51a_ = make<QRadioButton>(frmVersion, "optVer51a", "Ver. 51a", kOptionRows.cell(1, 120, 1095),
                                    "Old script format");
    optVerX_ = make<QRadioButton>(frmVersion, "optVerX", "Ver. X", kOptionRows.cell(2, 120, 1095),
                                  "Sphere 0.56d and X: MULTIDEF sections");
    optVer54_->setChecked(true);
    cmdPreview_ = make<QPushButton>(this, "cmdPreview", "Pre&view", right.place(kButtonWidth, kButtonHeight),
                                    "Shows the loaded multi as the game draws it");
    cmdPreview_->setEnabled(false);
    cmdClientMultis_ = make<QPushButton>(
        this, "cmdClientMultis", "Client m&ultis…", right.place(kButtonWidth, kButtonHeight),
        "Lists the multis of the chosen client files: preview, extract, remove");
    cmdShard_ =
        make<QPushButton>(this, "cmdShard", "S&hard…", right.place(kButtonWidth, kButtonHeight),
                          "Keeps the shard's collection of multis in a manifest: plan, apply, scripts");

    // Exit and the status line end both columns on one line; the window reaches just below them.
    const int bottom = std::max(left.next() + 120 + kStatusHeight, right.next() + kButtonHeight);
    cmdExit_ = make<QPushButton>(this, "cmdExit", "E&xit",
                                 Twips(kRightColumn, bottom - kButtonHeight, kButtonWidth, kButtonHeight));
    // The status line reaches to the Exit button, so that a failure's reason has room to show; a longer
    // text wraps onto more lines, the details below it, and the window grows down to show them.
    const QRect status =
        Twips(kLeftColumn, bottom - kStatusHeight, kRightColumn - kLeftColumn - 105, kStatusHeight);
    lblStatus_ = makeStatusLine(this, status);
    txtStatusDetails_ = makeStatusDetails(this, status.translated(0, status.height()));
    cmdExtract_ = make<QPushButton>(this, "cmdExtract", "Extract", Twips(2880, 1200, 975, 375));
    cmdExtract_->setVisible(false);
    // The tab order follows the work: the client files, Load, the name and values, Patch, Create Script,
    // then the other commands and the status, read last. The status lines take the focus only while they
    // show text (showStatus), which setTabOrder needs them to take now.
    QWidget* const workOrder[] = {
        txtMultiIdx_, command1_,     txtMultiMul_,     command2_,        txtMultiCollection_,
        command3_,    cmdLoad_,      optWsc_,          optTxt_,          txtMultiName_,
        txtBuyValue_, txtSellValue_, txtMultiNumber_,  cmdPatch_,        optVer54_,
        optVer51a_,   optVerX_,      cmdCreateScript_, cmdPreview_,      cmdClientMultis_,
        cmdShard_,    cmdExit_,      lblStatus_,       txtStatusDetails_};
    for (std::size_t i = 1; i < std::size(workOrder); ++i) {
        setTabOrder(workOrder[i - 1], workOrder[i]);
    }
    lblStatus_->setFocusPolicy(Qt::NoFocus);
    txtStatusDetails_->setFocusPolicy(Qt::NoFocus);

    builtSize_ = QSize(kWindowWidth / kTwipsPerPixel, (bottom + kMargin) / kTwipsPerPixel);
    // The right column, which moves with the window's right edge, is what tool windows never cover.
    setProperty(kCommandsWidthProperty, (kWindowWidth - kRightColumn + kMargin) / kTwipsPerPixel);
    rememberWidthRules();
    resize(builtSize_);
    setMinimumSize(builtSize_);
    setMaximumHeight(builtSize_.height());
}

void MainWindow::rememberWidthRules() {
    QWidget* const grows[] = {frame1_,      txtMultiIdx_->parentWidget(), txtMultiIdx_,
                              txtMultiMul_, txtMultiCollection_,          lblStatus_};
    QWidget* const moves[] = {findChild<QWidget*>("Frame4"),
                              command1_,
                              command2_,
                              command3_,
                              cmdLoad_,
                              optWsc_->parentWidget(),
                              cmdPatch_,
                              chkScriptOnly_,
                              cmdCreateScript_,
                              optVer54_->parentWidget(),
                              cmdPreview_,
                              cmdExit_};
    for (QWidget* control : grows) {
        widthRules_.push_back({control, control->geometry(), true});
    }
    for (QWidget* control : moves) {
        widthRules_.push_back({control, control->geometry(), false});
    }
}

void MainWindow::buildScriptDetails(ColumnStack& column) {
    const struct {
        const char* label;
        const char* caption;
        const char* box;
        int width;
        const char* tooltip;
        QLineEdit** control;
    } rows[] = {
        {"Label2", "Multi Name", "txtMultiName", 2415, "Enter a name", &txtMultiName_},
        {"Label3", "Buy Value", "txtBuyValue", 1095, "Price that the vendor will sell the deed for",
         &txtBuyValue_},
        {"Label4", "Sell Value", "txtSellValue", 1095, "Price the vendor will pay for the deed",
         &txtSellValue_},
    };
    constexpr int kRows = static_cast<int>(std::size(rows));
    frame1_ = make<QGroupBox>(this, "Frame1", "Script Details",
                              column.place(kLeftWidth, kDetailRows.bottom(kRows) + 240));
    for (int row = 0; row < kRows; ++row) {
        makeLabel(frame1_, rows[row].label, rows[row].caption, kDetailRows.cell(row, 360, 855),
                  Qt::AlignVCenter);
        *rows[row].control =
            makeBox(frame1_, rows[row].box, kDetailRows.cell(row, 1320, rows[row].width), rows[row].tooltip);
        (*rows[row].control)->setEnabled(false);
    }
}

void MainWindow::buildClientFiles(ColumnStack& column) {
    const struct {
        const char* label;
        const char* caption;
        const char* box;
        const char* browse;
        QLineEdit** control;
        QPushButton** button;
    } paths[] = {
        {"Label5", "Multi.idx", "txtMultiIdx", "Command1", &txtMultiIdx_, &command1_},
        {"Label6", "Multi.mul", "txtMultiMul", "Command2", &txtMultiMul_, &command2_},
        {"Label8", "MultiCollection.uop", "txtMultiCollection", "Command3", &txtMultiCollection_, &command3_},
    };
    constexpr int kRows = static_cast<int>(std::size(paths));
    // Frame3 has its own font and a dark red caption; its controls keep the window's font and colours.
    auto* frame = make<QGroupBox>(this, "Frame3", "Warning make backups of these files before patching.",
                                  column.place(kLeftWidth, kPathRows.bottom(kRows) + 210));
    frame->setFont(TimesFont(9.75));
    QPalette warning = frame->palette();
    warning.setColor(QPalette::Text, QColor(192, 0, 0));
    warning.setColor(QPalette::WindowText, QColor(192, 0, 0));
    frame->setPalette(warning);
    for (int row = 0; row < kRows; ++row) {
        auto* label = makeLabel(frame, paths[row].label, paths[row].caption,
                                kPathRows.cell(row, 120, kPathLabelWidth), Qt::AlignVCenter);
        *paths[row].control =
            makeBox(frame, paths[row].box, kPathRows.cell(row, kPathBoxLeft, kPathBoxWidth));
        *paths[row].button = make<QPushButton>(frame, paths[row].browse, "Browse",
                                               kPathRows.cell(row, kBrowseLeft, kBrowseWidth));
        for (QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(*paths[row].control),
                                 static_cast<QWidget*>(*paths[row].button)}) {
            QPalette ordinary = control->palette();
            ordinary.setColor(QPalette::Text, palette().color(QPalette::Text));
            ordinary.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
            control->setPalette(ordinary);
            control->setFont(DefaultFont());
        }
        label->setFont(TimesFont(9));
        SetBoxColour(*paths[row].control, kBoxAsCreated);
    }
    txtMultiCollection_->setToolTip(kOptionalUopTip);
}

void MainWindow::connectControls() {
    connect(txtMultiIdx_, &QLineEdit::textChanged, this, &MainWindow::CheckMultiIdxPath);
    connect(txtMultiMul_, &QLineEdit::textChanged, this, &MainWindow::CheckMultiMulPath);
    // Every change counts: typing, paste, cut, undo, the context menu and the load command's clearing.
    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        connect(box, &QLineEdit::textChanged, this, &MainWindow::applyCreateScriptRule);
    }
    connect(txtMultiCollection_, &QLineEdit::textChanged, this, &MainWindow::CheckMultiCollectionPath);
    connect(command1_, &QPushButton::clicked, this, [this] {
        browse(txtMultiIdx_, {txtMultiMul_, txtMultiCollection_}, "Multi.idx files (*.idx)|*.idx",
               "Browse for the multi.idx file", &MainWindow::CheckMultiIdxPath);
    });
    connect(command2_, &QPushButton::clicked, this, [this] {
        browse(txtMultiMul_, {txtMultiIdx_, txtMultiCollection_}, "Multi.mul file (*.mul)|*.mul",
               "Browse for the multi.mul file", &MainWindow::CheckMultiMulPath);
    });
    connect(command3_, &QPushButton::clicked, this, [this] {
        browse(txtMultiCollection_, {txtMultiMul_, txtMultiIdx_}, "MultiCollection.uop file (*.uop)|*.uop",
               "Browse for the MultiCollection.uop file", &MainWindow::CheckMultiCollectionPath);
    });
    connect(chkScriptOnly_, &QCheckBox::clicked, this,
            [this](bool checked) { cmdPatch_->setEnabled(!checked); });
    connect(cmdLoad_, &QPushButton::clicked, this, &MainWindow::loadScript);
    connect(cmdPatch_, &QPushButton::clicked, this, &MainWindow::patchMulti);
    connect(cmdExtract_, &QPushButton::clicked, this, &MainWindow::extractMulti);
    connect(cmdCreateScript_, &QPushButton::clicked, this, &MainWindow::createScript);
    connect(cmdPreview_, &QPushButton::clicked, this, &MainWindow::previewMulti);
    connect(cmdExit_, &QPushButton::clicked, this, &MainWindow::exitProgram);
    connect(cmdClientMultis_, &QPushButton::clicked, this, &MainWindow::openClientMultis);
    connect(cmdShard_, &QPushButton::clicked, this, [this] { openShard(); });
}

}  // namespace keelwright
