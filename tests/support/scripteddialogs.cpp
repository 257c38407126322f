#include "support/scripteddialogs.h"

namespace testing_support {

platform::Dialogs::Answer ScriptedDialogs::ask(const Message& message) {
    asked.push_back(message);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return message.buttons == Buttons::Ok || message.buttons == Buttons::OkCancel ? Answer::Ok
                                                                                  : Answer::Yes;
}

static QString nextName(std::deque<QString>& names) {
    if (names.empty()) return QString();
    QString n = names.front();
    names.pop_front();
    return n;
}

QString ScriptedDialogs::openFileName(const QString&, const QString&, const QString&) {
    return nextName(fileNames);
}

QString ScriptedDialogs::saveFileName(const QString&, const QString&, const QString&) {
    return nextName(fileNames);
}

QString ScriptedDialogs::folderName(const QString&, const QString&) {
    return nextName(fileNames);
}

bool ScriptedDialogs::printSetup(QPrinter& printer, const QString& title) {
    printTitles << title;
    if (printAnswers.empty()) return false;
    const auto answer = std::move(printAnswers.front());
    printAnswers.pop_front();
    return answer(printer);
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Message& m : asked) out << m.text;
    return out;
}

}  // namespace testing_support
