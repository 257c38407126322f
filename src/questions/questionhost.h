#pragma once

#include "engine/engineresults.h"

#include <QString>

namespace questions {

// The window's views, with the numbers they have always had.
enum class ViewMode {
    Identification = 1,  // the drawing and the character toolbar
    Question = 2,        // the picture of choices of the open question
    Results = 3,         // the species list and a document
    Species = 4,         // the species tree and a document
};

// What the question interface needs of the main window. The window owns the panes and the
// view switching; the question controller decides when to switch and what to show.
class QuestionHost {
public:
    virtual ~QuestionHost() = default;

    virtual ViewMode viewMode() const = 0;
    // Sets ViewMode alone, no pane changes (a click on the drawing is taken).
    virtual void setViewMode(ViewMode mode) = 0;
    // The picture of choices in place of the drawing (Robot hidden, Pic_Choix shown,
    // ViewMode::Question). The controller itself hides Barre_Deter and shows Barre_Question.
    virtual void showQuestionView() = 0;
    // mnuViewIdentification_Click: drawing and character toolbar, ViewMode::Identification. The
    // window must then clear QuestionController::QuestionBusy (it does so for every way in).
    virtual void showIdentificationView() = 0;
    // mnuViewResults_Click: species list and document, ViewMode::Results.
    virtual void showResultsView() = 0;
    // Shows what a refresh computed: list, legend, save commands, repaint of the drawing.
    // False when the program must end (a drawing layer could not be loaded).
    virtual bool refreshShown(const engine::RefreshResult& result) = 0;
    // Status-bar panel 1.
    virtual void setStatusText(const QString& text) = 0;
    // The hourglass on the whole window; calls nest.
    virtual void setBusy(bool busy) = 0;
    virtual void pendingEvents() = 0;
};

}  // namespace questions
