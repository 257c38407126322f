#include "shell/startup.h"

#include "documents/documentengine.h"
#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/loader.h"
#include "platform/language.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "platform/textids.h"
#include "shell/firstrun.h"
#include "shell/iconset.h"
#include "shell/mainwindow.h"
#include "shell/programoptions.h"
#include "shell/qtdialogs.h"
#include "shell/qttranslations.h"
#include "shell/splashwindow.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

namespace shell {

namespace {

using Icon = platform::Dialogs::Icon;
using Buttons = platform::Dialogs::Buttons;
using Answer = platform::Dialogs::Answer;

std::unique_ptr<QLockFile> instanceLock() {
    auto lock = std::make_unique<QLockFile>(instanceLockPath());
    lock->setStaleLockTime(0);
    return lock;
}

// Everything of one run, in the order it is built and torn down in reverse.
class RunningProgram : public Session {
public:
    RunningProgram(platform::Settings& settings, platform::Dialogs* dialogs)
        : settings(settings), dialogs(dialogs ? *dialogs : qtDialogs) {}
    frmMain& window() override { return *main; }

    QString text(int k) const { return strings.textOr(k, QString::number(k)); }
    // A fatal message: the text alone, the default caption, no icon; the program ends.
    int Erreur_Fatale(const QString& message, const QString& details = QString()) {
        if (!details.isEmpty()) QTextStream(stderr) << message << "\n" << details << "\n";
        dialogs.ask({message, QString(), Icon::None, Buttons::Ok}, details);
        return 1;
    }
    int stopWith(int stringId, const QString& details = QString(), Icon icon = Icon::None) {
        if (!details.isEmpty()) QTextStream(stderr) << details << "\n";
        dialogs.ask({text(stringId), text(TextId::AppTitle), icon, Buttons::Ok}, details);
        return 1;
    }
    int start(const QStringList& arguments);

    platform::Settings& settings;
    QtTranslations qtTranslations;
    QtDialogs qtDialogs;
    platform::Dialogs& dialogs;
    platform::StringTable strings;
    std::unique_ptr<QLockFile> lock;
    kb::Model model;
    std::unique_ptr<engine::Engine> engine;
    std::unique_ptr<frmMain> main;

private:
    bool secondInstanceDeclined();
    QString documentsUnavailable();
    int loadFailure(const kb::LoadResult& r) {
        if (r.stringId != 0) return stopWith(r.stringId, r.detail);
        // A fault of the base's tables is said in the text itself: the path alone would send
        // the reader looking at a file that is fine.
        if (r.inTables) return Erreur_Fatale(r.message + QStringLiteral("\n\n") + r.detail);
        return Erreur_Fatale(r.message, r.detail);
    }
};

bool RunningProgram::secondInstanceDeclined() {
    lock = instanceLock();
    if (lock->tryLock(0)) return false;
    if (dialogs.ask({text(TextId::AlreadyRunning), text(TextId::AppTitle), Icon::Warning,
                     Buttons::YesNo}) != Answer::Yes)
        return true;
    dialogs.ask(
        {text(TextId::UseTheTaskbar), text(TextId::AppTitle), Icon::Information, Buttons::Ok});
    return false;
}

// The browser engine would end the whole process if it started without its parts: the
// program goes on without documents and says why, once, before the window is built.
QString RunningProgram::documentsUnavailable() {
    const documents::EngineProblem problem = documents::documentEngineProblem();
    if (problem.kind == documents::EngineProblem::None) return QString();
    const int reason = problem.kind == documents::EngineProblem::HelperMissing
                           ? TextId::ViewerHelperMissing
                           : TextId::ViewerResourcesMissing;
    const QString message = text(TextId::ViewerCannotStart).arg(text(reason).arg(problem.path));
    QTextStream(stderr) << "vireka: " << message << "\n";
    dialogs.ask({message, text(TextId::AppTitle), Icon::Warning, Buttons::Ok});
    return message;
}

int RunningProgram::start(const QStringList& arguments) {
    const platform::Language language = platform::Language::choose(settings.languageSetting());
    strings.setLanguageCode(language.LanguageCode);
    if (!qtTranslations.load(language.LanguageCode))
        QTextStream(stderr) << "Qt's translations for "
                            << QtTranslations::localeName(language.LanguageCode)
                            << " are not installed; its dialogs stay in English.\n";
    useIconSet();
    useApplicationIcon();
    qtDialogs.setDefaultTitle(QStringLiteral("Vireka"));

    frmSplash splash(settings, strings);
    splash.showSplash();
    if (secondInstanceDeclined()) return 0;
    auto values = settings.read();
    if (!values) {
        const FirstRun first = offerInstalledDemo(
            settings, dialogs, [this](int k) { return text(k); }, platform::installedDataDir());
        if (first == FirstRun::Failed) return 1;
        if (first == FirstRun::Installed) values = settings.read();
    }
    if (!values) return stopWith(TextId::NotInstalled, QString(), Icon::Critical);

    kb::LoadOptions options;
    options.dataDir = values->DataDir;
    options.databasePath = values->DatabasePath;
    options.paletteBox = splash.paletteImage();
    options.text = [this](int k) { return strings.text(k); };
    options.pendingEvents = [] { QCoreApplication::processEvents(); };
    const kb::LoadResult loaded = kb::loadKnowledgeBase(model, options);
    if (!loaded.ok()) return loadFailure(loaded);

    QString tablesError;
    engine = std::make_unique<engine::Engine>(
        model, engine::KeyTables::fromModel(model, &tablesError), dialogs,
        [this](int k) { return strings.text(k); },
        engine::EngineSettings{values->DataDir, values->DrawingDir, values->ListThreshold});
    if (!tablesError.isEmpty()) QTextStream(stderr) << tablesError << "\n";

    const QString noDocuments = documentsUnavailable();
    main = std::make_unique<frmMain>(
        ProgramContext{model, *engine, strings, settings, dialogs, *values, language.LanguageCode,
                       language.DocSuffix, noDocuments, &qtTranslations});
    qtDialogs.setOwner(main.get());
    if (!main->load()) return 1;
    const QString file = commandLineFile(arguments);
    if (!file.isEmpty()) main->dispatcher().Traiter_Fichier(QStringLiteral("Open"), file);

    main->ViewMode = View::Identification;
    main->fitToWorkArea();
    main->show();
    // The window manager's frame is known once the window is on screen: fit again with it.
    QCoreApplication::processEvents();
    main->fitToWorkArea();
    main->Dispose_Fenetre();
    // The drawing is on screen: it can be copied.
    main->setCopyEnabled(true);
    splash.setMainWindow(main.get());
    splash.close();
    return 0;
}

}  // namespace

QString instanceLockPath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(dir.isEmpty() ? QDir::tempPath() : dir).filePath(QStringLiteral("vireka.lock"));
}

QString commandLineFile(const QStringList& arguments) {
    QString line = arguments.mid(1).join(QLatin1Char(' '));
    if (line.startsWith(QLatin1Char('"'))) line = line.mid(1).chopped(line.size() > 1 ? 1 : 0);
    return line;
}

StartResult startProgram(const QStringList& arguments, platform::Settings& settings,
                         platform::Dialogs* dialogs) {
    auto program = std::make_unique<RunningProgram>(settings, dialogs);
    StartResult result;
    if (!program->strings.loadBuiltIn()) {
        QTextStream(stderr) << program->strings.errorString() << "\n";
        result.exitCode = 1;
        return result;
    }
    result.exitCode = program->start(arguments);
    if (program->main && result.exitCode == 0) result.session = std::move(program);
    return result;
}

int runProgram(const QStringList& arguments) {
    const ProgramOptions options = ProgramOptions::parse(arguments);
    // Checked before the store reads it: a pipe in its place would hang the program with no
    // window, a device would fill its memory.
    const QString unusable = platform::Settings::fileProblem(platform::Settings::userFile());
    if (!unusable.isEmpty()) {
        QTextStream(stderr) << unusable << "\n";
        QtDialogs().show(unusable, QStringLiteral("Vireka"), platform::Dialogs::Icon::Critical);
        return 1;
    }
    platform::Settings settings;
    StartResult started = startProgram(options.arguments, settings);
    if (!started.session) return started.exitCode;
    frmMain& window = started.session->window();
    QObject::connect(
        &window, &frmMain::fatal, qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    // The first paint is part of starting; the run ends right after it.
    if (options.quitAfterStart) QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    // Closing the main window ends the run.
    QApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}

}  // namespace shell
