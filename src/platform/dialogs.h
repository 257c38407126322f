#pragma once

#include <QString>
#include <QStringList>

class QPrinter;

namespace platform {

// Every message and question to the user goes through this interface. The window layers
// install the Qt implementation; tests install a scripted one that records what was asked.
class Dialogs {
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    struct Message {
        QString text;
        QString title;  // empty: the program's default caption
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };

    virtual ~Dialogs() = default;

    virtual Answer ask(const Message& message) = 0;
    // The same, with details the user may unfold below the text (what really failed).
    virtual Answer ask(const Message& message, const QString& details) {
        Q_UNUSED(details);
        return ask(message);
    }

    // File dialogs return an empty text when cancelled. filter uses the "Name|*.ext|..." form.
    virtual QString openFileName(const QString& title, const QString& filter,
                                 const QString& directory) = 0;
    virtual QString saveFileName(const QString& title, const QString& filter,
                                 const QString& suggested) = 0;
    virtual QString folderName(const QString& title, const QString& start) = 0;

    // The print dialog over printer: what the user chooses (printer or file, copies, pages)
    // is left on it. False when cancelled.
    virtual bool printSetup(QPrinter& printer, const QString& title) = 0;

    // Shorthand for an information message with the OK button.
    void show(const QString& text, const QString& title = QString(), Icon icon = Icon::None) {
        ask(Message{text, title, icon, Buttons::Ok});
    }
};

}  // namespace platform
