#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/Platform.h"
#include "app/SettingsStore.h"
#include "mulfiles/FaultyFileSystem.h"

namespace keelwright::test {

// Platform services with a scripted user: dialogs answer from queues, and everything the program asked for
// or did is recorded for the test to check. The settings live in memory, never in the user's store.
class FakePlatform : public FileDialogs,
                     public MessageBoxes,
                     public InputBoxes,
                     public Clipboard,
                     public Sounds,
                     public BusyPointer,
                     public ProgressDialogs,
                     public ProgramControl,
                     public SettingsStore {
public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon;
    };

    Platform platform() {
        return {*this, *this, *this, *this, *this, *this, *this, *this, *this, fileSystem, std::nullopt};
    }

    QString getOpenFileName(QWidget*, const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return takeFront(fileAnswers);
    }
    QString getSaveFileName(QWidget*, const FileDialogRequest& request, const QString& fileName) override {
        saveRequests.push_back({request, fileName});
        return takeFront(saveAnswers);
    }
    QString getExistingFolder(QWidget*, const QString& title, const QString& folder) override {
        folderRequests.push_back({title, folder});
        return takeFront(folderAnswers);
    }
    void showMessage(QWidget*, const QString& text, const QString& caption, MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    bool askYesNo(QWidget*, const QString& text, const QString& caption) override {
        questions.push_back({text, caption, MessageIcon::None});
        questionYesDefault.push_back(false);
        if (questionAnswers.empty()) {
            return false;  // the question's default answer
        }
        const bool yes = questionAnswers.front();
        questionAnswers.pop_front();
        return yes;
    }
    bool askYesNoDefaultYes(QWidget* parent, const QString& text, const QString& caption) override {
        const bool yes = askYesNo(parent, text, caption);
        questionYesDefault.back() = true;
        return yes;
    }
    void setText(const QString& text) override { clipboard = text; }
    QString getText(QWidget*, const QString& prompt, const QString& title, const QString&) override {
        inputPrompts.push_back(prompt);
        inputTitles.push_back(title);
        return takeFront(inputAnswers);
    }
    std::optional<int> chooseRow(QWidget*, const QString& prompt, const QString&, const QStringList& headers,
                                 const QList<QStringList>& rows) override {
        choices.push_back({prompt, headers, rows});
        if (rowAnswers.empty()) {
            return std::nullopt;  // Escape
        }
        const std::optional<int> row = rowAnswers.front();
        rowAnswers.pop_front();
        return row;
    }
    void beep() override { ++beeps; }
    void setBusy(bool isBusy) override {
        busy = isBusy;
        if (onBusy) {
            onBusy(isBusy);
        }
        if (isBusy) {
            ++busySpells;
        }
    }
    void beginProgress(QWidget*, const QString& title) override { progressTitle = title; }
    bool progressStep(const QString& step, int done, int total, bool cancellable) override {
        progressSteps.push_back({progressTitle, step, done, total, cancellable});
        return !cancelProgress || !cancelProgress(progressSteps.back());
    }
    void endProgress() override { progressTitle.clear(); }
    void endProgram(int status) override { endedWith = status; }

    QString get(const QString& application, const QString& section, const QString& key,
                const QString& defaultValue) override {
        const auto found = store.find(application + "/" + section + "/" + key);
        return found == store.end() ? defaultValue : found->second;
    }
    void save(const QString& application, const QString& section, const QString& key,
              const QString& value) override {
        store[application + "/" + section + "/" + key] = value;
        ++saves;
    }

    std::deque<QString> fileAnswers;  // an empty answer is a cancelled dialog
    std::vector<FileDialogRequest> fileRequests;
    std::deque<QString> saveAnswers;                                  // an empty answer is a cancelled dialog
    std::vector<std::pair<FileDialogRequest, QString>> saveRequests;  // and the file name offered
    std::deque<QString> folderAnswers;                                // an empty answer is a cancelled dialog
    std::vector<std::pair<QString, QString>> folderRequests;          // title and starting folder
    std::vector<Message> messages;
    std::deque<bool> questionAnswers;  // true for Yes; an empty queue answers No, the default
    std::vector<Message> questions;
    std::vector<bool> questionYesDefault;  // of each question: whether Yes was its default
    QString clipboard;
    std::deque<QString> inputAnswers;
    std::vector<QString> inputPrompts;
    std::vector<QString> inputTitles;
    struct Choice {
        QString prompt;
        QStringList headers;
        QList<QStringList> rows;
    };
    std::vector<Choice> choices;
    std::deque<std::optional<int>> rowAnswers;  // nothing is Escape; an empty queue answers Escape too
    int beeps = 0;
    bool busy = false;
    int busySpells = 0;
    std::function<void(bool)> onBusy;  // lets a test look at the window when the pointer changes
    struct ProgressStep {
        QString title;
        QString step;
        int done;
        int total;
        bool cancellable;
    };
    std::vector<ProgressStep> progressSteps;
    QString progressTitle;                                    // of the work in progress
    std::function<bool(const ProgressStep&)> cancelProgress;  // true: the user presses Cancel at this step
    std::optional<int> endedWith;
    std::map<QString, QString> store;  // "application/section/key" to value
    int saves = 0;
    FaultyFileSystem fileSystem;  // the real files, with the faults a test injects

private:
    static QString takeFront(std::deque<QString>& answers) {
        if (answers.empty()) {
            return {};
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace keelwright::test
