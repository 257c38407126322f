#pragma once

#include <QStringList>
#include <memory>

namespace platform {
class Dialogs;
class Settings;
}  // namespace platform

namespace shell {

class frmMain;

// A program that came up: everything the main window works with, alive for the run.
class Session {
public:
    virtual ~Session() = default;
    virtual frmMain& window() = 0;
};

struct StartResult {
    std::unique_ptr<Session> session;  // null when start-up stopped
    int exitCode = 0;
};

// Program entry up to the main window shown and laid out: language, splash, the second-
// instance question, the settings, the knowledge base with its checkpoints, the first
// refresh, the file named on the command line. Messages go through dialogs (the Qt boxes
// when null).
StartResult startProgram(const QStringList& arguments, platform::Settings& settings,
                         platform::Dialogs* dialogs = nullptr);

// startProgram with the user's settings, then the event loop. Returns the exit code.
int runProgram(const QStringList& arguments);

// The lock held by the running copy of the program. A copy that was killed leaves a stale
// lock, which the next one takes over.
QString instanceLockPath();

// The identification file named on the command line: the arguments after the program's
// name, with one pair of enclosing double quotes dropped; empty when none is named.
QString commandLineFile(const QStringList& arguments);

}  // namespace shell
