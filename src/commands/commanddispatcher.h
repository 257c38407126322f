#pragma once

#include "commands/commandui.h"

#include <QString>
#include <functional>
#include <optional>

namespace engine {
class Engine;
}
namespace platform {
class Dialogs;
}

namespace commands {

// Every file, edit and document command of the main window, by its key. The dispatcher
// owns the current file; the description belongs to the engine.
class CommandDispatcher {
public:
    using TextLookup = std::function<std::optional<QString>(int)>;

    CommandDispatcher(engine::Engine& engine, platform::Dialogs& dialogs, TextLookup texts,
                      CommandUi& ui);

    // Keys are compared exactly; an unknown key does nothing. fileName serves "Open" only.
    void Traiter_Fichier(const QString& operation, const QString& fileName = QString());

    // Saves to the current file, or asks for one. False when nothing was saved: the dialog
    // was cancelled or the file could not be written (which is reported).
    bool Exec_Save();

    // Asks whether to save unsaved work, titled with string titleId. False when the command
    // must not go on: Cancel, or Yes followed by a save that did not happen.
    bool saveQuestion(int titleId);

    void setMainCaption(const QString& caption) { MainCaption = caption; }
    QString currentFile() const { return CurrentFile; }
    int forwardSteps() const { return ForwardSteps; }
    void setForwardSteps(int steps) { ForwardSteps = steps; }

    void New();
    void Open(const QString& fileName);

private:
    QString text(int k) const;
    void openFile(const QString& previousFile);
    bool refresh();
    void showUnmodified(const QString& caption, bool saveAsEnabled);

    engine::Engine& engine_;
    platform::Dialogs& dialogs_;
    TextLookup texts_;
    CommandUi& ui_;

    QString CurrentFile;
    QString MainCaption;
    int ForwardSteps = 0;
};

}  // namespace commands
