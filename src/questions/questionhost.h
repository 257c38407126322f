#pragma once

#include "engine/engineresults.h"

#include <QString>

namespace questions {

// What the question interface needs of the main window. The window owns the panes and the
// view switching; the question controller decides when to switch and what to show.
class QuestionHost {
public:
    virtual ~QuestionHost() = default;

    // ViewMode: 1 identification, 2 question, 3 results, 4 species.
    virtual int viewMode() const = 0;
    // Sets ViewMode alone, no pane changes (a click on the drawing is taken).
    virtual void setViewMode(int mode) = 0;
    // The picture of choices in place of the drawing (Robot hidden, Pic_Choix shown,
    // ViewMode 2). The controller itself hides Barre_Deter and shows Barre_Question.
    virtual void showQuestionView() = 0;
    // mnuViewIdentification_Click: drawing and character toolbar, ViewMode 1. The window
    // must then clear QuestionController::QuestionBusy (it does so for every way in).
    virtual void showIdentificationView() = 0;
    // mnuViewResults_Click: species list and document, ViewMode 3.
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
