#pragma once

#include <QString>
#include <QStringList>

namespace testing_support {

// One run of a command-line tool as a real process.
struct ToolRun {
    int exitCode = -1;  // -1 when it did not finish in time
    QString out, err;
};

ToolRun runTool(const QString& program, const QStringList& args, int timeoutMs = 120000);

}  // namespace testing_support
