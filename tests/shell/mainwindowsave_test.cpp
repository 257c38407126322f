#include "mainwindowfixture.h"
#include "support/filebytes.h"

#include <QAction>
#include <QDir>
#include <QFile>

using Answer = platform::Dialogs::Answer;

using testing_support::bytesOf;

// A save that cannot be written must not trap the work: the name and the save commands stay
// as they were, and the next save asks where to write.
TEST_F(MainWindowTest, AFailedFirstSaveKeepsNoNameAndTheNextSaveAsksAgain) {
    shell::frmMain& w = open();
    engine->state().StateChoice[0] = 1;
    w.showRefresh(engine->Actualise_Identification());
    const QString caption = w.windowTitle();

    dialogs.fileNames = {settingsDir.filePath("removed/stick.qnt")};
    EXPECT_FALSE(w.dispatcher().Exec_Save());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_TRUE(dialogs.asked[0].text.startsWith("The identification could not be saved"));
    // The file is named once, followed by the reason alone.
    EXPECT_EQ(dialogs.asked[0].text.count(settingsDir.filePath("removed/stick.qnt")), 1)
        << dialogs.asked[0].text.toStdString();
    EXPECT_TRUE(dialogs.asked[0].text.endsWith(": No such file or directory"))
        << dialogs.asked[0].text.toStdString();
    EXPECT_TRUE(engine->state().DescriptionModified);
    EXPECT_TRUE(w.dispatcher().currentFile().isEmpty());
    EXPECT_EQ(w.windowTitle(), caption);
    EXPECT_FALSE(w.menuAction("mnuFileSave")->isEnabled());

    // Yes to the save question on quitting asks for a file, and the work is saved there.
    const QString good = settingsDir.filePath("specimen.qnt");
    dialogs.fileNames = {good};
    dialogs.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(dialogs.fileNames.empty());
    EXPECT_EQ(bytesOf(good).left(2), QByteArray::fromHex("0100"));
}

TEST_F(MainWindowTest, AFileThatCanNoLongerBeWrittenIsAskedForAgain) {
    shell::frmMain& w = open();
    engine->state().StateChoice[0] = 1;
    w.showRefresh(engine->Actualise_Identification());
    const QString first = settingsDir.filePath("first.qnt");
    dialogs.fileNames = {first};
    ASSERT_TRUE(w.dispatcher().Exec_Save());

    engine->state().StateChoice[1] = 1;
    w.showRefresh(engine->Actualise_Identification());
    ASSERT_TRUE(w.menuAction("mnuFileSave")->isEnabled());
    // The file's place is taken by a folder: it can no longer be written.
    ASSERT_TRUE(QFile::remove(first));
    ASSERT_TRUE(QDir(settingsDir.path()).mkdir("first.qnt"));
    EXPECT_FALSE(w.dispatcher().Exec_Save());
    EXPECT_TRUE(engine->state().DescriptionModified);
    EXPECT_EQ(w.dispatcher().currentFile(), first);
    EXPECT_TRUE(w.windowTitle().endsWith("[" + first + "]"));
    EXPECT_FALSE(w.menuAction("mnuFileSave")->isEnabled());

    const QString second = settingsDir.filePath("second.qnt");
    dialogs.fileNames = {second};
    ASSERT_TRUE(w.dispatcher().Exec_Save());
    EXPECT_TRUE(dialogs.fileNames.empty());
    EXPECT_EQ(w.dispatcher().currentFile(), second);
    EXPECT_EQ(bytesOf(second).left(4), QByteArray::fromHex("01000100"));
    EXPECT_FALSE(engine->state().DescriptionModified);
}
