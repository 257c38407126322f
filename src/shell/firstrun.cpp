#include "shell/firstrun.h"

#include "kb/installation.h"
#include "platform/dialogs.h"
#include "platform/settings.h"
#include "platform/textids.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {

using Icon = platform::Dialogs::Icon;
using Buttons = platform::Dialogs::Buttons;

constexpr int Caption = TextId::AppTitle;
constexpr int UseDemoQuestion = TextId::UseDemoQuestion;
constexpr int DemoUnusable = TextId::DemoUnusable;
constexpr int SettingsUnwritable = TextId::SettingsUnwritable;

}  // namespace

FirstRun offerInstalledDemo(platform::Settings& settings, platform::Dialogs& dialogs,
                            const std::function<QString(int)>& text, const QString& installedDir) {
    if (installedDir.isEmpty()) return FirstRun::NotOffered;
    const QString demo = QDir::cleanPath(QDir(installedDir).filePath(QStringLiteral("demo")));
    if (!QFileInfo(demo).isDir()) return FirstRun::NotOffered;

    const QString caption = text(Caption);
    if (dialogs.ask({text(UseDemoQuestion).arg(demo), caption, Icon::Question, Buttons::YesNo}) !=
        platform::Dialogs::Answer::Yes)
        return FirstRun::Declined;

    kb::InstallationRequest request;
    request.dataDir = demo;
    request.programDir = installedDir;
    QString error;
    const auto plan = kb::planInstallation(request, &error);
    if (!plan) {
        dialogs.ask({text(DemoUnusable).arg(demo, error), caption, Icon::Critical, Buttons::Ok});
        return FirstRun::Failed;
    }
    settings.storeInstallation(*plan);
    if (!settings.sync() || !settings.isInstalled()) {
        dialogs.ask({text(SettingsUnwritable).arg(settings.fileName()), caption, Icon::Critical,
                     Buttons::Ok});
        return FirstRun::Failed;
    }
    return FirstRun::Installed;
}

}  // namespace shell
