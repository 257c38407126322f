#pragma once

#include "engine/engine.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/statelist.h"
#include "questions/zonefinder.h"

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QString>

namespace platform {
class Dialogs;
}

namespace questions {

class CharacterToolbars;
class LayerStack;
class QuestionHost;

// The window side of asking and answering: the character toolbar's buttons, clicks and hover
// on the drawing, the question toolbar (confirm, skip, abandon), the discriminant search and
// the contradiction marks. The engine decides; this applies what it decided to the widgets
// it was given and asks the host for the view switches.
class QuestionController : public QObject {
    Q_OBJECT
public:
    QuestionController(engine::Engine& engine, LayerStack& layers, CharacterToolbars& toolbars,
                       QuestionHost& host, platform::Dialogs& dialogs, engine::TextLookup texts,
                       QString descriptorDir, QObject* parent = nullptr);

    // Connects the drawing and the picture of choices (the toolbars are connected already).
    // A list of the states is made over the picture of choices, for questions of many states.
    void attach(DrawingView* Robot, ChoicePicture* Pic_Choix);
    void setDynamicCursor(bool on) { dynamicCursor_ = on; }
    void setDescriptorDir(const QString& folder) { descriptorDir_ = folder; }
    // The language whose own picture of choices ("wings_fr.png") is shown when it exists.
    void setPictureLanguage(const QString& language) { pictureLanguage_ = language; }

    // True from a taken click on the drawing until its question is shown, nothing is found,
    // or the identification view is switched on (the host clears it then).
    bool QuestionBusy = false;
    // Pointer state of the drawing.
    int ZoneX = 0, ZoneY = 0;
    int PressPixelX = 0, PressPixelY = 0;
    int PressedButton = 0;

    void Barre_Deter_ButtonClick(int entry, const QString& tag);
    // Entry 1 confirms, entry 5 skips, any other abandons.
    void Barre_Question_ButtonClick(int entry);
    // Enter in the number field of a measured question: the one state whose range holds the
    // value is framed and confirmed; a value no range holds is refused with a message.
    void answerMeasure(const QString& typed);
    void Robot_MouseDown(Qt::MouseButton button, QPointF position);
    void Robot_MouseMove(QPointF position);
    void Robot_Click();
    // Loads and shows the picture of choices of the current question; message 1077 and
    // false when it cannot be read (the caller closes the question).
    bool ShowQuestion(const QString& picture);
    // The "Search" button: Maitre_Discriminant and the question it proposes.
    void Maitre_Discriminant();
    // The "Contra" command for the species on a line of the list (-1: none selected).
    void showContradictions(int selectedLine);
    // Drops the contradiction layers and icons (confirmation, results view, "New"); true
    // when there were some.
    bool dropContradictions();

    // The question at a point of the drawing (hover and click), as Cherche_Objet finds it.
    ObjectHit Cherche_Objet(int zoneX, int zoneY, int pixelX, int pixelY) const;
    const ZoneFinder& zoneFinder() const { return finder_; }
    // Loads refreshed drawing layers into the layer stack.
    engine::LayerLoader layerLoader();

signals:
    // A refresh could not load a drawing layer: the program must end.
    void fatal();

private:
    QString text(int key) const;
    void openProposal();
    bool confirm();
    void leaveQuestion();
    void showQuestionToolbar(bool skipVisible);
    bool showStateList();
    void setCharacterToolbarVisible(bool visible);

    engine::Engine& engine_;
    LayerStack& layers_;
    CharacterToolbars& toolbars_;
    QuestionHost& host_;
    platform::Dialogs& dialogs_;
    engine::TextLookup texts_;
    QString descriptorDir_;
    QString pictureLanguage_;
    ZoneFinder finder_;
    QPointer<DrawingView> robot_;
    QPointer<ChoicePicture> choices_;
    QPointer<StateList> stateList_;
    bool dynamicCursor_ = false;
    bool contradictionsShown_ = false;
};

}  // namespace questions
