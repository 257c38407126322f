// The program itself, started as a user starts it: a separate process with the settings in
// the user's configuration folder and nothing of the test run's browser settings.
#include "documents/documentengine.h"
#include "platform/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        QDir(home.path()).mkpath("config");
        QDir(home.path()).mkpath("runtime");
        QFile::setPermissions(home.filePath("runtime"), QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
        environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QTWEBENGINE_DISABLE_SANDBOX");
        environment.remove("QTWEBENGINE_CHROMIUM_FLAGS");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
    }
    // The demo knowledge base compiled by the build, installed as vireka-setup would.
    void installDemo() {
        const QString demo = VIREKA_DEMO_BASE "/";
        ASSERT_TRUE(QFile::exists(demo + "vireka.db")) << qPrintable(demo);
        platform::Settings settings(home.filePath("config/Vireka/Vireka.ini"));
        platform::Settings::Installation i;
        i.ProgramDir = VIREKA_PROGRAM_DIR "/";
        i.DataDir = demo;
        i.Base = "vireka.db";
        i.DescriptorDir = demo + "choices/";
        i.DrawingDir = demo + "drawings/";
        i.DocAddress = demo + "documents/";
        settings.storeInstallation(i);
        settings.storeLanguage(0);
        ASSERT_TRUE(settings.sync());
    }
    int run(const QStringList& arguments) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(VIREKA_PROGRAM_PATH, arguments);
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            ADD_FAILURE() << "the program did not finish";
        }
        output = program.readAllStandardOutput();
        errors = program.readAllStandardError();
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    QTemporaryDir home;
    QProcessEnvironment environment;
    QString output, errors;
};

}  // namespace

// A root user (a container, a virtual machine, CI) gets the window: the engine's sandbox is
// turned off for them, and they are told so once.
TEST_F(ProgramProcess, ReachesItsMainWindowAsTheUserTheTestsRunAs) {
    ASSERT_NO_FATAL_FAILURE(installDemo());
    EXPECT_EQ(run({"--quit-after-start"}), 0) << qPrintable(errors);
    EXPECT_FALSE(errors.contains("without --no-sandbox")) << qPrintable(errors);
    const QString note = "running as root, so the document viewer runs without its sandbox";
    EXPECT_EQ(errors.count(note), geteuid() == 0 ? 1 : 0) << qPrintable(errors);
}

TEST_F(ProgramProcess, HelpNeedsNoDisplayAndNamesTheOptions) {
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_TRUE(output.startsWith("Usage: vireka"));
    EXPECT_TRUE(output.contains("--quit-after-start"));
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors);
}
