#include "checkedbase.h"

#include "engine/tabletexts.h"
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

std::optional<platform::Settings::Installation> plannedBase(const QString& kbDir, QString* error) {
    kb::InstallationRequest request;
    request.dataDir = kbDir;
    request.programDir = kbDir;
    return kb::planInstallation(request, error);
}

bool passesCheck(const platform::Settings::Installation& at, bool pictures, QString* error,
                 QSet<QString>* picturesShown) {
    KbCheck checker(at.DataDir, at.Base);
    if (pictures)
        checker.setFolders(at.DrawingDir, at.DescriptorDir, QString());
    else
        checker.setFolders(QString(), QString(), QString());
    if (!checker.open()) {
        if (error) *error = checker.errorString();
        return false;
    }
    bool ok = true;
    QTextStream err(stderr);
    for (const QString& finding : checker.run()) {
        err << finding << "\n";
        if (!finding.startsWith(QLatin1String("warning: "))) ok = false;
    }
    if (picturesShown) *picturesShown = checker.picturesShown();
    return ok;
}

bool CheckedBase::open(const QString& kbDir) {
    const auto at = plannedBase(kbDir, &error_);
    if (!at) return false;
    at_ = *at;
    // The tables and data files are what these commands read; the pictures, which only the
    // program and the web site show, are left to 'check' and to the export.
    error_.clear();
    if (!passesCheck(at_, false, &error_)) {
        if (error_.isEmpty())
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

void CheckedBase::useLanguage(const QString& language) {
    QString error;
    texts_ = kb::BaseTexts::load(model_.KnowledgeBase, &error);
    if (!error.isEmpty()) QTextStream(stderr) << "warning: " << error << "\n";
    language_ = language;
    const engine::KeyTables own = tables_;
    engine::applyTextLanguage(tables_, own, texts_, language_);
}

bool takeLanguageOption(const QStringList& args, int* i, QString* language, bool* bad) {
    if (args[*i] != QLatin1String("--language")) return false;
    *bad = *i + 1 >= args.size() || args[*i + 1].trimmed().isEmpty();
    if (!*bad) *language = args[++*i].trimmed().toLower();
    return true;
}

}  // namespace vkb
