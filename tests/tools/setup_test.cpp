#include "platform/settings.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

using platform::Settings;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// The installer runs as a real process on a temporary data folder.
class SetupTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkpath(QStringLiteral("data")));
    }

    QString data() const { return root_.filePath(QStringLiteral("data")); }
    QString ini() const { return root_.filePath(QStringLiteral("user.ini")); }
    QString slashed(const QString& folder) const { return QDir::cleanPath(folder) + u'/'; }

    QString folder(const QString& relative) {
        EXPECT_TRUE(QDir(data()).mkpath(relative));
        return QDir(data()).filePath(relative);
    }

    void makeDatabase(const QString& name) {
        const QByteArray path = QDir(data()).filePath(name).toUtf8();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Flore (Code TEXT PRIMARY KEY)", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }

    void writeFile(const QString& path, const QByteArray& content) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    Outcome run(QStringList args, bool toIni = true) {
        if (toIni) args << QStringLiteral("--settings") << ini();
        QProcess p;
        p.start(QStringLiteral(VIREKA_SETUP_PATH), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return Outcome{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                       QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
    }

    Settings::Values installed() {
        const auto values = Settings(ini()).read();
        EXPECT_TRUE(values.has_value());
        return values.value_or(Settings::Values{});
    }

    void expectRefused(const QStringList& args, const char* why) {
        const Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 2) << why << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << why;
        EXPECT_FALSE(QFile::exists(ini())) << why << ": nothing may be written";
    }

    QTemporaryDir root_;
};

}  // namespace

TEST_F(SetupTool, WritesEveryInstallationKey) {
    makeDatabase(QStringLiteral("flora.sqlite"));
    const QString desc = folder(QStringLiteral("desc"));
    const QString robot = folder(QStringLiteral("robot"));
    const QString docs = folder(QStringLiteral("docs"));
    const QString program = root_.path();
    const Outcome r = run({QStringLiteral("--data"), data(), QStringLiteral("--base"),
                           QStringLiteral("flora.sqlite"), QStringLiteral("--program"), program,
                           QStringLiteral("--descriptors"), desc, QStringLiteral("--drawings"),
                           robot, QStringLiteral("--documents"), docs, QStringLiteral("--language"),
                           QStringLiteral("2")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(ini()));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Logiciel/Base = flora.sqlite")));

    const Settings::Values v = installed();
    EXPECT_EQ(v.DocSource, QStringLiteral("hd"));
    EXPECT_EQ(v.ProgramDir, slashed(program));
    EXPECT_EQ(v.DataDir, slashed(data()));
    EXPECT_EQ(v.DatabasePath, slashed(data()) + QStringLiteral("flora.sqlite"));
    EXPECT_TRUE(QFileInfo(v.DatabasePath).isFile());
    EXPECT_EQ(v.DescriptorDir, slashed(desc));
    EXPECT_EQ(v.DrawingDir, slashed(robot));
    EXPECT_EQ(v.DocAddress, slashed(docs));
    EXPECT_EQ(Settings(ini()).languageSetting(), QStringLiteral("2"));
}

TEST_F(SetupTool, TakesItsDefaultsFromSetupIni) {
    makeDatabase(QStringLiteral("demo.db"));
    folder(QStringLiteral("pictures/choices"));
    folder(QStringLiteral("robot"));
    writeFile(QDir(data()).filePath(QStringLiteral("setup.ini")),
              "base=demo.db\ndescriptors=pictures/choices\ndrawings=robot\n"
              "documents=https://flora.example.org/docs\n");
    const Outcome r = run({QStringLiteral("--data"), data()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const Settings::Values v = installed();
    EXPECT_EQ(v.DatabasePath, slashed(data()) + QStringLiteral("demo.db"));
    EXPECT_EQ(v.DescriptorDir, slashed(data()) + QStringLiteral("pictures/choices/"));
    EXPECT_EQ(v.DrawingDir, slashed(data()) + QStringLiteral("robot/"));
    EXPECT_EQ(v.DocSource, QStringLiteral("http"));
    EXPECT_EQ(v.DocAddress, QStringLiteral("https://flora.example.org/docs/"));
    EXPECT_EQ(Settings(ini()).languageSetting(), QStringLiteral("-1"));

    // An option given on the command line wins over setup.ini.
    makeDatabase(QStringLiteral("other.db"));
    ASSERT_EQ(run({QStringLiteral("--data"), data(), QStringLiteral("--base"),
                   QStringLiteral("other.db")})
                  .exitCode,
              0);
    EXPECT_EQ(installed().DatabasePath, slashed(data()) + QStringLiteral("other.db"));
}

TEST_F(SetupTool, WithoutSetupIniEverythingLiesInTheDataFolder) {
    makeDatabase(QStringLiteral("kb.sqlite"));
    const Outcome r = run({QStringLiteral("--data"), data()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const Settings::Values v = installed();
    EXPECT_EQ(v.DatabasePath, slashed(data()) + QStringLiteral("kb.sqlite"));
    EXPECT_EQ(v.DescriptorDir, slashed(data()));
    EXPECT_EQ(v.DrawingDir, slashed(data()));
    EXPECT_EQ(v.DocAddress, slashed(data()));
    EXPECT_EQ(v.ProgramDir, slashed(QFileInfo(QStringLiteral(VIREKA_SETUP_PATH)).absolutePath()));
}

TEST_F(SetupTool, KeepsTheUsersOptions) {
    makeDatabase(QStringLiteral("kb.sqlite"));
    {
        Settings before(ini());
        before.storeListThreshold(50);
        before.storeLanguage(1);
        ASSERT_TRUE(before.sync());
    }
    ASSERT_EQ(run({QStringLiteral("--data"), data()}).exitCode, 0);
    EXPECT_EQ(installed().ListThreshold, 50);
    EXPECT_EQ(Settings(ini()).languageSetting(), QStringLiteral("1"));
}

TEST_F(SetupTool, RefusesWhatItCannotInstallAndWritesNothing) {
    const QString dataArg = QStringLiteral("--data");
    expectRefused({dataArg, data()}, "no database");
    expectRefused({dataArg, root_.filePath(QStringLiteral("nowhere"))}, "no data folder");
    expectRefused({}, "no --data");

    writeFile(QDir(data()).filePath(QStringLiteral("kb.sqlite")), "not a database, only text\n");
    expectRefused({dataArg, data()}, "a text file as database");

    QFile::remove(QDir(data()).filePath(QStringLiteral("kb.sqlite")));
    makeDatabase(QStringLiteral("kb.sqlite"));
    expectRefused(
        {dataArg, data(), QStringLiteral("--drawings"), root_.filePath(QStringLiteral("missing"))},
        "a missing drawing folder");
    expectRefused(
        {dataArg, data(), QStringLiteral("--documents"), root_.filePath(QStringLiteral("missing"))},
        "a missing document folder");
    expectRefused({dataArg, data(), QStringLiteral("--base"),
                   QDir(data()).filePath(QStringLiteral("kb.sqlite"))},
                  "an absolute database path");
    expectRefused({dataArg, data(), QStringLiteral("--language"), QStringLiteral("5")},
                  "an unknown language");
    expectRefused({dataArg, data(), QStringLiteral("--colour")}, "an unknown option");
    expectRefused({dataArg, data(), QStringLiteral("extra")}, "a stray argument");
}

TEST_F(SetupTool, ReportsASettingsFileThatCannotBeWritten) {
    makeDatabase(QStringLiteral("kb.sqlite"));
    writeFile(root_.filePath(QStringLiteral("blocker")), "a file, not a folder");
    const Outcome r = run({QStringLiteral("--data"), data(), QStringLiteral("--settings"),
                           root_.filePath(QStringLiteral("blocker/user.ini"))},
                          false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("blocker/user.ini"))) << r.err.toStdString();
}

TEST_F(SetupTool, HelpDescribesTheOptions) {
    const Outcome r = run({QStringLiteral("--help")}, false);
    EXPECT_EQ(r.exitCode, 0);
    for (const char* option : {"--data", "--base", "--program", "--descriptors", "--drawings",
                               "--documents", "--language", "--settings", "setup.ini"})
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(option))) << option;
}
