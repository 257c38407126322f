#include "documents/documentengine.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QTemporaryDir>

namespace {

// Keeps the browser variables of the test run and gives them back afterwards.
class EngineEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kNames)
            saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        for (const char* name : kNames) qunsetenv(name);
    }
    void TearDown() override {
        for (const auto& s : saved) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }

    static constexpr const char* kNames[] = {
        "QTWEBENGINE_DISABLE_SANDBOX", "QTWEBENGINE_CHROMIUM_FLAGS", "QTWEBENGINEPROCESS_PATH",
        "QTWEBENGINE_RESOURCES_PATH"};
    struct Saved {
        const char* name;
        bool set;
        QByteArray value;
    };
    std::vector<Saved> saved;
};

}  // namespace

TEST_F(EngineEnvironment, OnlyARootUserWithoutASandboxSettingHasItTurnedOff) {
    const QString note = documents::prepareDocumentEngine({"vireka"});
    if (geteuid() == 0) {
        EXPECT_TRUE(note.contains("running as root"));
        EXPECT_EQ(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("1"));
    } else {
        EXPECT_TRUE(note.isEmpty());
        EXPECT_FALSE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"));
    }
}

TEST_F(EngineEnvironment, TheUsersOwnSandboxSettingIsLeftAlone) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "0");
    EXPECT_TRUE(documents::prepareDocumentEngine({"vireka"}).isEmpty());
    EXPECT_EQ(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("0"));
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");

    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--lang=fr --no-sandbox");
    EXPECT_TRUE(documents::prepareDocumentEngine({"vireka"}).isEmpty());
    qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    EXPECT_TRUE(documents::prepareDocumentEngine({"vireka", "--no-sandbox"}).isEmpty());
    EXPECT_FALSE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"));
}

TEST_F(EngineEnvironment, AMissingHelperProgramOrResourcesAreNamed) {
    using documents::EngineProblem;
    // This machine runs the browser tests, so its engine is complete.
    EXPECT_EQ(documents::documentEngineProblem().kind, EngineProblem::None);

    QTemporaryDir empty;
    const QString helper = empty.filePath("QtWebEngineProcess");
    qputenv("QTWEBENGINEPROCESS_PATH", helper.toUtf8());
    auto p = documents::documentEngineProblem();
    EXPECT_EQ(p.kind, EngineProblem::HelperMissing);
    EXPECT_EQ(p.path, helper);

    // A helper that is there but cannot be run is as good as missing.
    QFile file(helper);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(documents::documentEngineProblem().kind, EngineProblem::HelperMissing);
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    EXPECT_EQ(documents::documentEngineProblem().kind, EngineProblem::None);

    qputenv("QTWEBENGINE_RESOURCES_PATH", empty.path().toUtf8());
    p = documents::documentEngineProblem();
    EXPECT_EQ(p.kind, EngineProblem::ResourcesMissing);
    EXPECT_EQ(p.path, empty.filePath("qtwebengine_resources.pak"));
}
