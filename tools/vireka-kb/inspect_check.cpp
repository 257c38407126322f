#include "commandregistry.h"
#include "kbcheck.h"

#include <QDir>
#include <QTextStream>

namespace {

// A folder named on the command line, as the program finds it: relative to the data folder
// as the base is, unless absolute.
QString underData(const QString& data, const QString& path) {
    return path.isEmpty() || QDir::isAbsolutePath(path) ? path : QDir(data).filePath(path);
}

const QString Usage = QStringLiteral(
    "usage: vireka-kb check --data DIR --base FILE [--drawings DIR] [--descriptors DIR]\n"
    "                       [--documents DIR]\n"
    "Checks that a knowledge base holds what the program expects; one line per finding.\n"
    "--base and the folders are read relative to --data unless they are absolute paths.\n"
    "Exit status 0 when nothing is wrong, 1 when something is, 2 when it cannot be read.\n");

int check(const QStringList& args) {
    if (args.contains(QLatin1String("--help"))) {
        QTextStream(stdout) << Usage;
        return 0;
    }
    QMap<QString, QString> options;
    const QStringList names = {"data", "base", "drawings", "descriptors", "documents"};
    QTextStream err(stderr);
    for (int i = 0; i < args.size(); ++i) {
        const QString name = args[i].mid(2);
        if (!args[i].startsWith(QLatin1String("--")) || !names.contains(name) ||
            i + 1 >= args.size()) {
            err << "vireka-kb check: bad argument '" << args[i] << "'\n" << Usage;
            return 2;
        }
        options.insert(name, args[++i]);
    }
    if (!options.contains("data") || !options.contains("base")) {
        err << "vireka-kb check: --data and --base are required\n" << Usage;
        return 2;
    }
    vkb::KbCheck checker(options.value("data"), options.value("base"));
    const QString data = options.value("data");
    checker.setFolders(underData(data, options.value("drawings")),
                       underData(data, options.value("descriptors")),
                       underData(data, options.value("documents")));
    if (!checker.open()) {
        err << "vireka-kb check: " << checker.errorString() << "\n";
        return 2;
    }
    const QStringList findings = checker.run();
    QTextStream out(stdout);
    bool faults = false;
    for (const QString& finding : findings) {
        out << finding << "\n";
        if (!finding.startsWith(QLatin1String("warning: "))) faults = true;
    }
    return faults ? 1 : 0;
}

const vkb::Registration registration(
    QStringLiteral("check"), QStringLiteral("check a knowledge base for what the program expects"),
    check);

}  // namespace
