// vireka-setup: writes the settings that tell Vireka where its knowledge base lies.

#include "kb/installation.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <memory>
#include <optional>

namespace {

constexpr int Installed = 0;
constexpr int StoreFailed = 1;
constexpr int BadRequest = 2;

const char* const HelpText = R"(Usage: vireka-setup --data DIR [options]

Installs a Vireka knowledge base for the current user: writes the folders and the
database name that Vireka reads when it starts. Vireka refuses to start until this
has been done.

Options:
  --data DIR           data folder: the database, POIDS.DAT, MATRICE.DAT, couleur.wmf,
                       the toolbar pictures and the error pages (required)
  --base NAME          file name of the database inside DIR
  --program DIR        program folder, which holds help/; default: the installed
                       program's shared data, else this tool's folder
  --descriptors DIR    folder of the pictures of choices of the questions
  --drawings DIR       folder of the drawings of the organism
  --documents DIR|URL  folder of the HTML documents, or a web address starting with
                       http:// or https://
  --language 0|1|2     interface language: 0 English, 1 Spanish, 2 French; without it
                       the stored choice is kept (none stored: the system's language)
  --settings FILE      write to this INI file instead of the user's settings
  --help               show this text

Defaults come from DIR/setup.ini when it exists (vireka-kb writes it with the keys
base, descriptors, drawings and documents; relative folders lie inside DIR). Without
it the database is "kb.sqlite" and the other folders are DIR itself. Relative folders
given on the command line are taken from the current folder.

Checks: every folder must exist, and the database must open read-only as an SQLite
database. When a check fails nothing is written.

Written: Logiciel/Executables, Logiciel/Data, Logiciel/Base, Logiciel/Descripteurs,
Logiciel/Robot, Options/Distribution ("hd", or "http" for a web address),
Documents/Adresse, and Options/Langue with --language. Folders are written as
absolute paths ending with "/".

Exit status: 0 installed; 1 the settings could not be written; 2 bad arguments or a
failed check, nothing written.
)";

struct Failure {
    QString message;
};

// The folder that holds help/: the installed program's shared data when there is one,
// else this tool's own folder (a build tree keeps help/ beside the programs).
QString defaultProgramDir() {
    const QString installed = platform::installedDataDir();
    if (!installed.isEmpty()) return installed;
    return QCoreApplication::applicationDirPath();
}

std::optional<QString> valueOf(const QCommandLineParser& args, const char* option) {
    const QString name = QLatin1String(option);
    if (!args.isSet(name)) return std::nullopt;
    return args.value(name);
}

// Turns the arguments into the values to write, checking everything they name.
std::optional<Failure> plan(const QCommandLineParser& args, platform::Settings::Installation& out) {
    if (!args.isSet(QStringLiteral("data")))
        return Failure{QStringLiteral("--data DIR is required (see --help)")};
    kb::InstallationRequest request;
    request.dataDir = args.value(QStringLiteral("data"));
    request.programDir = valueOf(args, "program").value_or(defaultProgramDir());
    request.base = valueOf(args, "base");
    request.descriptors = valueOf(args, "descriptors");
    request.drawings = valueOf(args, "drawings");
    request.documents = valueOf(args, "documents");
    QString error;
    const auto planned = kb::planInstallation(request, &error);
    if (!planned) return Failure{error};
    out = *planned;
    return std::nullopt;
}

std::optional<int> chooseLanguage(const QCommandLineParser& args, std::optional<Failure>& failure) {
    if (!args.isSet(QStringLiteral("language"))) return std::nullopt;
    const QString value = args.value(QStringLiteral("language"));
    if (value == QLatin1String("0") || value == QLatin1String("1") || value == QLatin1String("2"))
        return value.toInt();
    failure = Failure{QStringLiteral("--language takes 0, 1 or 2, not \"%1\"").arg(value)};
    return std::nullopt;
}

void report(QTextStream& out, const QString& file, const platform::Settings::Installation& plan,
            std::optional<int> language) {
    out << "Wrote " << file << ":\n";
    out << "  Logiciel/Executables = " << plan.ProgramDir << '\n';
    out << "  Logiciel/Data = " << plan.DataDir << '\n';
    out << "  Logiciel/Base = " << plan.Base << '\n';
    out << "  Logiciel/Descripteurs = " << plan.DescriptorDir << '\n';
    out << "  Logiciel/Robot = " << plan.DrawingDir << '\n';
    out << "  Options/Distribution = " << plan.DocSource << '\n';
    out << "  Documents/Adresse = " << plan.DocAddress << '\n';
    if (language) out << "  Options/Langue = " << *language << '\n';
}

void addOptions(QCommandLineParser& args) {
    const char* const valued[] = {"data",     "base",      "program",  "descriptors",
                                  "drawings", "documents", "language", "settings"};
    for (const char* name : valued)
        args.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    args.addOption(QCommandLineOption(QStringList{QStringLiteral("help"), QStringLiteral("h")}));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser args;
    addOptions(args);
    if (!args.parse(app.arguments())) {
        err << "vireka-setup: " << args.errorText() << " (see --help)\n";
        return BadRequest;
    }
    if (args.isSet(QStringLiteral("help"))) {
        out << HelpText;
        return Installed;
    }
    if (!args.positionalArguments().isEmpty()) {
        err << "vireka-setup: unexpected argument " << args.positionalArguments().first()
            << " (see --help)\n";
        return BadRequest;
    }

    platform::Settings::Installation installation;
    std::optional<Failure> failure = plan(args, installation);
    const std::optional<int> language = failure ? std::nullopt : chooseLanguage(args, failure);
    if (failure) {
        err << "vireka-setup: " << failure->message << "; nothing written.\n";
        return BadRequest;
    }

    const auto settings =
        args.isSet(QStringLiteral("settings"))
            ? std::make_unique<platform::Settings>(args.value(QStringLiteral("settings")))
            : std::make_unique<platform::Settings>();
    settings->storeInstallation(installation);
    if (language) settings->storeLanguage(*language);
    if (!settings->sync()) {
        err << "vireka-setup: cannot write the settings to " << settings->fileName() << '\n';
        return StoreFailed;
    }
    report(out, settings->fileName(), installation, language);
    return Installed;
}
