#include "commands/commanddispatcher.h"

#include "engine/engine.h"
#include "engine/identificationfile.h"
#include "engine/measureanswer.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/textids.h"

namespace commands {

using Answer = platform::Dialogs::Answer;
using engine::IdentificationFile;

CommandDispatcher::CommandDispatcher(engine::Engine& engine, platform::Dialogs& dialogs,
                                     TextLookup texts, CommandUi& ui)
    : engine_(engine), dialogs_(dialogs), texts_(std::move(texts)), ui_(ui) {}

QString CommandDispatcher::text(int k) const {
    if (texts_) {
        if (auto t = texts_(k)) return *t;
    }
    return QString::number(k);
}

void CommandDispatcher::Traiter_Fichier(const QString& operation, const QString& fileName) {
    if (operation == QLatin1String("New")) {
        New();
    } else if (operation == QLatin1String("Open")) {
        Open(fileName);
    } else if (operation == QLatin1String("Save")) {
        Exec_Save();
    } else if (operation == QLatin1String("Copy")) {
        ui_.setBusy(true);
        ui_.copyPicture();
        ui_.setBusy(false);
    } else if (operation == QLatin1String("Print")) {
        ui_.printDocument();
    } else if (operation == QLatin1String("Help")) {
        ui_.openHelp();
    } else if (operation == QLatin1String("Arriere")) {
        ui_.documentBack();
        ++ForwardSteps;
    } else if (operation == QLatin1String("Avant")) {
        if (ForwardSteps == 0) return;
        ui_.documentForward();
        --ForwardSteps;
    } else if (operation == QLatin1String("Stop")) {
        ui_.documentStop();
    } else if (operation == QLatin1String("Contra")) {
        ui_.showContradictions();
    }
}

bool CommandDispatcher::saveQuestion(int titleId) {
    const Answer a =
        dialogs_.ask({text(TextId::SaveQuestion), text(titleId), platform::Dialogs::Icon::Warning,
                      platform::Dialogs::Buttons::YesNoCancel});
    if (a == Answer::Cancel) return false;
    // Unsaved work is never thrown away by cancelling the save that Yes asked for.
    if (a == Answer::Yes) return Exec_Save();
    return true;
}

bool CommandDispatcher::Exec_Save() {
    // The name and the save commands change only once the file is written: after a failed
    // save the description is still unsaved, and the next save asks for a file again.
    QString file = CurrentFile;
    const bool asked = !ui_.saveMenuEnabled();
    if (!asked) {
        if (file.isEmpty()) return false;
    } else {
        file = dialogs_.saveFileName(text(TextId::TipSave), text(TextId::QntFileFilter),
                                     QStringLiteral("*.qnt"));
        if (file.isEmpty()) return false;
    }
    ui_.setBusy(true);
    QString error;
    const auto& state = engine_.state();
    if (!IdentificationFile::write(platform::toLocalPath(file), state.StateChoice, state.FrameState,
                                   &error, engine::typedValuesToKeep(engine_))) {
        ui_.setBusy(false);
        // The message names the file itself: the reason is said without it.
        for (const QString& named : {platform::toLocalPath(file), file}) {
            if (error.startsWith(named + QStringLiteral(": "))) {
                error.remove(0, named.size() + 2);
                break;
            }
        }
        dialogs_.show(text(TextId::QntNotSaved).arg(file, error), QString(),
                      platform::Dialogs::Icon::Warning);
        if (asked) return false;
        // A file that could once be written no longer can (a removed stick, a folder made
        // read-only): the next save asks where to write.
        ui_.setSaveMenuEnabled(false);
        return false;
    }
    CurrentFile = file;
    ui_.setCaption(MainCaption + QStringLiteral(" [") + CurrentFile + QLatin1Char(']'));
    ui_.Disable_Button(QStringLiteral("Save"));
    ui_.setSaveMenuEnabled(false);
    engine_.state().DescriptionModified = false;
    ui_.setBusy(false);
    return true;
}

void CommandDispatcher::New() {
    if (engine_.state().DescriptionModified && !saveQuestion(TextId::TipNewIdentification)) return;
    ui_.setBusy(true);
    ui_.pendingEvents();
    engine_.Nettoye();
    engine_.rememberDescription();
    if (engine_.state().ExtraLayerCount != 0) ui_.dropContradictions();
    if (!refresh()) return;
    engine_.reloadJokerFlags(true);
    CurrentFile.clear();
    showUnmodified(MainCaption, false);
    ui_.pendingEvents();
}

void CommandDispatcher::Open(const QString& fileName) {
    const QString previous = CurrentFile;
    if (!fileName.isEmpty()) {
        // Taken as given: a path changed in case would not open on a case-sensitive disk.
        CurrentFile = fileName;
    } else {
        if (engine_.state().DescriptionModified && !saveQuestion(TextId::TipOpen)) return;
        const QString chosen =
            dialogs_.openFileName(text(TextId::TipOpen), text(TextId::QntFileFilter), QString());
        if (chosen.isEmpty()) return;
        CurrentFile = chosen;
    }
    openFile(previous);
}

void CommandDispatcher::openFile(const QString& previousFile) {
    const QString path = platform::toLocalPath(CurrentFile);
    auto& state = engine_.state();
    const auto check =
        IdentificationFile::inspect(path, state.StateChoice.size(), state.FrameState.size());
    if (check.status == IdentificationFile::Status::CannotOpen) {
        dialogs_.show(CurrentFile + text(TextId::Unavailable));
        return;
    }
    if (check.status == IdentificationFile::Status::Foreign) {
        dialogs_.show(text(TextId::QntOfAnotherBase).arg(CurrentFile), QString(),
                      platform::Dialogs::Icon::Warning);
        CurrentFile = previousFile;  // refused whole: not even the file name changes
        return;
    }
    if (check.lengthDiffers)
        dialogs_.show(text(TextId::QntOfAnotherLength).arg(CurrentFile), QString(),
                      platform::Dialogs::Icon::Warning);
    ui_.setBusy(true);
    ui_.pendingEvents();
    const auto read = IdentificationFile::read(path, state.StateChoice, state.FrameState);
    engine::restoreTypedValues(engine_, read.typed);
    engine_.restartHistory();
    if (!refresh()) return;
    showUnmodified(MainCaption + QStringLiteral(" [") + CurrentFile + QLatin1Char(']'), true);
}

bool CommandDispatcher::refresh() {
    return ui_.showRefresh(engine_.Actualise_Identification(
        [this](int layer, const QString& path) { return ui_.loadLayer(layer, path); }));
}

// After New and Open: nothing to save, the caption and the save commands say so, and the
// identification view is shown.
void CommandDispatcher::showUnmodified(const QString& caption, bool saveAsEnabled) {
    ui_.setCaption(caption);
    ui_.setSaveMenuEnabled(false);
    ui_.setSaveAsMenuEnabled(saveAsEnabled);
    ui_.Disable_Button(QStringLiteral("Save"));
    engine_.state().DescriptionModified = false;
    ui_.clearStatusPanel();
    ui_.repaintDrawing();
    ui_.showIdentificationView();
    ui_.setBusy(false);
}

}  // namespace commands
