// The controls of the main window as created: names, captions, tooltips, places, fonts, colours, tab order.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "app/WindowIcon.h"
#include "app/WindowLook.h"

namespace keelwright {
namespace {

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

QLabel* makeLabel(QWidget* container, const char* name, const QString& caption, QRect place) {
    auto* label = make<QLabel>(container, name, caption, place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

void MainWindow::buildControls() {
    setObjectName("frmMain");
    setWindowTitle("Keelwright 1.0");
    setWindowIcon(KeelwrightIcon());
    setFont(DefaultFont());
    setFixedSize(6435 / kTwipsPerPixel, 4800 / kTwipsPerPixel);

    frame1_ = make<QGroupBox>(this, "Frame1", "Script Details", Twips(240, 120, 4095, 1815));
    makeLabel(frame1_, "Label2", "Multi Name", Twips(360, 360, 855, 255));
    txtMultiName_ = makeBox(frame1_, "txtMultiName", Twips(1320, 240, 2415, 375), "Enter a name");
    makeLabel(frame1_, "Label3", "Buy Value", Twips(360, 840, 855, 255));
    txtBuyValue_ = makeBox(frame1_, "txtBuyValue", Twips(1320, 720, 1095, 375),
                           "Price that the vendor will sell the deed for");
    makeLabel(frame1_, "Label4", "Sell Value", Twips(360, 1320, 855, 255));
    txtSellValue_ = makeBox(frame1_, "txtSellValue", Twips(1320, 1200, 1095, 375),
                            "Price the vendor will pay for the deed");
    for (QLineEdit* box : {txtMultiName_, txtBuyValue_, txtSellValue_}) {
        box->setEnabled(false);
    }

    cmdExtract_ = make<QPushButton>(this, "cmdExtract", "Extract", Twips(2880, 1200, 975, 375));
    cmdExtract_->setVisible(false);

    auto* frame2 = make<QGroupBox>(this, "Frame2", "Multi Script Info", Twips(120, 2160, 2295, 735));
    makeLabel(frame2, "Label1", "Number of Items:", Twips(120, 360, 1215, 255));
    lblItems_ = makeLabel(frame2, "lblItems", "0", Twips(1440, 360, 615, 255));

    auto* frame4 = make<QGroupBox>(this, "Frame4", "Components.txt Info", Twips(2640, 2160, 2055, 735));
    makeLabel(frame4, "Label7", "Number of Items:", Twips(120, 360, 1215, 255));
    txtComponents_ = makeLabel(frame4, "txtComponents", "", Twips(1440, 360, 495, 255));

    // Frame3 has its own font and a dark red caption; its controls keep the window's font and colours.
    auto* frame3 = make<QGroupBox>(this, "Frame3", "Warning make backups of these files before patching.",
                                   Twips(120, 3000, 4575, 1215));
    frame3->setFont(TimesFont(9.75));
    QPalette warning = frame3->palette();
    warning.setColor(QPalette::Text, QColor(192, 0, 0));
    warning.setColor(QPalette::WindowText, QColor(192, 0, 0));
    frame3->setPalette(warning);
    auto* label5 = makeLabel(frame3, "Label5", "Multi.idx", Twips(120, 360, 735, 255));
    txtMultiIdx_ = makeBox(frame3, "txtMultiIdx", Twips(960, 360, 2655, 285));
    command1_ = make<QPushButton>(frame3, "Command1", "Browse", Twips(3720, 360, 735, 255));
    auto* label6 = makeLabel(frame3, "Label6", "Multi.mul", Twips(120, 720, 735, 255));
    txtMultiMul_ = makeBox(frame3, "txtMultiMul", Twips(960, 720, 2655, 285));
    command2_ = make<QPushButton>(frame3, "Command2", "Browse", Twips(3720, 720, 735, 255));
    for (QWidget* control : frame3->findChildren<QWidget*>()) {
        QPalette ordinary = control->palette();
        ordinary.setColor(QPalette::Text, palette().color(QPalette::Text));
        ordinary.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
        control->setPalette(ordinary);
        control->setFont(DefaultFont());
    }
    label5->setFont(TimesFont(9));
    label6->setFont(TimesFont(9));
    SetBoxColour(txtMultiIdx_, kBoxAsCreated);
    SetBoxColour(txtMultiMul_, kBoxAsCreated);

    cmdLoad_ = make<QPushButton>(this, "cmdLoad", "&Load Script", Twips(4920, 120, 1215, 375),
                                 "Load a multi to patch");
    auto* frmFile = make<QGroupBox>(this, "frmFile", "Import file type", Twips(4920, 600, 1335, 1095));
    optWsc_ = make<QRadioButton>(frmFile, "optWsc", "*.wsc", Twips(120, 240, 855, 375),
                                 "WSC file created by .export command");
    optTxt_ = make<QRadioButton>(frmFile, "optTxt", "*.txt", Twips(120, 600, 855, 375),
                                 "*.txt file created by .EXTRACT command ");
    optWsc_->setChecked(true);

    cmdPatch_ = make<QPushButton>(this, "cmdPatch", "&Patch Multi", Twips(4920, 1800, 1215, 375));
    cmdPatch_->setEnabled(false);
    chkScriptOnly_ = make<QCheckBox>(this, "chkScriptOnly", "Scripts Only", Twips(4920, 2280, 1335, 255),
                                     "Adds all items to the multi scripts only");
    chkScriptOnly_->setEnabled(false);
    chkScriptOnly_->setVisible(false);
    cmdCreateScript_ = make<QPushButton>(this, "cmdCreateScript", "&Create Script", Twips(4920, 2640, 1215, 375),
                                         "Auto creates the scripts in the chosen script format");
    cmdCreateScript_->setEnabled(false);

    auto* frmVersion = make<QGroupBox>(this, "frmVersion", "Server Version", Twips(4920, 3120, 1335, 975));
    optVer54_ = make<QRadioButton>(frmVersion, "optVer54", "Ver. 54+", Twips(120, 240, 1095, 375),
                                   "New sphere 54+ script format");
    optVer51a_ = make<QRadioButton>(frmVersion, "optVer51a", "Ver. 51a", Twips(120, 600, 1095, 255),
                                    "Old script format");
    optVer54_->setChecked(true);

    cmdExit_ = make<QPushButton>(this, "cmdExit", "E&xit", Twips(4920, 4320, 1215, 375));
    // The status line reaches to the Exit button, so that a failure's reason has room to show.
    lblStatus_ = makeLabel(this, "lblStatus", "", Twips(120, 4440, 4695, 255));

    connect(txtMultiIdx_, &QLineEdit::textChanged, this, &MainWindow::CheckMultiIdxPath);
    connect(txtMultiMul_, &QLineEdit::textChanged, this, &MainWindow::CheckMultiMulPath);
    connect(command1_, &QPushButton::clicked, this, [this] {
        browse(txtMultiIdx_, workspace_.MultiIdxPath, "Multi.idx files (*.idx)|*.idx", "Browse for the multi.idx file");
    });
    connect(command2_, &QPushButton::clicked, this, [this] {
        browse(txtMultiMul_, workspace_.MultiMulPath, "Multi.mul file (*.mul)|*.mul", "Browse for the multi.mul file");
    });
    connect(chkScriptOnly_, &QCheckBox::clicked, this, [this](bool checked) { cmdPatch_->setEnabled(!checked); });
    connect(cmdLoad_, &QPushButton::clicked, this, &MainWindow::loadScript);
    connect(cmdPatch_, &QPushButton::clicked, this, &MainWindow::patchMulti);
    connect(cmdExtract_, &QPushButton::clicked, this, &MainWindow::extractMulti);
    connect(cmdCreateScript_, &QPushButton::clicked, this, &MainWindow::createScript);
    connect(cmdExit_, &QPushButton::clicked, this, &MainWindow::exitProgram);
}

void MainWindow::setTabOrder() {
    // The controls that take the focus, in the order of their tab index.
    QWidget* const order[] = {txtMultiName_, txtBuyValue_, txtSellValue_, cmdExit_,   cmdCreateScript_,
                              cmdLoad_,      optVer54_,    optVer51a_,    optTxt_,    optWsc_,
                              cmdPatch_,     txtMultiIdx_, txtMultiMul_,  command1_,  command2_,
                              chkScriptOnly_, cmdExtract_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
}

}  // namespace keelwright
