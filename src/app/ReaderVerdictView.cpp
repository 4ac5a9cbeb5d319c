#include "app/ReaderVerdictView.h"

#include <QColor>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/QtText.h"
#include "app/WindowLook.h"
#include "clientfiles/ReaderCheckReport.h"

namespace keelwright {
namespace {

// The tint of a row that some reader sees otherwise: light enough for the text on it to stay readable.
const QColor kSeenOtherwise(255, 228, 196);

}  // namespace

ReaderVerdictView::ReaderVerdictView(QWidget* parent) : QWidget(parent) {
    setObjectName("readerVerdicts");
    auto* lines = new QVBoxLayout;
    lines->setSpacing(0);
    for (std::size_t i = 0; i < std::size(kReaders); ++i) {
        lines_[i] = new QLabel(this);
        lines_[i]->setObjectName(QString("lblReader_") + ReaderKey(kReaders[i]));
        lines->addWidget(lines_[i]);
    }
    cmdCheck_ = MakeButton(this, "cmdCheck", "Chec&k…",
                           "Shows how every reader of the client files will read them, in full");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(lines, 1);
    row->addWidget(cmdCheck_, 0, Qt::AlignTop);
    connect(cmdCheck_, &QPushButton::clicked, this, &ReaderVerdictView::showReport);
    clearCheck();
}

void ReaderVerdictView::showCheck(const ReaderCheck& check) {
    reasons_.clear();
    for (std::size_t i = 0; i < check.readers.size() && i < std::size(kReaders); ++i) {
        const ReaderView& view = check.readers[i];
        lines_[i]->setText(FromUtf8(ReaderVerdict(view)));
        lines_[i]->setToolTip(FromUtf8(ReaderDetails(view)).trimmed());
        for (const ReaderFinding& finding : view.findings) {
            if (finding.multi) {
                reasons_[*finding.multi] << FromUtf8(finding.reason);
            }
        }
    }
    for (const FileDisagreement& disagreement : check.disagreements) {
        reasons_[disagreement.multi] << FromUtf8(disagreement.reason);
    }
    report_ = FromUtf8(ReaderCheckText(check));
    cmdCheck_->setEnabled(true);
}

void ReaderVerdictView::clearCheck() {
    for (std::size_t i = 0; i < std::size(kReaders); ++i) {
        lines_[i]->setText(QString(ReaderName(kReaders[i])) + ": not checked");
        lines_[i]->setToolTip({});
    }
    reasons_.clear();
    report_.clear();
    cmdCheck_->setEnabled(false);
}

void ReaderVerdictView::markRow(QTableWidget& table, int row, std::int32_t multi) const {
    const auto found = reasons_.find(multi);
    if (found == reasons_.end()) {
        return;
    }
    const QString tooltip = found->second.join("\n");
    for (int column = 0; column < table.columnCount(); ++column) {
        if (QTableWidgetItem* item = table.item(row, column)) {
            item->setBackground(kSeenOtherwise);
            item->setToolTip(tooltip);
        }
    }
}

void ReaderVerdictView::showReport() {
    auto* dialog = new QDialog(window());
    dialog->setObjectName("dlgCheckReport");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle("How each reader reads the client files");
    auto* text = new QPlainTextEdit(report_, dialog);
    text->setObjectName("txtCheckReport");
    text->setReadOnly(true);
    text->setFont(FixedPitchFont());
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* close = MakeButton(dialog, "cmdCloseReport", "&Close", {});
    auto* column = new QVBoxLayout(dialog);
    column->addWidget(text, 1);
    column->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    dialog->resize(720, 480);
    dialog->show();
}

}  // namespace keelwright
