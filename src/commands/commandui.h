#pragma once

#include "engine/engineresults.h"

#include <QString>

namespace commands {

// What the commands need of the main window. The window implements it; the commands hold
// the file state and decide, the window shows.
class CommandUi {
public:
    virtual ~CommandUi() = default;

    virtual void setCaption(const QString& caption) = 0;
    virtual void setSaveMenuEnabled(bool enabled) = 0;  // mnuFileSave
    virtual bool saveMenuEnabled() const = 0;
    virtual void setSaveAsMenuEnabled(bool enabled) = 0;  // mnuFileSaveAs
    virtual void Enable_Button(const QString& key) = 0;
    virtual void Disable_Button(const QString& key) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void pendingEvents() = 0;
    virtual void clearStatusPanel() = 0;
    virtual void repaintDrawing() = 0;

    // Loads a drawing layer's picture from a knowledge-base path; false when it cannot.
    virtual bool loadLayer(int layer, const QString& path) = 0;
    // Shows what a refresh of the identification computed: the layers, the list, the legend.
    // Returns false when the program must end (a drawing layer that cannot be loaded).
    virtual bool showRefresh(const engine::RefreshResult& result) = 0;
    // Drops the contradiction layers and marks (the engine's count of them included),
    // rebuilding the character toolbar.
    virtual void dropContradictions() = 0;
    // The identification view, with the View menu's marks on it.
    virtual void showIdentificationView() = 0;

    // Commands carried out by other parts of the window.
    virtual void copyPicture() = 0;
    virtual void printDocument() = 0;
    virtual void openHelp() = 0;
    virtual void documentBack() = 0;
    virtual void documentForward() = 0;
    virtual void documentStop() = 0;
    virtual void showContradictions() = 0;
};

}  // namespace commands
