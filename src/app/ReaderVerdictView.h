#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <iterator>
#include <map>

#include "clientfiles/ReaderCheck.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace keelwright {

// The reader check over a list of client multis: one line per reader with its verdict (the details in its
// tooltip), a "Check…" button that shows the whole report as text, and the marking of the rows of numbers
// that some reader sees otherwise. It shows the core's check (CheckReaders, ReaderCheckText) and decides
// nothing itself, so that it says what `keelwright-cli check` says.
class ReaderVerdictView : public QWidget {
    Q_OBJECT

public:
    explicit ReaderVerdictView(QWidget* parent = nullptr);

    // Shows the verdicts of the check and keeps its report and findings for Check… and markRow.
    void showCheck(const ReaderCheck& check);
    // Shows that the files could not be checked.
    void clearCheck();
    // Marks the row of the table that lists `multi` when some reader sees that multi otherwise: a tinted
    // background and the reasons in every cell's tooltip.
    void markRow(QTableWidget& table, int row, std::int32_t multi) const;
    // The whole report, as Check… shows it.
    const QString& report() const { return report_; }

private:
    void showReport();

    QLabel* lines_[std::size(kReaders)];
    QPushButton* cmdCheck_;
    QString report_;
    std::map<std::int32_t, QStringList> reasons_;  // by number: why readers see it otherwise
};

}  // namespace keelwright
