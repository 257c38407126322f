#include "shell/programoptions.h"

namespace shell {

ProgramOptions ProgramOptions::parse(const QStringList& arguments) {
    ProgramOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (i == 0) {
            options.arguments << word;
        } else if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            options.help = true;
        } else if (word == QLatin1String("--quit-after-start")) {
            options.quitAfterStart = true;
        } else if (word == QLatin1String("--webEngineArgs")) {
            break;
        } else if (word != QLatin1String("--no-sandbox")) {
            options.arguments << word;
        }
    }
    return options;
}

QString ProgramOptions::usage() {
    return QStringLiteral(
        "Usage: vireka [--quit-after-start] [FILE.qnt]\n"
        "Vireka, an interactive identification key, on the knowledge base named by its\n"
        "settings (see vireka-setup --help).\n"
        "\n"
        "  FILE.qnt             open this saved identification once the program has started\n"
        "  --quit-after-start   start as usual (splash, knowledge base, window shown and laid\n"
        "                       out), then leave: status 0, or the status of a failed start\n"
        "  -h, --help           print this help and leave\n");
}

}  // namespace shell
