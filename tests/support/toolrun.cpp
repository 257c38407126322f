#include "support/toolrun.h"

#include <QProcess>

namespace testing_support {

ToolRun runTool(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace testing_support
