#include "stderrdialogs.h"

#include <QTextStream>

namespace vkb {

platform::Dialogs::Answer StderrDialogs::ask(const Message& message) {
    QTextStream err(stderr);
    err << message.text << "\n";
    switch (message.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
        case Buttons::OkCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

}  // namespace vkb
