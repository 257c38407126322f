#include "platform/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using platform::Settings;

namespace {

// A settings file in a temporary folder, written and read back through real INI files.
class SettingsFile : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("vireka.ini")); }

    void put(const QString& key, const QString& value) {
        QSettings raw(path(), QSettings::IniFormat);
        raw.setValue(key, value);
    }
    QVariant stored(const QString& key) const {
        return QSettings(path(), QSettings::IniFormat).value(key);
    }
    void install() {
        put(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
        put(QStringLiteral("Logiciel/Executables"), QStringLiteral("C:\\Vireka\\"));
        put(QStringLiteral("Logiciel/Data"), QStringLiteral("C:\\Vireka\\Data\\"));
        put(QStringLiteral("Logiciel/Base"), QStringLiteral("flore.sqlite"));
        put(QStringLiteral("Logiciel/Descripteurs"), QStringLiteral("C:\\Vireka\\Desc\\"));
        put(QStringLiteral("Logiciel/Robot"), QStringLiteral("C:\\Vireka\\Robot\\"));
        put(QStringLiteral("Documents/Adresse"), QStringLiteral("C:\\Vireka\\Docs\\"));
    }
    Settings::Values readInstalled() {
        const auto values = Settings(path()).read();
        EXPECT_TRUE(values.has_value());
        return values.value_or(Settings::Values{});
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(SettingsFile, WithoutDistributionTheProgramIsNotInstalled) {
    EXPECT_FALSE(Settings(path()).read().has_value());
    EXPECT_FALSE(Settings(path()).isInstalled());

    // Every other key present does not make an installation.
    install();
    put(QStringLiteral("Options/Distribution"), QStringLiteral("Fin"));
    EXPECT_FALSE(Settings(path()).read().has_value());
}

TEST_F(SettingsFile, ReadsTheInstallationAsStored) {
    install();
    const Settings::Values v = readInstalled();
    EXPECT_EQ(v.DocSource, QStringLiteral("hd"));
    EXPECT_EQ(v.ProgramDir, QStringLiteral("C:\\Vireka\\"));
    EXPECT_EQ(v.DataDir, QStringLiteral("C:\\Vireka\\Data\\"));
    EXPECT_EQ(v.DatabasePath, QStringLiteral("C:\\Vireka\\Data\\flore.sqlite"));
    EXPECT_EQ(v.DescriptorDir, QStringLiteral("C:\\Vireka\\Desc\\"));
    EXPECT_EQ(v.DrawingDir, QStringLiteral("C:\\Vireka\\Robot\\"));
    EXPECT_EQ(v.DocAddress, QStringLiteral("C:\\Vireka\\Docs\\"));
    // The option defaults: "-1" for both.
    EXPECT_EQ(v.ListThreshold, -1);
    EXPECT_TRUE(v.DynamicCursor);
}

TEST_F(SettingsFile, MissingInstallationValuesReadAsFin) {
    put(QStringLiteral("Options/Distribution"), QStringLiteral("http"));
    const Settings::Values v = readInstalled();
    EXPECT_EQ(v.DocSource, QStringLiteral("http"));
    EXPECT_EQ(v.DataDir, QStringLiteral("Fin"));
    EXPECT_EQ(v.DatabasePath, QStringLiteral("FinFin"));
    EXPECT_EQ(v.DrawingDir, QStringLiteral("Fin"));
    EXPECT_EQ(v.DocAddress, QStringLiteral("Fin"));
}

TEST_F(SettingsFile, ThresholdIsTheLeadingNumberRoundedHalfToEven) {
    install();
    const QList<std::pair<const char*, int>> cases = {
        {"12 abc", 12}, {"12.5", 12}, {"13.5", 14}, {"  70", 70}, {"abc", 0}, {"-1", -1}, {"0", 0}};
    for (const auto& [text, expected] : cases) {
        put(QStringLiteral("Options/Valeur"), QString::fromLatin1(text));
        EXPECT_EQ(readInstalled().ListThreshold, expected) << text;
    }
}

TEST_F(SettingsFile, AnUnreadableValueIsSkippedAndTheRestIsRead) {
    install();
    put(QStringLiteral("Options/Valeur"), QStringLiteral("40000"));
    put(QStringLiteral("Options/Curseur"), QStringLiteral("maybe"));
    const Settings::Values v = readInstalled();
    EXPECT_EQ(v.ListThreshold, 0);
    EXPECT_FALSE(v.DynamicCursor);
    EXPECT_EQ(v.DocAddress, QStringLiteral("C:\\Vireka\\Docs\\"));
}

TEST_F(SettingsFile, CursorIsABooleanConversion) {
    install();
    const QList<std::pair<const char*, bool>> cases = {{"True", true},   {"False", false},
                                                       {"false", false}, {"0", false},
                                                       {"1", true},      {"-1", true}};
    for (const auto& [text, expected] : cases) {
        put(QStringLiteral("Options/Curseur"), QString::fromLatin1(text));
        EXPECT_EQ(readInstalled().DynamicCursor, expected) << text;
    }
}

TEST_F(SettingsFile, LanguageSettingDefaultsToMinusOne) {
    EXPECT_EQ(Settings(path()).languageSetting(), QStringLiteral("-1"));
    put(QStringLiteral("Options/Langue"), QStringLiteral("2"));
    EXPECT_EQ(Settings(path()).languageSetting(), QStringLiteral("2"));
}

TEST_F(SettingsFile, OptionsAreStoredAsTexts) {
    install();
    {
        Settings settings(path());
        settings.storeListThreshold(0);
        settings.storeDynamicCursor(false);
        settings.storeLanguage(2);
        ASSERT_TRUE(settings.sync());
    }
    EXPECT_EQ(stored(QStringLiteral("Options/Valeur")).toString(), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("Options/Curseur")).toString(), QStringLiteral("False"));
    EXPECT_EQ(stored(QStringLiteral("Options/Langue")).toString(), QStringLiteral("2"));
    const Settings::Values v = readInstalled();
    EXPECT_EQ(v.ListThreshold, 0);
    EXPECT_FALSE(v.DynamicCursor);

    Settings settings(path());
    settings.storeDynamicCursor(true);
    settings.storeListThreshold(85);
    ASSERT_TRUE(settings.sync());
    EXPECT_EQ(stored(QStringLiteral("Options/Curseur")).toString(), QStringLiteral("True"));
    EXPECT_EQ(readInstalled().ListThreshold, 85);
}

TEST_F(SettingsFile, DocumentsGetTheirFinalSeparator) {
    install();
    const QList<std::tuple<bool, const char*, const char*, const char*>> cases = {
        {false, "C:\\docs", "C:\\docs\\", "hd"},
        {false, "C:\\docs\\", "C:\\docs\\", "hd"},
        {false, "/home/u/docs", "/home/u/docs/", "hd"},
        {false, "/home/u/docs/", "/home/u/docs/", "hd"},
        {true, "http://flora.example.org/docs", "http://flora.example.org/docs/", "http"},
        {true, "http://flora.example.org/docs/", "http://flora.example.org/docs/", "http"},
    };
    for (const auto& [web, box, address, source] : cases) {
        {
            Settings settings(path());
            EXPECT_EQ(settings.storeDocuments(web, QString::fromLatin1(box)),
                      QString::fromLatin1(address));
            ASSERT_TRUE(settings.sync());
        }
        const Settings::Values v = readInstalled();
        EXPECT_EQ(v.DocAddress, QString::fromLatin1(address)) << box;
        EXPECT_EQ(v.DocSource, QString::fromLatin1(source)) << box;
    }
}

TEST_F(SettingsFile, InstallationWrittenIsReadBack) {
    Settings::Installation in;
    in.ProgramDir = QStringLiteral("/opt/vireka/");
    in.DataDir = QStringLiteral("/srv/flora/");
    in.Base = QStringLiteral("kb.sqlite");
    in.DescriptorDir = QStringLiteral("/srv/flora/desc/");
    in.DrawingDir = QStringLiteral("/srv/flora/robot/");
    in.DocAddress = QStringLiteral("/srv/flora/docs, old/");
    {
        Settings settings(path());
        settings.storeInstallation(in);
        ASSERT_TRUE(settings.sync());
    }
    const Settings::Values v = readInstalled();
    EXPECT_EQ(v.DocSource, QStringLiteral("hd"));
    EXPECT_EQ(v.ProgramDir, in.ProgramDir);
    EXPECT_EQ(v.DatabasePath, QStringLiteral("/srv/flora/kb.sqlite"));
    EXPECT_EQ(v.DescriptorDir, in.DescriptorDir);
    EXPECT_EQ(v.DrawingDir, in.DrawingDir);
    EXPECT_EQ(v.DocAddress, in.DocAddress);
}

TEST_F(SettingsFile, ACommaInAHandWrittenValueIsKept) {
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Options]\nDistribution=hd\n[Documents]\nAdresse=/srv/docs, old/\n");
    f.close();
    EXPECT_EQ(readInstalled().DocAddress, QStringLiteral("/srv/docs, old/"));
}

TEST_F(SettingsFile, WorksOnAStoreOwnedByTheCaller) {
    QSettings store(path(), QSettings::IniFormat);
    store.setValue(QStringLiteral("Options/Distribution"), QStringLiteral("hd"));
    Settings settings(&store);
    EXPECT_TRUE(settings.isInstalled());
    settings.storeLanguage(1);
    EXPECT_EQ(store.value(QStringLiteral("Options/Langue")).toString(), QStringLiteral("1"));
    EXPECT_EQ(settings.fileName(), path());
}

TEST_F(SettingsFile, AStoreThatCannotBeWrittenIsReported) {
    QFile blocker(dir_.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings settings(dir_.filePath(QStringLiteral("file/vireka.ini")));
    settings.storeLanguage(1);
    EXPECT_FALSE(settings.sync());
}

// The store would block on a pipe before the first window and read a device without end.
TEST(SettingsStore, OnlyARegularFileOfASettingsFilesSizeIsUsed) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("vireka.ini");
    EXPECT_TRUE(platform::Settings::fileProblem(ini).isEmpty());  // not there yet: created
    ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
    EXPECT_TRUE(platform::Settings::fileProblem(ini).contains("not a regular file"));
    EXPECT_FALSE(platform::Settings::fileProblem("/dev/zero").isEmpty());
    QFile::remove(ini);
    QFile big(ini);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("[Options]\nLangue=1\n");
    big.flush();
    EXPECT_TRUE(platform::Settings::fileProblem(ini).isEmpty());
    big.write(QByteArray(2 << 20, ';'));
    big.close();
    EXPECT_TRUE(platform::Settings::fileProblem(ini).contains("more than a settings file"));
    EXPECT_TRUE(platform::Settings::userFile().endsWith("/Vireka/Vireka.ini"));
}
