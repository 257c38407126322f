#pragma once

#include <QString>

namespace shell {

// The help page to open: programDir + "help/index.html", else the compiled help
// programDir + "help\Vireka.chm", else index.html in extraHelpDir (the help folder of the
// source tree, for a program run from its build folder). Empty when none exists.
QString helpPath(const QString& programDir, const QString& extraHelpDir = QString());

// Asks the system to open the help page. Nothing is said when there is none or it cannot
// be opened.
void openHelp(const QString& programDir, const QString& extraHelpDir = QString());

}  // namespace shell
