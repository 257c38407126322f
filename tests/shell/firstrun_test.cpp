#include "shell/firstrun.h"
#include "shell/startup.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include "platform/settings.h"
#include "platform/stringtable.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using Answer = platform::Dialogs::Answer;
using Icon = platform::Dialogs::Icon;
using shell::FirstRun;

namespace {

// A program installed without settings: its shared data folder holds demo/ (the test base)
// and help/, as a package lays them out.
class FirstRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        base.write();
        ASSERT_TRUE(strings.loadBuiltIn());
        ASSERT_TRUE(QDir(installed.path()).mkpath("help"));
        settings = std::make_unique<platform::Settings>(settingsDir.filePath("vireka.ini"));
    }
    void installDemo() { ASSERT_TRUE(QFile::link(QDir::cleanPath(base.dataDir()), demoDir())); }
    QString demoDir() const { return installed.filePath("demo"); }
    FirstRun offer(const QString& dir) {
        return shell::offerInstalledDemo(
            *settings, dialogs, [this](int k) { return strings.textOr(k, QString()); }, dir);
    }

    QTemporaryDir runtime;
    testing_support::TestKb base;
    QTemporaryDir installed;
    QTemporaryDir settingsDir;
    std::unique_ptr<platform::Settings> settings;
    platform::StringTable strings;
    testing_support::ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(FirstRunTest, NothingIsOfferedWithoutAnInstalledDemo) {
    EXPECT_EQ(offer(QString()), FirstRun::NotOffered);
    EXPECT_EQ(offer(installed.path()), FirstRun::NotOffered);  // help/ but no demo/
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_FALSE(settings->isInstalled());
}

TEST_F(FirstRunTest, DecliningWritesNothing) {
    installDemo();
    dialogs.answers = {Answer::No};
    EXPECT_EQ(offer(installed.path()), FirstRun::Declined);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].icon, Icon::Question);
    EXPECT_EQ(dialogs.asked[0].buttons, platform::Dialogs::Buttons::YesNo);
    EXPECT_TRUE(dialogs.asked[0].text.contains(demoDir())) << dialogs.asked[0].text.toStdString();
    EXPECT_FALSE(settings->isInstalled());
    EXPECT_FALSE(QFile::exists(settings->fileName()));
}

TEST_F(FirstRunTest, AcceptingWritesTheSettingsTheInstallerWouldAndTheProgramStarts) {
    installDemo();
    dialogs.answers = {Answer::Yes};
    ASSERT_EQ(offer(installed.path()), FirstRun::Installed);
    ASSERT_EQ(dialogs.asked.size(), 1u);

    // Read back from the file on disk, not from the object that wrote it.
    platform::Settings reread(settings->fileName());
    const auto values = reread.read();
    ASSERT_TRUE(values);
    EXPECT_EQ(values->DataDir, demoDir() + "/");
    EXPECT_EQ(values->DatabasePath, demoDir() + "/kb.sqlite");
    EXPECT_EQ(values->DrawingDir, demoDir() + "/");
    EXPECT_EQ(values->DescriptorDir, demoDir() + "/");
    EXPECT_EQ(values->DocSource, "hd");
    // The program folder is the shared data folder, where Help finds help/index.html.
    EXPECT_EQ(values->ProgramDir, QDir::cleanPath(installed.path()) + "/");

    dialogs.asked.clear();
    const shell::StartResult started = shell::startProgram({"vireka"}, reread, &dialogs);
    EXPECT_TRUE(started.session) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(started.exitCode, 0);
}

TEST_F(FirstRunTest, ADemoThatCannotBeReadIsReportedAndNothingIsWritten) {
    installDemo();
    base.writeFile("kb.sqlite", QByteArray(4096, 'x'));
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(offer(installed.path()), FirstRun::Failed);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].icon, Icon::Critical);
    EXPECT_TRUE(dialogs.asked[1].text.startsWith(
        QString("The demo knowledge base in %1 cannot be used: ").arg(demoDir())))
        << dialogs.asked[1].text.toStdString();
    EXPECT_TRUE(dialogs.asked[1].text.contains("SQLite")) << dialogs.asked[1].text.toStdString();
    EXPECT_FALSE(settings->isInstalled());
}

TEST_F(FirstRunTest, SettingsThatCannotBeWrittenAreNotReportedAsDone) {
    installDemo();
    // The settings file's place is taken by a folder: nothing can be written there.
    ASSERT_TRUE(QDir(settingsDir.path()).mkpath("blocked.ini"));
    settings = std::make_unique<platform::Settings>(settingsDir.filePath("blocked.ini"));
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(offer(installed.path()), FirstRun::Failed);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].text,
              QString("The settings could not be written to %1.").arg(settings->fileName()));
}

TEST_F(FirstRunTest, TheQuestionIsAskedInTheInterfaceLanguage) {
    installDemo();
    strings.setLanguageCode(2);
    dialogs.answers = {Answer::No};
    offer(installed.path());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith("Vireka n'a pas encore été configuré"));
    EXPECT_TRUE(dialogs.asked[0].text.contains(demoDir()));
}
