#pragma once

#include "engine/engine.h"
#include "kb/model.h"
#include "platform/dialogs.h"
#include "questions/charactertoolbars.h"
#include "questions/choicepicture.h"
#include "questions/drawingview.h"
#include "questions/layerstack.h"
#include "questions/questioncontroller.h"
#include "questions/questionhost.h"

#include <QToolBar>
#include <QWidget>
#include <functional>

// The panes of the main window that the question interface works in, switched the way the
// main window switches them, with the calls recorded.
class TestWindow : public QWidget, public questions::QuestionHost {
public:
    TestWindow(engine::Engine& engine, kb::Model& model, platform::Dialogs& dialogs,
               const QString& dataDir)
        : Robot(new questions::DrawingView(layers, this)),
          Pic_Choix(new questions::ChoicePicture(engine.question(),
                                                 questions::ChoicePicture::stateTips(model), this)),
          Barre_Deter(new QToolBar(this)),
          Barre_Question(new QToolBar(this)),
          toolbars(model, dataDir),
          controller(
              engine, layers, toolbars, *this, dialogs,
              [](int k) { return std::optional<QString>(QStringLiteral("T%1").arg(k)); }, dataDir) {
        resize(400, 300);
        Robot->setGeometry(100, 0, 240, 180);
        Pic_Choix->setGeometry(100, 0, 240, 180);
        Pic_Choix->hide();
        Barre_Deter->setOrientation(Qt::Vertical);
        Barre_Question->setOrientation(Qt::Vertical);
        Barre_Question->hide();
        loaded = toolbars.Charge_Barre_Deter(Barre_Deter) &&
                 toolbars.Charge_Barre_Question(Barre_Question);
        Barre_Deter->setGeometry(0, 0, Barre_Deter->width(), 300);
        Barre_Question->setGeometry(0, 0, Barre_Question->width(), 300);
        layers.resize(model.DrawingCount);
        engine.Actualise_Identification(controller.layerLoader());
        controller.attach(Robot, Pic_Choix);
    }

    questions::ViewMode viewMode() const override { return ViewMode; }
    void setViewMode(questions::ViewMode mode) override { ViewMode = mode; }
    void showQuestionView() override {
        ++questionViews;
        Robot->hide();
        Pic_Choix->show();
        ViewMode = questions::ViewMode::Question;
    }
    void showIdentificationView() override {
        Pic_Choix->hide();
        Barre_Question->hide();
        Barre_Deter->show();
        Robot->show();
        ViewMode = questions::ViewMode::Identification;
        controller.QuestionBusy = false;
    }
    void showResultsView() override {
        ViewMode = questions::ViewMode::Results;
        controller.dropContradictions();
    }
    bool refreshShown(const engine::RefreshResult& result) override {
        ++refreshes;
        Robot->update();
        return !result.fatalPath;
    }
    void setStatusText(const QString& text) override { status = text; }
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
    void pendingEvents() override {
        if (onPendingEvents) onPendingEvents();
    }

    questions::LayerStack layers;
    questions::DrawingView* Robot;
    questions::ChoicePicture* Pic_Choix;
    QToolBar* Barre_Deter;
    QToolBar* Barre_Question;
    questions::CharacterToolbars toolbars;
    questions::QuestionController controller;
    bool loaded = false;
    questions::ViewMode ViewMode = questions::ViewMode::Identification;
    int questionViews = 0;
    int refreshes = 0;
    int busyDepth = 0;
    QString status;
    std::function<void()> onPendingEvents;
};
