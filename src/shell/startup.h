#pragma once

#include <QStringList>

namespace shell {

// The program from its entry to the end of its event loop: language, splash, the main
// window's load with every checkpoint, the first layout. Returns the exit code.
int runProgram(const QStringList& arguments);

// The identification file named on the command line: the arguments after the program's
// name, with one pair of enclosing double quotes dropped; empty when none is named.
QString commandLineFile(const QStringList& arguments);

}  // namespace shell
