#include "checkedbase.h"

#include "kb/installation.h"
#include "kb/loader.h"
#include "kbcheck.h"

#include <QSaveFile>
#include <QTextStream>

namespace vkb {

int failCommand(const QString& command, const QString& message, int code) {
    QTextStream(stderr) << "vireka-kb " << command << ": " << message << "\n";
    return code;
}

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

bool CheckedBase::open(const QString& kbDir) {
    kb::InstallationRequest request;
    request.dataDir = kbDir;
    request.programDir = kbDir;
    const auto at = kb::planInstallation(request, &error_);
    if (!at) return false;
    at_ = *at;
    KbCheck checker(at_.DataDir, at_.Base);
    // The tables and data files are what these commands read; the pictures, which only the
    // program and the web site show, are left to 'check' and to the export.
    checker.setFolders(QString(), QString(), QString());
    if (!checker.open()) {
        error_ = checker.errorString();
        return false;
    }
    bool faults = false;
    QTextStream err(stderr);
    for (const QString& finding : checker.run()) {
        err << finding << "\n";
        if (!finding.startsWith(QLatin1String("warning: "))) faults = true;
    }
    if (faults) {
        error_ = QStringLiteral("%1 is not a usable knowledge base").arg(kbDir);
        return false;
    }
    strings_.loadBuiltIn();
    kb::LoadOptions options;
    options.dataDir = at_.DataDir;
    options.databaseName = at_.Base;
    options.text = [this](int k) { return text(k); };
    const kb::LoadResult loaded = kb::loadKnowledgeBase(model_, options);
    if (!loaded.ok()) {
        const QString message =
            loaded.stringId ? text(loaded.stringId).value_or(loaded.message) : loaded.message;
        error_ = QStringLiteral("cannot load the knowledge base: ") + message +
                 (loaded.detail.isEmpty() ? QString() : " (" + loaded.detail + ')');
        return false;
    }
    tables_ = engine::KeyTables::fromModel(model_);
    return true;
}

}  // namespace vkb
