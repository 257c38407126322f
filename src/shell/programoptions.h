#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// The command line: the program's own options, then an identification file to open.
struct ProgramOptions {
    bool help = false;
    // Start exactly as usual, then leave with status 0 once the window is shown and laid out.
    bool quitAfterStart = false;
    // The program's name and the words that name the file, without the options.
    QStringList arguments;

    // Words meant for the browser engine ("--no-sandbox", "--webEngineArgs" and what follows)
    // are left to it and are not part of the file's name.
    static ProgramOptions parse(const QStringList& arguments);
    static QString usage();
};

}  // namespace shell
