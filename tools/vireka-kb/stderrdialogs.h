#pragma once

#include "platform/dialogs.h"

namespace vkb {

// The inspection commands run unattended: every message goes to standard error, every
// question is answered No (or Cancel), and file dialogs are cancelled.
class StderrDialogs : public platform::Dialogs {
public:
    Answer ask(const Message& message) override;
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
    bool printSetup(QPrinter&, const QString&) override { return false; }
};

}  // namespace vkb
