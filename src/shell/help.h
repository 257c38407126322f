#pragma once

#include <QString>

namespace shell {

// The help page to open: programDir + "help/index.html", else the compiled help
// programDir + "help\Vireka.chm", else index.html in extraHelpDir (the help folder of the
// source tree, for a program run from its build folder). Empty when none exists.
QString helpPath(const QString& programDir, const QString& extraHelpDir = QString());

// Asks the desktop to open the help page at path; false when it cannot (no program of the
// desktop opens local web pages, or the request failed), so the caller may show it itself.
bool openHelpOnDesktop(const QString& path);

}  // namespace shell
