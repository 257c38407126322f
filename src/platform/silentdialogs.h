#pragma once

#include "platform/dialogs.h"

namespace platform {

// Dialogs for work with nobody at the screen (a simulated user, a benchmark): every question
// is answered No, no file or folder is chosen and nothing is printed.
class SilentDialogs : public Dialogs {
public:
    Answer ask(const Message&) override { return Answer::No; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
    bool printSetup(QPrinter&, const QString&) override { return false; }
};

}  // namespace platform
