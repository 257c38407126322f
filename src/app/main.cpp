#include "kb/loader.h"
#include "platform/language.h"
#include "platform/settings.h"
#include "platform/stringtable.h"

#include <QGuiApplication>
#include <QTextStream>

// Until the main window exists the program loads the knowledge base named by the settings,
// stops at the same checkpoints the window will, and prints what it loaded.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    platform::Settings settings;
    const platform::Language language = platform::Language::choose(settings.languageSetting());
    platform::StringTable strings;
    if (!strings.loadBuiltIn()) {
        err << strings.errorString() << "\n";
        return 1;
    }
    strings.setLanguageCode(language.LanguageCode);
    const auto text = [&](int k) { return strings.text(k); };

    const auto values = settings.read();
    if (!values) {
        err << strings.textOr(1073, QStringLiteral("1073")) << "\n";
        return 1;
    }
    kb::Model model;
    kb::LoadOptions options;
    options.dataDir = values->DataDir;
    options.databasePath = values->DatabasePath;
    options.text = text;
    const kb::LoadResult result = kb::loadKnowledgeBase(model, options);
    if (!result.ok()) {
        err << (result.stringId ? strings.textOr(result.stringId, QString::number(result.stringId))
                                : result.message)
            << "\n";
        if (!result.detail.isEmpty()) err << result.detail << "\n";
        return 1;
    }
    out << strings.textOr(1050, QStringLiteral("Vireka")) << "\n"
        << values->DatabasePath << ": " << model.SpeciesCount << " species, " << model.StateCount
        << " states, " << model.ObjectCount << " questions, " << model.DrawingCount << " drawings, "
        << model.FrameCount << " frames, " << model.ColourCount << " colours; "
        << model.Tree.size() << " nodes in the species tree\n";
    for (const QString& line : model.SpeciesListLines) out << line << "\n";
    return 0;
}
