#pragma once

#include "platform/dialogs.h"

#include <QPointer>
#include <QWidget>

namespace shell {

// Message boxes and file dialogs of the running program, owned by the given window.
class QtDialogs : public platform::Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    // The caption of boxes that name no title of their own.
    void setDefaultTitle(const QString& title) { defaultTitle_ = title; }

    Answer ask(const Message& message) override;
    Answer ask(const Message& message, const QString& details) override;
    QString openFileName(const QString& title, const QString& filter,
                         const QString& directory) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& suggested) override;
    QString folderName(const QString& title, const QString& start) override;
    bool printSetup(QPrinter& printer, const QString& title) override;

    // "Vireka Files (*.qnt)|*.qnt|All Files (*.*)|*.*" as Qt writes a filter list.
    static QString qtFilter(const QString& filter);

private:
    QPointer<QWidget> owner_;
    QString defaultTitle_ = QStringLiteral("Vireka");
};

}  // namespace shell
