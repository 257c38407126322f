#include "questions/questioncontroller.h"

#include "engine/measureanswer.h"
#include "engine/tickedanswer.h"
#include "kb/basetexts.h"
#include "kb/model.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/plaintext.h"
#include "platform/textids.h"
#include "questions/charactertoolbars.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/layerstack.h"
#include "questions/questionhost.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QToolBar>
#include <cmath>

namespace questions {

namespace {

// The hourglass for the length of a scope.
class Busy {
public:
    explicit Busy(QuestionHost& host) : host_(host) { host_.setBusy(true); }
    ~Busy() { host_.setBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    QuestionHost& host_;
};

const QString SearchTag = QStringLiteral("Search");
const QString ResultsTag = QStringLiteral("Results");

}  // namespace

QuestionController::QuestionController(engine::Engine& engine, LayerStack& layers,
                                       CharacterToolbars& toolbars, QuestionHost& host,
                                       platform::Dialogs& dialogs, engine::TextLookup texts,
                                       QString descriptorDir, QObject* parent)
    : QObject(parent),
      engine_(engine),
      layers_(layers),
      toolbars_(toolbars),
      host_(host),
      dialogs_(dialogs),
      texts_(std::move(texts)),
      descriptorDir_(std::move(descriptorDir)),
      finder_(ZoneFinder::fromModel(engine.model(), engine.tables())) {
    connect(&toolbars_, &CharacterToolbars::deterClicked, this,
            &QuestionController::Barre_Deter_ButtonClick);
    connect(&toolbars_, &CharacterToolbars::questionClicked, this,
            &QuestionController::Barre_Question_ButtonClick);
}

void QuestionController::attach(DrawingView* Robot, ChoicePicture* Pic_Choix) {
    robot_ = Robot;
    choices_ = Pic_Choix;
    if (Robot) {
        connect(Robot, &DrawingView::pressed, this,
                [this](QPointF position, Qt::MouseButton button) {
                    Robot_MouseDown(button, position);
                });
        connect(Robot, &DrawingView::moved, this, &QuestionController::Robot_MouseMove);
        connect(Robot, &DrawingView::clicked, this, [this] { Robot_Click(); });
    }
    if (Pic_Choix) {
        // Enter and Escape on the picture are the confirm and abandon buttons.
        connect(Pic_Choix, &ChoicePicture::confirmRequested, this,
                [this] { Barre_Question_ButtonClick(1); });
        connect(Pic_Choix, &ChoicePicture::abandonRequested, this,
                [this] { Barre_Question_ButtonClick(3); });
        stateList_ = new StateList(Pic_Choix);
        stateList_->setFilterHint(text(TextId::StateListFilter));
        stateList_->hide();
        connect(stateList_, &StateList::confirmRequested, this,
                [this] { Barre_Question_ButtonClick(1); });
        connect(stateList_, &StateList::abandonRequested, this,
                [this] { Barre_Question_ButtonClick(3); });
    }
}

QString QuestionController::text(int key) const {
    const auto t = texts_ ? texts_(key) : std::nullopt;
    return t ? *t : QString::number(key);
}

engine::LayerLoader QuestionController::layerLoader() {
    return [this](int layer, const QString& path) { return layers_.load(layer, path); };
}

void QuestionController::setCharacterToolbarVisible(bool visible) {
    if (QToolBar* bar = toolbars_.Barre_Deter()) bar->setVisible(visible);
}

void QuestionController::showQuestionToolbar(bool skipVisible) {
    toolbars_.setSkipButtonVisible(skipVisible);
    if (QToolBar* bar = toolbars_.Barre_Question()) bar->show();
}

// Fills and shows the list of states over the picture of choices when the question is asked
// as one, at the size the picture now has; otherwise the list is hidden.
bool QuestionController::showStateList() {
    if (!choices_ || !stateList_) return false;
    const engine::CurrentQuestion& q = engine_.question();
    if (!StateList::wanted(q.ObjectStateCount, q.ObjectRows, q.ObjectColumns, choices_->size(),
                           !q.ObjectPicture.isEmpty())) {
        stateList_->hide();
        return false;
    }
    const engine::KeyTables& tables = engine_.tables();
    QStringList texts;
    for (int k = 0; k < q.ObjectStateCount; ++k) {
        const int state = q.ObjectFirstState + k;
        QString t = tables.stateTexts.value(state);
        if (t.isEmpty()) t = tables.codeOfState(state).value_or(QString::number(k + 1));
        texts << t;
    }
    stateList_->setStates(texts, engine::chosenCells(engine_.state()));
    stateList_->setGeometry(choices_->rect());
    stateList_->show();
    stateList_->raise();
    stateList_->filterField()->setFocus();
    return true;
}

bool QuestionController::ShowQuestion(const QString& picture) {
    if (stateList_) stateList_->hide();
    // A question without a picture is asked as a list of its states.
    if (picture.isEmpty() && choices_ && stateList_) {
        host_.showQuestionView();
        showStateList();
        host_.setStatusText(engine_.question().ObjectTipText);
        QuestionBusy = false;
        return true;
    }
    bool loaded = false;
    {
        Busy busy(host_);
        if (robot_) robot_->setCursor(Qt::WaitCursor);
        QString path = descriptorDir_ + picture;
        // A picture drawn in the interface's language stands in for the base's own.
        if (!pictureLanguage_.isEmpty()) {
            const QString local =
                descriptorDir_ + kb::BaseTexts::languageFileName(picture, pictureLanguage_);
            if (platform::staysInside(descriptorDir_, local) &&
                QFileInfo(platform::toLocalPath(local)).isFile())
                path = local;
        }
        loaded =
            choices_ && platform::staysInside(descriptorDir_, path) && choices_->loadPicture(path);
        if (robot_) robot_->unsetCursor();
    }
    // Without its picture a question cannot be answered: the message says so and the caller
    // closes the question, so no confirm button is left beside the drawing.
    if (!loaded) {
        dialogs_.show(text(TextId::DrawingUnavailable), text(TextId::AppTitle));
        QuestionBusy = false;
        return false;
    }
    host_.showQuestionView();
    showStateList();
    host_.setStatusText(engine_.question().ObjectTipText);
    QuestionBusy = false;
    return true;
}

void QuestionController::Barre_Deter_ButtonClick(int entry, const QString& tag) {
    Q_UNUSED(entry);
    // An object key wins over the special tags.
    if (engine_.openQuestion(tag)) {
        {
            Busy busy(host_);
            setCharacterToolbarVisible(false);
            host_.setViewMode(ViewMode::Question);
        }
        if (!ShowQuestion(engine_.question().ObjectPicture)) return leaveQuestion();
        host_.setStatusText(engine_.question().ObjectTipText);
        showQuestionToolbar(false);
    } else if (tag == SearchTag) {
        Maitre_Discriminant();
    } else if (tag == ResultsTag) {
        host_.showResultsView();
    }
}

void QuestionController::openProposal() {
    host_.setStatusText(engine_.question().ObjectTipText);
    host_.setViewMode(ViewMode::Question);
    if (!ShowQuestion(engine_.question().ObjectPicture)) return leaveQuestion();
    showQuestionToolbar(true);
}

void QuestionController::Maitre_Discriminant() {
    if (engine_.state().TopSpeciesCount == 1) {
        engine_.Maitre_Discriminant();  // says there is only one species
        return;
    }
    engine::SearchOutcome outcome;
    {
        Busy busy(host_);
        setCharacterToolbarVisible(false);
        outcome = engine_.Maitre_Discriminant();
    }
    switch (outcome) {
        case engine::SearchOutcome::QuestionOpened:
            openProposal();
            break;
        // Nothing was proposed: the drawing keeps its toolbar, no question toolbar.
        case engine::SearchOutcome::NothingLeft:
        case engine::SearchOutcome::OnlyOneSpecies:
            setCharacterToolbarVisible(true);
            break;
        case engine::SearchOutcome::Declined:
            leaveQuestion();
            break;
    }
}

void QuestionController::Barre_Question_ButtonClick(int entry) {
    if (entry == 5) {
        switch (engine_.skipQuestion()) {
            case engine::SearchOutcome::QuestionOpened:
                openProposal();
                break;
            case engine::SearchOutcome::Declined:
                leaveQuestion();
                break;
            default:
                break;  // message 1075 shown; the question stays open
        }
        return;
    }
    if (entry == 1 && !confirm()) return;
    leaveQuestion();
}

void QuestionController::answerMeasure(const QString& typed) {
    using Outcome = engine::MeasureChoice::Outcome;
    const QString key = engine_.question().CurrentObject;
    const engine::MeasureChoice c = engine::chooseMeasure(engine_.tables(), key, typed);
    if (c.outcome == Outcome::NotANumber || c.outcome == Outcome::OutOfRange) {
        dialogs_.show(text(c.outcome == Outcome::NotANumber ? TextId::MeasureNotANumber
                                                            : TextId::MeasureOutOfRange)
                          .arg(typed.trimmed()),
                      QString(), platform::Dialogs::Icon::Information);
        return;
    }
    if (c.outcome != Outcome::Chosen) return;
    const int cell = c.state - engine_.question().ObjectFirstState;
    if (choices_) choices_->choose(cell);
    engine_.question().SelectedChoice = cell;
    engine_.state().typedAnswers.insert(engine::KeyTables::fold(key), {c.state, c.text, c.value});
    Barre_Question_ButtonClick(1);
}

bool QuestionController::confirm() {
    Busy busy(host_);
    if (choices_) choices_->setCursor(Qt::WaitCursor);
    if (stateList_ && !stateList_->isHidden())
        engine_.Valid_Etats(stateList_->tickedCells());
    else
        engine_.Valid_Descripteur();
    engine_.rememberDescription();
    const engine::RefreshResult refresh = engine_.Actualise_Identification(layerLoader());
    if (!host_.refreshShown(refresh)) {
        emit fatal();
        return false;
    }
    if (engine_.state().ExtraLayerCount != 0) dropContradictions();
    if (choices_) choices_->setCursor(Qt::PointingHandCursor);
    return true;
}

void QuestionController::leaveQuestion() {
    host_.setStatusText(QString());
    host_.showIdentificationView();
}

ObjectHit QuestionController::Cherche_Objet(int zoneX, int zoneY, int pixelX, int pixelY) const {
    const QImage displayed = robot_ ? robot_->image() : QImage();
    // The pointer is in window units; the drawing is kept in the screen's pixels.
    const qreal ratio = displayed.isNull() ? 1.0 : displayed.devicePixelRatio();
    return finder_.Cherche_Objet(zoneX, zoneY, int(std::floor(pixelX * ratio)),
                                 int(std::floor(pixelY * ratio)), engine_.state(), displayed);
}

void QuestionController::Robot_MouseDown(Qt::MouseButton button, QPointF position) {
    if (button != Qt::LeftButton || !robot_) return;
    const QPoint pixel = ZoneFinder::pixelPosition(position);
    PressPixelX = pixel.x();
    PressPixelY = pixel.y();
    PressedButton = 1;
    const QPoint zone = ZoneFinder::zonePosition(position, robot_->size());
    ZoneX = zone.x();
    ZoneY = zone.y();
}

void QuestionController::Robot_MouseMove(QPointF position) {
    if (QuestionBusy || !dynamicCursor_ || !robot_) return;
    const QPoint zone = ZoneFinder::zonePosition(position, robot_->size());
    ZoneX = zone.x();
    ZoneY = zone.y();
    const QPoint pixel = ZoneFinder::pixelPosition(position);
    const ObjectHit hit = Cherche_Objet(ZoneX, ZoneY, pixel.x(), pixel.y());
    if (hit.found) {
        robot_->setCursor(Qt::PointingHandCursor);
        robot_->setToolTip(
            platform::plainToolTip(engine_.tables().objects[size_t(hit.object)].tipText));
    } else {
        robot_->unsetCursor();
        robot_->setToolTip(QString());
    }
}

void QuestionController::Robot_Click() {
    if (PressedButton != 1) {
        PressedButton = -1;
        return;
    }
    if (QuestionBusy) return;
    QuestionBusy = true;
    const ObjectHit hit = Cherche_Objet(ZoneX, ZoneY, PressPixelX, PressPixelY);
    if (hit.colourStage) engine_.question().CurrentObject = hit.key;
    if (!hit.found) {
        QuestionBusy = false;
        PressedButton = -1;
        return;
    }
    // The question view is taken only once there is a question to show, so that a click on an empty
    // part does not leave the window laid out for a question.
    host_.setViewMode(ViewMode::Question);
    if (robot_) robot_->setCursor(Qt::WaitCursor);
    host_.pendingEvents();
    engine_.openQuestion(hit.key);
    setCharacterToolbarVisible(false);
    host_.pendingEvents();
    const bool shown = ShowQuestion(engine_.question().ObjectPicture);
    if (robot_) robot_->unsetCursor();
    if (hit.colourStage) PressedButton = -1;
    if (!shown) return leaveQuestion();
    showQuestionToolbar(false);
}

void QuestionController::showContradictions(int selectedLine) {
    // An earlier display still shown is dropped first, so none of its layers is painted
    // again under the new one.
    if (contradictionsShown_ || engine_.state().ExtraLayerCount != 0) {
        engine_.dropOverlays();
        layers_.truncate(engine_.model().DrawingCount);
    }
    const engine::ContradictionDisplay display =
        engine_.Affiche_Contradictions(selectedLine, layerLoader());
    toolbars_.showContradictionIcons(display.toolbar);
    contradictionsShown_ = true;
    if (robot_) robot_->update();
    QuestionBusy = false;
    host_.showIdentificationView();
}

bool QuestionController::dropContradictions() {
    const bool shown = contradictionsShown_ || engine_.state().ExtraLayerCount != 0 ||
                       layers_.size() > engine_.model().DrawingCount;
    engine_.dropOverlays();
    layers_.truncate(engine_.model().DrawingCount);
    if (!shown) return false;
    toolbars_.Recharge_Barre();
    contradictionsShown_ = false;
    if (robot_) robot_->update();
    return true;
}

}  // namespace questions
