#pragma once

#include <QString>
#include <functional>

namespace platform {
class Dialogs;
class Settings;
}  // namespace platform

namespace shell {

enum class FirstRun {
    NotOffered,  // no demo knowledge base was installed with the program
    Declined,    // the user said No
    Installed,   // the settings now name the installed demo
    Failed,      // the demo or the settings failed; the user was told why
};

// A program installed from a package starts with no settings. When its shared data holds a
// demo knowledge base (installedDir/demo), the user is offered to use it; on Yes the settings
// are written as the installer writes them, with installedDir as the program folder that
// holds help/. An empty installedDir offers nothing.
FirstRun offerInstalledDemo(platform::Settings& settings, platform::Dialogs& dialogs,
                            const std::function<QString(int)>& text, const QString& installedDir);

}  // namespace shell
