#pragma once

#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <memory>

// A knowledge base written to a temporary folder and loaded as the program loads it, with
// the engine on it. Tests change `base` before calling load().
class QuestionsTest : public ::testing::Test {
protected:
    void load() {
        base.write();
        base.writePictures();
        const auto result = kb::loadKnowledgeBase(model, base.options());
        ASSERT_TRUE(result.ok()) << result.detail.toStdString();
        engine = std::make_unique<engine::Engine>(
            model, engine::KeyTables::fromModel(model), dialogs, [](int k) { return text(k); },
            engine::EngineSettings{base.dataDir(), base.dataDir(), -1});
        // The first refresh, with its layers, is left to the window.
        engine->Nettoye();
    }

    // Interface texts by number: "T<number>", so tests can tell the messages apart.
    static std::optional<QString> text(int k) { return QStringLiteral("T%1").arg(k); }

    void choose(int state) { engine->state().StateChoice[size_t(state)] = 1; }

    testing_support::TestKb base;
    kb::Model model;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<engine::Engine> engine;
};
