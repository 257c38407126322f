#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace testing_support {

// Answers questions from a script, in order, and records every message asked. When the
// script runs dry it answers the first button of the box (Ok or Yes) and cancels file dialogs.
class ScriptedDialogs : public platform::Dialogs {
public:
    std::deque<Answer> answers;
    std::deque<QString> fileNames;
    std::vector<Message> asked;
    // Print dialogs: each answer sets the printer up as the user would (a PDF file, copies)
    // and says whether the dialog was confirmed. A dry script cancels.
    std::deque<std::function<bool(QPrinter&)>> printAnswers;
    QStringList printTitles;

    using platform::Dialogs::ask;
    Answer ask(const Message& message) override;
    QString openFileName(const QString& title, const QString& filter,
                         const QString& directory) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& suggested) override;
    QString folderName(const QString& title, const QString& start) override;
    bool printSetup(QPrinter& printer, const QString& title) override;

    QStringList texts() const;
};

}  // namespace testing_support
