// The status line, which shows its text whole and the details below it, and the window's width, which the
// user may widen: the path boxes grow with it, the right column moves with it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStringList>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/MainWindow.h"
#include "app/WindowLook.h"

namespace keelwright {
namespace {

constexpr int kBottomMargin = 105 / kTwipsPerPixel;  // below the lowest control, as built

// The height the details take at a width: the whole text, wrapped. Without a frame or scroll bars the
// text has the whole width.
int heightAt(QTextEdit* details, int width) {
    details->document()->setTextWidth(width);
    return static_cast<int>(std::ceil(details->document()->size().height()));
}

}  // namespace

void MainWindow::showStatus(const QString& text, const QString& details,
                            const std::optional<QString>& below) {
    statusExplainsPatch_ = false;
    lblStatus_->setText(text);
    lblStatus_->setFocusPolicy(text.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    // The details stay the tooltip too, where pointing at the status line has always found them.
    lblStatus_->setToolTip(details);
    const QString shown = below ? *below : details == text ? QString() : details;
    txtStatusDetails_->setPlainText(shown);
    txtStatusDetails_->setFocusPolicy(shown.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    fitStatusHeight();
}

void MainWindow::explainPatchWaiting() {
    QStringList red;
    QString reason;  // the first red box's reason, when its file is there but wrong
    QString waitedFor;
    for (const auto& [box, name] :
         {std::pair{txtMultiIdx_, "Multi.idx"}, std::pair{txtMultiMul_, "Multi.mul"}}) {
        if (BoxColour(box) != kValidPath) {
            red << name;
            if (reason.isEmpty() && !box->toolTip().isEmpty()) {
                reason = box->toolTip();
                waitedFor = name;
            }
        }
    }
    if (BoxColour(txtMultiCollection_) == kInvalidPath && reason.isEmpty()) {
        reason =
            txtMultiCollection_->toolTip() == kOptionalUopTip ? QString() : txtMultiCollection_->toolTip();
    }
    if (!reason.isEmpty()) {
        // A file that is there but not the one the box asks for: said at once, loaded multi or not.
        showStatus(multiLoaded() && !waitedFor.isEmpty()
                       ? "Patch Multi waits for the " + waitedFor + " box: " + reason
                       : reason);
        statusExplainsPatch_ = true;
    } else if (multiLoaded() && !cmdPatch_->isEnabled() && !red.isEmpty()) {
        showStatus(QString("Patch Multi needs the client's %1: %2 no file")
                       .arg(red.join(" and "), red.size() == 1 ? "its box names" : "their boxes name"));
        statusExplainsPatch_ = true;
    } else if (statusExplainsPatch_) {
        showStatus({});
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) {
        followWidth();
        fitStatusHeight();
    }
}

void MainWindow::followWidth() {
    const int extra = std::max(0, width() - builtSize_.width());
    for (const WidthRule& rule : widthRules_) {
        QRect place = rule.asBuilt;
        if (rule.grows) {
            place.setWidth(place.width() + extra);
        } else {
            place.translate(extra, 0);
        }
        rule.control->setGeometry(place);
    }
}

void MainWindow::fitStatusHeight() {
    // The status line keeps its built height at least, so that the window starts at its built size.
    const QRect line = lblStatus_->geometry();
    const int lineHeight =
        std::max(builtSize_.height() - kBottomMargin - line.top(), lblStatus_->heightForWidth(line.width()));
    lblStatus_->resize(line.width(), lineHeight);
    int bottom = line.top() + lineHeight;
    const bool details = !txtStatusDetails_->document()->isEmpty();
    txtStatusDetails_->setVisible(details);
    if (details) {
        const int detailsHeight = heightAt(txtStatusDetails_, line.width());
        txtStatusDetails_->setGeometry(line.left(), bottom, line.width(), detailsHeight);
        bottom += detailsHeight;
    }
    setFixedHeight(std::max(builtSize_.height(), bottom + kBottomMargin));
}

}  // namespace keelwright
