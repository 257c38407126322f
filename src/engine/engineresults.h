#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace engine {

// A drawing layer whose picture was (to be) loaded from a path.
struct LayerChange {
    int layer = 0;
    QString path;  // as composed from the knowledge base, "\" separators
    bool loaded = true;
};

// What a refresh leaves to the window.
struct RefreshResult {
    // The description just became modified: enable "Save" and "Save as", and "Save" in the
    // File menu when an identification file is current.
    bool enableSaveCommands = false;
    std::vector<LayerChange> changedLayers;
    // A drawing picture could not be loaded: show this path and end the program.
    std::optional<QString> fatalPath;
    // The species list and the legend were recomputed (not after a fatal error).
    bool ranked = false;
};

// What the discriminant search did.
enum class SearchOutcome {
    OnlyOneSpecies,  // message 1078 shown; nothing searched
    QuestionOpened,  // the current question is set: show its choices and the question toolbar
    NothingLeft,     // message 1075 shown; back to the identification view
    Declined,        // the user did not retry skipped questions: identification view
};

// A button of the character toolbar as the contradiction display rebuilds it.
struct ButtonImage {
    int button = 0;       // row 1 .. DeterButtonCount of "But_Deter"
    bool exists = false;  // the row is in the table
    QString key, caption, tipText;
    QString picture;  // a knowledge-base path
    bool contradiction = false;
};

struct ContradictionDisplay {
    int contradictedAnswers = 0;           // ExtraLayerCount
    std::vector<int> contradictedButtons;  // in the order found, repeats kept
    std::vector<LayerChange> addedLayers;
    std::vector<ButtonImage> toolbar;
};

}  // namespace engine
