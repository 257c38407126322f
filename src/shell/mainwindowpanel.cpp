// The main window's questions panel, the heading of the open question, Undo and Redo.
#include "shell/mainwindow.h"

#include "engine/engine.h"
#include "engine/questionlist.h"
#include "kb/model.h"
#include "platform/stringtable.h"
#include "platform/textids.h"
#include "questions/charactertoolbars.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/measurefield.h"
#include "questions/questioncontroller.h"
#include "questions/questionspanel.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

namespace shell {

namespace {

// Calls back on the events of a widget it watches, so the window can follow a pane's
// visibility and size without each pane knowing about the others.
class EventHook : public QObject {
public:
    EventHook(QObject* watched, std::function<void(QEvent::Type)> call)
        : QObject(watched), call_(std::move(call)) {
        setObjectName(QString::fromLatin1(frmMain::EventHookName));
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        call_(event->type());
        return false;
    }

private:
    std::function<void(QEvent::Type)> call_;
};

}  // namespace

bool frmMain::drawingLess() const {
    return ctx_.model.DrawingCount < 1;
}

void frmMain::buildQuestionsPanel() {
    Panel_Questions = new questions::QuestionsPanel(this);
    Panel_Questions->setObjectName(QStringLiteral("Panel_Questions"));
    Dock_Questions = new QDockWidget(this);
    Dock_Questions->setObjectName(QStringLiteral("Dock_Questions"));
    Dock_Questions->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    Dock_Questions->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    if (drawingLess()) {
        // The list takes the drawing's place, full size, and follows its visibility.
        Panel_Questions->setParent(client_);
        Panel_Questions->hide();
        new EventHook(Robot, [this](QEvent::Type type) {
            if (type == QEvent::Show) Panel_Questions->show();
            if (type == QEvent::Hide) Panel_Questions->hide();
        });
        Dock_Questions->hide();
    } else {
        Dock_Questions->setWidget(Panel_Questions);
        addDockWidget(Qt::LeftDockWidgetArea, Dock_Questions);
        // Wide enough for a question and its answer side by side.
        resizeDocks({Dock_Questions}, {std::max(300, Panel_Questions->sizeHint().width())},
                    Qt::Horizontal);
    }
    Titre_Question = new QLabel(client_);
    Titre_Question->setObjectName(QStringLiteral("Titre_Question"));
    Titre_Question->setTextFormat(Qt::PlainText);
    Titre_Question->setWordWrap(true);
    Titre_Question->setAlignment(Qt::AlignCenter);
    Titre_Question->setMargin(4);
    Titre_Question->hide();
    new EventHook(Pic_Choix, [this](QEvent::Type type) {
        if (type == QEvent::Show) {
            Titre_Question->show();
            Titre_Question->raise();
        }
        if (type == QEvent::Hide) {
            Titre_Question->hide();
            // The next opening starts with an empty field, as the web player's does.
            if (Mesure_Champ) {
                Mesure_Champ->hide();
                Mesure_Champ->setProperty("question", QString());
            }
        }
    });
    Mesure_Champ = new questions::MeasureField(
        ctx_.strings.textOr(TextId::MeasurePrompt, QString()),
        ctx_.strings.textOr(TextId::OptionsOk, QStringLiteral("OK")), client_);
    Mesure_Champ->hide();
    connect(Mesure_Champ, &questions::MeasureField::submitted, questions_,
            &questions::QuestionController::answerMeasure);
    connect(Mesure_Champ, &questions::MeasureField::abandonRequested, questions_,
            [this] { questions_->Barre_Question_ButtonClick(3); });
    // The panes are laid out again whenever the dock takes or gives back room.
    new EventHook(client_, [this](QEvent::Type type) {
        if (type == QEvent::Resize && isVisible()) {
            layout_ = shell::Dispose_Fenetre(layoutInput());
            applyLayout(layout_);
        }
    });
    connect(Panel_Questions, &questions::QuestionsPanel::questionActivated, this,
            &frmMain::openFromPanel);
    connect(Panel_Questions, &questions::QuestionsPanel::forgetRequested, this,
            &frmMain::forgetAnswer);
    connect(Dock_Questions, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        // Closed by its own button: the menu and the settings follow.
        if (visible || !Dock_Questions->isHidden() || !isVisible()) return;
        if (QAction* item = menuAction(QStringLiteral("mnuViewQuestions"))) item->setChecked(false);
        ctx_.settings.storeQuestionsPanelShown(false);
    });
    auto* filter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(filter, &QShortcut::activated, this, [this] {
        if (!Panel_Questions->isVisible()) setQuestionsPanelShown(true);
        Panel_Questions->filterField()->setFocus();
        Panel_Questions->filterField()->selectAll();
    });
}

void frmMain::setQuestionsPanelShown(bool shown) {
    if (QAction* item = menuAction(QStringLiteral("mnuViewQuestions"))) item->setChecked(shown);
    ctx_.settings.storeQuestionsPanelShown(shown);
    if (drawingLess()) return;  // the list is the drawing's place: always there
    Dock_Questions->setVisible(shown);
}

void frmMain::refreshQuestionsPanel() {
    if (!Panel_Questions) return;
    Panel_Questions->followAnswers(ctx_.engine.tables(), ctx_.engine.state());
    if (ViewMode == View::Question)
        Panel_Questions->selectQuestion(ctx_.engine.question().CurrentObject);
    updateHistoryActions();
}

void frmMain::updateHistoryActions() {
    if (QAction* undo = menuAction(QStringLiteral("mnuEditUndo")))
        undo->setEnabled(ctx_.engine.history().canUndo());
    if (QAction* redo = menuAction(QStringLiteral("mnuEditRedo")))
        redo->setEnabled(ctx_.engine.history().canRedo());
}

void frmMain::openFromPanel(const QString& key) {
    if (questions_->QuestionBusy) return;
    // From a document view the question opens over the identification view.
    if (ViewMode == View::Results || ViewMode == View::Species) showIdentificationView();
    questions_->Barre_Deter_ButtonClick(0, key);
}

void frmMain::forgetAnswer(const QString& key) {
    if (!ctx_.engine.forgetAnswer(key)) return;
    ctx_.engine.rememberDescription();
    rankAgain();
    Panel_Questions->selectQuestion(key);
}

// A description changed outside the answer path: ranked and shown as a confirmation shows it.
void frmMain::rankAgain() {
    setBusy(true);
    const auto refresh = ctx_.engine.Actualise_Identification(
        [this](int layer, const QString& path) { return loadLayer(layer, path); });
    if (ctx_.engine.state().ExtraLayerCount != 0) questions_->dropContradictions();
    showRefresh(refresh);
    setBusy(false);
}

void frmMain::stepDescription(bool back) {
    if (ViewMode == View::Question) {
        // The open question is abandoned: its picture would show an answer no longer given.
        setStatusText(QString());
        showIdentificationView();
    }
    if (back ? ctx_.engine.undo() : ctx_.engine.redo()) rankAgain();
}

void frmMain::placeQuestionHeading(const QRect& choices) {
    QFont f = font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.25);
    Titre_Question->setFont(f);
    Titre_Question->setText(ctx_.engine.question().ObjectTipText);
    const int height = std::min(choices.height() / 4,
                                Titre_Question->heightForWidth(std::max(1, choices.width())) + 4);
    Titre_Question->setGeometry(choices.x(), choices.y(), choices.width(), std::max(0, height));
    // A measured question takes its value in a field between the heading and the picture.
    const kb::Measure* measure = nullptr;
    if (Pic_Choix->isVisible())
        measure = ctx_.engine.tables().measures.of(ctx_.engine.question().CurrentObject);
    int field = 0;
    if (measure) {
        if (Mesure_Champ->property("question").toString() != ctx_.engine.question().CurrentObject)
            Mesure_Champ->setMeasure(*measure, ctx_.engine.question().ObjectTipText);
        Mesure_Champ->setProperty("question", ctx_.engine.question().CurrentObject);
        field = std::min(choices.height() / 4, Mesure_Champ->sizeHint().height());
        Mesure_Champ->setGeometry(choices.x(), choices.y() + std::max(0, height), choices.width(),
                                  field);
        Mesure_Champ->show();
        Mesure_Champ->raise();
    } else {
        Mesure_Champ->hide();
        Mesure_Champ->setProperty("question", QString());
    }
    Pic_Choix->setGeometry(choices.adjusted(0, std::max(0, height) + field, 0, 0));
}

// Smaller pictures first, then no separators, then no captions: the overflow arrow is the
// last resort.
void frmMain::fitCharacterToolbar() {
    const int bottom = client_->height() - (sbStatusBar->isHidden() ? 0 : sbStatusBar->height());
    toolbars_->fitHeight(std::max(0, bottom - Barre_Deter->y()));
}

}  // namespace shell
