#include "commandregistry.h"
#include "platform/terminationcleanup.h"

#include <QGuiApplication>
#include <QTextStream>

namespace vkb {
std::map<QString, Command>& commands() {
    static std::map<QString, Command> all;
    return all;
}
}  // namespace vkb

static int usage(QTextStream& out) {
    out << "usage: vireka-kb COMMAND [options]\n\ncommands:\n";
    for (const auto& [name, command] : vkb::commands())
        out << "  " << name.leftJustified(8) << " " << command.summary << "\n";
    out << "\n'vireka-kb COMMAND --help' tells more.\n";
    return 2;
}

// A command-line tool prints only its own output and messages: the notes Qt writes while it
// starts a platform without a desktop (a missing XDG_RUNTIME_DIR, fonts) would read as ours.
static QtMessageHandler standardHandler = nullptr;
static void quietQtMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if ((type == QtCriticalMsg || type == QtFatalMsg) && standardHandler)
        standardHandler(type, context, message);
}

int main(int argc, char** argv) {
    // Before Qt starts a thread: a stopped build or import removes the folder it wrote.
    platform::terminationcleanup::install();
    standardHandler = qInstallMessageHandler(quietQtMessages);
    // Pictures are rendered for the palette and the compiled drawings; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QTextStream err(stderr);
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        QTextStream out(stdout);
        usage(out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    const auto it = vkb::commands().find(name);
    if (it == vkb::commands().end()) {
        err << "vireka-kb: unknown command '" << name << "'\n";
        return usage(err);
    }
    return it->second.run(args);
}
