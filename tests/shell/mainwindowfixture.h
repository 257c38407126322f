#pragma once

#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/loader.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

// The keys of the main toolbar's buttons that are shown, in toolbar order.
inline QStringList visibleToolbarKeys(shell::frmMain& w, int first = 1) {
    QStringList keys;
    for (int n = first; n <= 22; ++n) {
        QAction* a = w.toolbarEntry(n);
        if (a->isVisible() && !a->isSeparator()) keys << a->data().toString();
    }
    return keys;
}

// Waits until the timer that keeps Back and Forward in step has run once more: what it
// offers is then what it decided. False when it never runs.
inline bool documentStepsChecked(shell::frmMain& w) {
    auto* timer = w.findChild<QTimer*>(QStringLiteral("documentStepTimer"));
    if (!timer) return false;
    QSignalSpy ticks(timer, &QTimer::timeout);
    return QTest::qWaitFor([&] { return ticks.count() > 0; }, 5000);
}

// The main window on a real knowledge base written to a temporary folder, loaded as the
// program loads it, with scripted answers to its questions.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.write();
        base.writePictures();
    }

    shell::frmMain& open(int languageCode = 0) {
        settings = std::make_unique<platform::Settings>(settingsDir.filePath("vireka.ini"));
        base.install(*settings);
        values = *settings->read();
        EXPECT_TRUE(strings.loadBuiltIn());
        strings.setLanguageCode(languageCode);
        kb::LoadOptions options = base.options();
        options.databasePath = values.DatabasePath;
        options.text = [this](int k) { return strings.text(k); };
        EXPECT_TRUE(kb::loadKnowledgeBase(model, options).ok());
        engine = std::make_unique<engine::Engine>(
            model, engine::KeyTables::fromModel(model), dialogs,
            [this](int k) { return strings.text(k); },
            engine::EngineSettings{values.DataDir, values.DrawingDir, values.ListThreshold});
        window = std::make_unique<shell::frmMain>(
            shell::ProgramContext{model, *engine, strings, *settings, dialogs, values,
                                  std::int16_t(languageCode), QString(), QString()});
        EXPECT_TRUE(window->load());
        window->resize(1024, 768);
        window->show();
        window->Dispose_Fenetre();
        window->setCopyEnabled(true);
        return *window;
    }

    testing_support::TestKb base;
    QTemporaryDir settingsDir;
    std::unique_ptr<platform::Settings> settings;
    platform::Settings::Values values;
    platform::StringTable strings;
    testing_support::ScriptedDialogs dialogs;
    kb::Model model;
    std::unique_ptr<engine::Engine> engine;
    std::unique_ptr<shell::frmMain> window;
};
