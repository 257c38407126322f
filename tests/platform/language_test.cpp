#include "platform/language.h"
#include "platform/settings.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using platform::Language;

namespace {

void expectLanguage(const Language& l, int code, const char* suffix) {
    EXPECT_EQ(l.LanguageCode, code);
    EXPECT_EQ(l.DocSuffix, QString::fromLatin1(suffix));
}

}  // namespace

TEST(LanguageChoice, WithoutSettingTheSystemLanguageDecides) {
    expectLanguage(Language::choose(QStringLiteral("-1"), QLocale::French), 2, "_fr");
    expectLanguage(Language::choose(QStringLiteral("-1"), QLocale::German), 0, "_en");
    // Spanish texts, but there are no Spanish documents.
    expectLanguage(Language::choose(QStringLiteral("-1"), QLocale::Spanish), 1, "_en");
    expectLanguage(Language::choose(QStringLiteral("-1"), QLocale::English), 0, "_en");
    expectLanguage(Language::choose(QStringLiteral("-1"), QLocale::C), 0, "_en");
}

TEST(LanguageChoice, StoredLanguageWinsAndLeavesTheSuffixEmpty) {
    expectLanguage(Language::choose(QStringLiteral("2"), QLocale::German), 2, "");
    expectLanguage(Language::choose(QStringLiteral("0"), QLocale::French), 0, "");
    expectLanguage(Language::choose(QStringLiteral("1"), QLocale::French), 1, "");
    expectLanguage(Language::choose(QStringLiteral(" 1 "), QLocale::French), 1, "");
}

TEST(LanguageChoice, UnusableSettingFallsBackToTheSystem) {
    for (const char* text : {"", "abc", "2abc", "7", "-2", "99999"})
        expectLanguage(Language::choose(QString::fromLatin1(text), QLocale::French), 2, "_fr");
}

TEST(LanguageChoice, IntegerConversionOfTheWholeText) {
    EXPECT_EQ(Language::toInteger(QStringLiteral("2")), 2);
    EXPECT_EQ(Language::toInteger(QStringLiteral(" -1 ")), -1);
    EXPECT_EQ(Language::toInteger(QStringLiteral("2.5")), 2);
    EXPECT_EQ(Language::toInteger(QStringLiteral("1.5")), 2);
    EXPECT_EQ(Language::toInteger(QStringLiteral("0.5")), 0);
    EXPECT_EQ(Language::toInteger(QStringLiteral("32767")), 32767);
    EXPECT_FALSE(Language::toInteger(QStringLiteral("32768")).has_value());
    EXPECT_FALSE(Language::toInteger(QStringLiteral("12 abc")).has_value());
    EXPECT_FALSE(Language::toInteger(QStringLiteral("")).has_value());
}

TEST(LanguageChoice, ReadsTheStoredChoiceFromTheSettingsFile) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("vireka.ini"));
    {
        platform::Settings settings(ini);
        expectLanguage(Language::choose(settings.languageSetting(), QLocale::French), 2, "_fr");
        settings.storeLanguage(1);
        ASSERT_TRUE(settings.sync());
    }
    platform::Settings reopened(ini);
    expectLanguage(Language::choose(reopened.languageSetting(), QLocale::French), 1, "");
}
