// Feeds a settings file to the program's reading of its settings, as at start-up: the file
// is checked, read when usable, every value the program reads is asked for, and the options
// are written back and read again.
#include "fuzzinput.h"

#include <cstdint>
#include <cstdlib>

#include "platform/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    fuzz::ensureApplication("settings_fuzz");
    static QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Vireka.ini"));
    fuzz::writeFile(ini, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!platform::Settings::fileProblem(ini).isEmpty()) return 0;
    {
        platform::Settings settings(ini);
        const auto values = settings.read();
        (void)settings.languageSetting();
        (void)settings.questionsPanelShown();
        if (!values) return 0;
        // What was read survives the options' own writing.
        settings.storeListThreshold(values->ListThreshold);
        settings.storeDynamicCursor(values->DynamicCursor);
        settings.storeQuestionsPanelShown(false);
        if (!settings.sync()) return 0;
    }
    const platform::Settings again(ini);
    const auto reread = again.read();
    if (!reread) std::abort();  // still installed after writing the options
    return 0;
}
