#pragma once

#include "engine/engine.h"
#include "kb/loader.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "questions/questioncontroller.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace testing_support {

// The program's main window on a compiled base, installed as vireka-setup installs it.
class ProgramWindow {
public:
    explicit ProgramWindow(const QString& base) : settings(home.filePath("vireka.ini")) {
        platform::Settings::Installation i;
        i.DataDir = base + "/";
        i.Base = "vireka.db";
        i.DescriptorDir = base + "/choices/";
        i.DrawingDir = base + "/drawings/";
        i.DocAddress = base + "/documents/";
        i.ProgramDir = base + "/";
        settings.storeInstallation(i);
        settings.storeLanguage(0);
        values = *settings.read();
        EXPECT_TRUE(strings.loadBuiltIn());
        kb::LoadOptions options;
        options.dataDir = values.DataDir;
        options.databaseName = "vireka.db";
        options.databasePath = values.DatabasePath;
        options.text = [this](int k) { return strings.text(k); };
        EXPECT_TRUE(kb::loadKnowledgeBase(model, options).ok());
        engine = std::make_unique<engine::Engine>(
            model, engine::KeyTables::fromModel(model), dialogs,
            [this](int k) { return strings.text(k); },
            engine::EngineSettings{values.DataDir, values.DrawingDir, values.ListThreshold});
        window = std::make_unique<shell::frmMain>(shell::ProgramContext{
            model, *engine, strings, settings, dialogs, values, 0, QString(), QString()});
        EXPECT_TRUE(window->load());
        window->resize(1024, 768);
        window->show();
        window->Dispose_Fenetre();
    }

    // Opens a question from its toolbar button and types the value, then Enter.
    void typeValue(const QString& question, const QString& value) {
        window->questions().Barre_Deter_ButtonClick(0, question);
        auto* field = window->findChild<QLineEdit*>("Mesure_Valeur");
        ASSERT_NE(field, nullptr);
        ASSERT_TRUE(field->isVisible());
        // Every opening starts empty: a value typed the last time would be typed onto.
        EXPECT_EQ(field->text(), QString());
        field->setFocus();
        QTest::keyClicks(field, value);
        QTest::keyClick(field, Qt::Key_Return);
    }

    // The species list as the window holds it, then the legend.
    QStringList shown() const {
        QStringList out;
        const auto* list = window->findChild<QListView*>("Liste_Esp");
        for (int row = 0; list && row < list->model()->rowCount(); ++row)
            out << list->model()->index(row, 0).data().toString();
        out << engine->legend();
        return out;
    }

    QTemporaryDir home;
    platform::Settings settings;
    platform::Settings::Values values;
    platform::StringTable strings;
    ScriptedDialogs dialogs;
    kb::Model model;
    std::unique_ptr<engine::Engine> engine;
    std::unique_ptr<shell::frmMain> window;
};

}  // namespace testing_support
