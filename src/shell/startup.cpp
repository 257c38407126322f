#include "shell/startup.h"

#include "engine/engine.h"
#include "engine/keytables.h"
#include "kb/loader.h"
#include "platform/language.h"
#include "platform/settings.h"
#include "platform/stringtable.h"
#include "shell/mainwindow.h"
#include "shell/qtdialogs.h"
#include "shell/splashwindow.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTextStream>

namespace shell {

namespace {

using Icon = platform::Dialogs::Icon;
using Buttons = platform::Dialogs::Buttons;
using Answer = platform::Dialogs::Answer;

// One running copy holds the lock; a killed one leaves a stale lock that the next takes over.
std::unique_ptr<QLockFile> instanceLock()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    auto lock = std::make_unique<QLockFile>(QDir(dir.isEmpty() ? QDir::tempPath() : dir)
                                                .filePath(QStringLiteral("vireka.lock")));
    lock->setStaleLockTime(0);
    return lock;
}

struct Program {
    platform::Settings settings;
    platform::StringTable strings;
    QtDialogs dialogs;
    QString text(int k) const { return strings.textOr(k, QString::number(k)); }

    // A fatal message: the text alone, the default caption, no icon; the program ends.
    int Erreur_Fatale(const QString& message, const QString& details = QString())
    {
        if (!details.isEmpty()) QTextStream(stderr) << message << "\n" << details << "\n";
        dialogs.ask({message, QString(), Icon::None, Buttons::Ok}, details);
        return 1;
    }
    int stopWith(int stringId, const QString& details = QString(), Icon icon = Icon::None)
    {
        if (!details.isEmpty()) QTextStream(stderr) << details << "\n";
        dialogs.ask({text(stringId), text(1050), icon, Buttons::Ok}, details);
        return 1;
    }
};

int loadFailure(Program& p, const kb::LoadResult& r)
{
    if (r.stringId != 0) return p.stopWith(r.stringId, r.detail);
    return p.Erreur_Fatale(r.message, r.detail);
}

}  // namespace

QString commandLineFile(const QStringList& arguments)
{
    QString line = arguments.mid(1).join(QLatin1Char(' '));
    if (line.startsWith(QLatin1Char('"'))) line = line.mid(1).chopped(line.size() > 1 ? 1 : 0);
    return line;
}

int runProgram(const QStringList& arguments)
{
    Program p;
    if (!p.strings.loadBuiltIn()) {
        QTextStream(stderr) << p.strings.errorString() << "\n";
        return 1;
    }
    const platform::Language language = platform::Language::choose(p.settings.languageSetting());
    p.strings.setLanguageCode(language.LanguageCode);
    p.dialogs.setDefaultTitle(QStringLiteral("Vireka"));

    frmSplash splash(p.settings, p.strings);
    splash.showSplash();

    std::unique_ptr<QLockFile> lock = instanceLock();
    if (!lock->tryLock(0)) {
        if (p.dialogs.ask({p.text(1067), p.text(1050), Icon::Warning, Buttons::YesNo}) != Answer::Yes)
            return 0;
        p.dialogs.ask({p.text(1068), p.text(1050), Icon::Information, Buttons::Ok});
    }
    const auto values = p.settings.read();
    if (!values) return p.stopWith(1073, QString(), Icon::Critical);

    kb::Model model;
    kb::LoadOptions options;
    options.dataDir = values->DataDir;
    options.databasePath = values->DatabasePath;
    options.paletteBox = splash.paletteImage();
    options.text = [&p](int k) { return p.strings.text(k); };
    options.pendingEvents = [] { QCoreApplication::processEvents(); };
    const kb::LoadResult loaded = kb::loadKnowledgeBase(model, options);
    if (!loaded.ok()) return loadFailure(p, loaded);

    QString tablesError;
    engine::Engine engine(model, engine::KeyTables::fromModel(model, &tablesError), p.dialogs,
                          [&p](int k) { return p.strings.text(k); },
                          engine::EngineSettings{values->DataDir, values->DrawingDir, values->ListThreshold});
    if (!tablesError.isEmpty()) QTextStream(stderr) << tablesError << "\n";

    frmMain window(ProgramContext{model, engine, p.strings, p.settings, p.dialogs, *values,
                                  language.LanguageCode});
    p.dialogs.setOwner(&window);
    if (!window.load()) return 1;
    const QString file = commandLineFile(arguments);
    if (!file.isEmpty()) window.dispatcher().Traiter_Fichier(QStringLiteral("Open"), file);

    window.ViewMode = 1;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) window.setGeometry(screen->availableGeometry());
    window.show();
    window.Dispose_Fenetre();
    splash.setMainWindow(&window);
    splash.close();
    QObject::connect(&window, &frmMain::fatal, qApp, [] { QCoreApplication::exit(1); },
                     Qt::QueuedConnection);
    return QApplication::exec();
}

}  // namespace shell
