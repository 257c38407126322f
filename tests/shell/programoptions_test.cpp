#include "shell/programoptions.h"
#include "shell/startup.h"

#include <gtest/gtest.h>

using shell::ProgramOptions;

TEST(ProgramOptions, OptionsAreTakenOutOfTheFileName) {
    const auto o =
        ProgramOptions::parse({"vireka", "--quit-after-start", "\"/home/a/my", "dragonfly.qnt\""});
    EXPECT_TRUE(o.quitAfterStart);
    EXPECT_FALSE(o.help);
    EXPECT_EQ(shell::commandLineFile(o.arguments), QString("/home/a/my dragonfly.qnt"));

    EXPECT_TRUE(ProgramOptions::parse({"vireka", "-h"}).help);
    EXPECT_TRUE(ProgramOptions::parse({"vireka", "x.qnt", "--help"}).help);
    const auto plain = ProgramOptions::parse({"vireka"});
    EXPECT_FALSE(plain.help || plain.quitAfterStart);
    EXPECT_EQ(shell::commandLineFile(plain.arguments), QString());
}

TEST(ProgramOptions, TheBrowserEnginesWordsAreNotAFile) {
    const auto o = ProgramOptions::parse(
        {"vireka", "--no-sandbox", "a.qnt", "--webEngineArgs", "--remote-debugging-port=1"});
    EXPECT_EQ(shell::commandLineFile(o.arguments), QString("a.qnt"));
}
