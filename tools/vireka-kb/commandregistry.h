#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace vkb {

// Each command of vireka-kb lives in its own file and registers itself here with a static
// Registration object, so main() only dispatches.
struct Command {
    QString summary;  // one line for the usage text
    std::function<int(const QStringList& args)> run;
};

std::map<QString, Command>& commands();

struct Registration {
    Registration(const QString& name, const QString& summary,
                 std::function<int(const QStringList&)> run) {
        commands()[name] = Command{summary, std::move(run)};
    }
};

}  // namespace vkb
