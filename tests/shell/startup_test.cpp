#include "shell/startup.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogs.h"
#include "support/testkb.h"

#include "documents/documentview.h"
#include "engine/engine.h"
#include "engine/identificationfile.h"
#include "platform/settings.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QTemporaryDir>

using Answer = platform::Dialogs::Answer;
using Icon = platform::Dialogs::Icon;

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test has its own runtime folder, so tests run side by side never see each
        // other's instance lock.
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        base.write();
        settings = std::make_unique<platform::Settings>(dir.filePath("vireka.ini"));
    }
    void install() { base.install(*settings); }
    shell::StartResult start(const QStringList& args = {"vireka"}) {
        return shell::startProgram(args, *settings, &dialogs);
    }

    QTemporaryDir runtime;
    testing_support::TestKb base;
    QTemporaryDir dir;
    std::unique_ptr<platform::Settings> settings;
    testing_support::ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(StartupTest, AnInstallationThatWasNeverMadeStops) {
    settings->storeLanguage(0);
    const auto r = start();
    EXPECT_FALSE(r.session);
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text,
              QString("Vireka is not yet installed. Please run vireka-setup first."));
    EXPECT_EQ(dialogs.asked[0].icon, Icon::Critical);
    EXPECT_TRUE(dialogs.asked[0].title.startsWith("Vireka V.1.0"));
}

TEST_F(StartupTest, ADatabaseThatCannotBeOpenedStopsWithItsPathAndNumber) {
    install();
    base.writeFile("kb.sqlite", QByteArray(3000, 'q'));
    const auto r = start();
    EXPECT_FALSE(r.session);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, base.databasePath() + ", Erreur N° 26");
    EXPECT_EQ(dialogs.asked[0].title, QString());
    EXPECT_EQ(dialogs.asked[0].icon, Icon::None);
}

TEST_F(StartupTest, DataFileCheckpoints) {
    install();
    QFile::remove(base.dataDir() + "POIDS.DAT");
    start();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, base.dataDir() + "POIDS.DAT");

    base.write();
    base.writeFile("MATRICE.DAT", QByteArray(3, '\0'));
    dialogs.asked.clear();
    start();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text,
              QString("Error during loading the file Matrice.dat, please re-install"));
    EXPECT_TRUE(dialogs.asked[0].title.startsWith("Vireka V.1.0"));
}

// A fault of the base's tables is said in the message itself, after the path of the
// checkpoint that stops: the reader is told which field of which row to mend.
TEST_F(StartupTest, AnEmptyFieldOfTheBaseIsNamedInTheMessage) {
    install();
    base.exec("UPDATE Objets_Fic SET Joker = NULL WHERE Objet = 'PATTE';");
    start();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith(base.dataDir() + "POIDS.DAT"));
    EXPECT_TRUE(dialogs.asked[0].text.contains("\"PATTE\" has no \"Joker\" value"))
        << dialogs.asked[0].text.toStdString();
}

TEST_F(StartupTest, ASecondCopyAnsweredNoEndsBeforeReadingAnything) {
    QLockFile other(shell::instanceLockPath());
    ASSERT_TRUE(other.tryLock(0));
    // Not installed: had the settings been read, the 1073 message would follow.
    dialogs.answers = {Answer::No};
    const auto r = start();
    EXPECT_FALSE(r.session);
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith("Be careful ! Vireka is currently running."));

    install();
    dialogs.asked.clear();
    dialogs.answers = {Answer::Yes};
    const auto yes = start();
    ASSERT_TRUE(yes.session);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].text,
              QString("Use the taskbar to change the session you are running"));
}

TEST_F(StartupTest, TheFileOnTheCommandLineIsOpenedAsGiven) {
    install();
    const QString path = dir.filePath("With Space/Specimen.QNT");
    QDir().mkpath(dir.filePath("With Space"));
    ASSERT_TRUE(engine::IdentificationFile::write(path, {1, 0, 0, 0, 1}, {-1, 0}, nullptr));
    const auto r = start({"vireka", "\"" + path + "\""});
    ASSERT_TRUE(r.session);
    shell::frmMain& w = r.session->window();
    EXPECT_TRUE(w.windowTitle().endsWith("[" + path + "]"));
    EXPECT_FALSE(w.menuAction("mnuFileSave")->isEnabled());
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(StartupTest, AFreshStartHasNothingToSave) {
    install();
    const auto r = start();
    ASSERT_TRUE(r.session);
    shell::frmMain& w = r.session->window();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.ViewMode, questions::ViewMode::Identification);
    EXPECT_FALSE(w.menuAction("mnuFileSave")->isEnabled());
    EXPECT_FALSE(w.menuAction("mnuFileSaveAs")->isEnabled());
    EXPECT_FALSE(w.toolbarEntry(3)->isEnabled());
    EXPECT_TRUE(w.toolbarEntry(5)->isEnabled()) << "Copy is offered with the drawing on screen";
}

TEST(CommandLine, QuotesAreDroppedAndAPathWithoutThemIsKept) {
    EXPECT_EQ(shell::commandLineFile({"vireka", "\"/tmp/My File.qnt\""}),
              QString("/tmp/My File.qnt"));
    EXPECT_EQ(shell::commandLineFile({"vireka", "/tmp/A.qnt"}), QString("/tmp/A.qnt"));
    EXPECT_EQ(shell::commandLineFile({"vireka"}), QString());
}

// The browser engine ends the whole process when its helper program is missing; the program
// finds out first, says why, and opens without documents.
TEST_F(StartupTest, WithoutTheDocumentEngineTheProgramOpensWithoutDocumentsAndSaysWhy) {
    install();
    const QByteArray old = qgetenv("QTWEBENGINEPROCESS_PATH");
    qputenv("QTWEBENGINEPROCESS_PATH", runtime.filePath("QtWebEngineProcess").toUtf8());
    auto r = start();
    qputenv("QTWEBENGINEPROCESS_PATH", old);
    if (old.isEmpty()) qunsetenv("QTWEBENGINEPROCESS_PATH");

    ASSERT_TRUE(r.session);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].icon, Icon::Warning);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith("The document viewer cannot start: its helper"));
    EXPECT_TRUE(dialogs.asked[0].text.contains(runtime.filePath("QtWebEngineProcess")));

    shell::frmMain& w = r.session->window();
    auto* documents = w.findChild<documents::DocumentView*>("WebTexte");
    ASSERT_TRUE(documents);
    EXPECT_FALSE(documents->available());
    auto* reason = documents->findChild<QLabel*>("DocumentsUnavailable");
    ASSERT_TRUE(reason);
    EXPECT_EQ(reason->text(), dialogs.asked[0].text);
    // Every command of the view is harmless without its engine.
    documents->Navigate2(base.dataDir() + "doc.htm", 0);
    EXPECT_EQ(documents->LocationURL(), QString());
    EXPECT_FALSE(documents->canGoBack());
    EXPECT_FALSE(documents->canGoForward());
}
