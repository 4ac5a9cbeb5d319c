#pragma once

#include <QPointer>

#include "app/Platform.h"

class QProgressDialog;

namespace keelwright {

// The platform services on Qt Widgets: the file and folder dialogs and message boxes the user sees, the
// clipboard, the system beep, the application-wide hourglass and the end of the program.
class QtPlatform : public FileDialogs,
                   public MessageBoxes,
                   public InputBoxes,
                   public Clipboard,
                   public Sounds,
                   public BusyPointer,
                   public ProgressDialogs,
                   public ProgramControl {
public:
    QString getOpenFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString getSaveFileName(QWidget* parent, const FileDialogRequest& request,
                            const QString& fileName) override;
    QString getExistingFolder(QWidget* parent, const QString& title, const QString& folder) override;
    void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    bool askYesNoDefaultYes(QWidget* parent, const QString& text, const QString& caption) override;
    QString getText(QWidget* parent, const QString& prompt, const QString& title,
                    const QString& defaultText) override;
    std::optional<int> chooseRow(QWidget* parent, const QString& prompt, const QString& title,
                                 const QStringList& headers, const QList<QStringList>& rows) override;
    void setText(const QString& text) override;
    void beep() override;
    void setBusy(bool busy) override;
    void beginProgress(QWidget* parent, const QString& title) override;
    bool progressStep(const QString& step, int done, int total, bool cancellable) override;
    void endProgress() override;
    void endProgram(int status) override;

private:
    bool busy_ = false;
    QPointer<QProgressDialog> progress_;
};

// The name filters of a file dialog for a filter of "|"-separated description and pattern pairs:
// "Multi.txt files (*.txt)|*.txt" gives "Multi.txt files (*.txt)".
QStringList NameFilters(const QString& filter);

}  // namespace keelwright
