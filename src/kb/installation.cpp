#include "kb/installation.h"

#include "platform/boundedfile.h"
#include "platform/paths.h"

#include <sqlite3.h>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kb {

QString checkDatabase(const QString& path) {
    if (const auto file = platform::BoundedFile::inspect(path); !file.ok())
        return file.status == platform::BoundedFile::Status::Missing
                   ? QStringLiteral("the database %1 does not exist").arg(path)
                   : QStringLiteral("the database ") + file.errorString;

    sqlite3* db = nullptr;
    const QByteArray name = path.toUtf8();
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QString error;
    if (rc != SQLITE_OK) {
        error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    } else {
        // Opening is lazy: a file that is not a database is found only when it is read.
        sqlite3_stmt* stmt = nullptr;
        rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &stmt, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
        if (rc != SQLITE_OK && rc != SQLITE_ROW) error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    if (error.isEmpty()) return error;
    return QStringLiteral("%1 cannot be read as an SQLite database: %2").arg(path, error);
}

namespace {

bool isWebAddress(const QString& text) {
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QString folderPath(const QDir& base, const QString& folder) {
    return platform::withTrailingSlash(QDir::cleanPath(base.absoluteFilePath(folder)));
}

// One option's value and the folder its relative paths start from.
struct Choice {
    QString value;
    QDir base;
};

std::optional<Choice> choose(const std::optional<QString>& given, const QSettings* ini,
                             const char* key, const QDir& data) {
    if (given) return Choice{*given, QDir::current()};
    const QString name = QLatin1String(key);
    if (ini && ini->contains(name)) return Choice{ini->value(name).toString(), data};
    return std::nullopt;
}

QString checkFolder(const QString& what, const QString& folder) {
    if (QFileInfo(folder).isDir()) return QString();
    return QStringLiteral("the %1 folder %2 does not exist").arg(what, folder);
}

void chooseDocuments(const std::optional<Choice>& documents,
                     platform::Settings::Installation& plan) {
    if (documents && isWebAddress(documents->value)) {
        plan.DocSource = QStringLiteral("http");
        plan.DocAddress = platform::Settings::withFinalSeparator(documents->value, true);
        return;
    }
    plan.DocSource = QStringLiteral("hd");
    plan.DocAddress = !documents || documents->value.isEmpty()
                          ? plan.DataDir
                          : folderPath(documents->base, documents->value);
}

QString checkPlan(const platform::Settings::Installation& plan) {
    const std::pair<const char*, QString> folders[] = {{"program", plan.ProgramDir},
                                                       {"descriptors", plan.DescriptorDir},
                                                       {"drawings", plan.DrawingDir}};
    for (const auto& [what, folder] : folders) {
        const QString error = checkFolder(QLatin1String(what), folder);
        if (!error.isEmpty()) return error;
    }
    if (plan.DocSource == QLatin1String("hd")) {
        const QString error = checkFolder(QStringLiteral("documents"), plan.DocAddress);
        if (!error.isEmpty()) return error;
    }
    return checkDatabase(plan.DataDir + plan.Base);
}

}  // namespace

std::optional<platform::Settings::Installation> planInstallation(const InstallationRequest& request,
                                                                 QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return std::nullopt;
    };
    const QDir data(QDir::current().absoluteFilePath(request.dataDir));
    platform::Settings::Installation plan;
    plan.DataDir = platform::withTrailingSlash(QDir::cleanPath(data.absolutePath()));
    if (const QString e = checkFolder(QStringLiteral("data"), plan.DataDir); !e.isEmpty())
        return fail(e);

    std::optional<QSettings> ini;
    if (QFileInfo(data.filePath(QStringLiteral("setup.ini"))).isFile())
        ini.emplace(data.filePath(QStringLiteral("setup.ini")), QSettings::IniFormat);
    const QSettings* setup = ini ? &*ini : nullptr;

    const auto base = choose(request.base, setup, "base", data);
    plan.Base = base ? base->value : QStringLiteral("kb.sqlite");
    if (plan.Base.isEmpty() || QDir::isAbsolutePath(plan.Base))
        return fail(QStringLiteral("the database must be a file name inside the data folder, "
                                   "not \"%1\"")
                        .arg(plan.Base));

    plan.ProgramDir = folderPath(QDir::current(), request.programDir);
    const auto folderOf = [&](const std::optional<QString>& given, const char* key) {
        const auto c = choose(given, setup, key, data);
        return c ? folderPath(c->base, c->value) : plan.DataDir;
    };
    plan.DescriptorDir = folderOf(request.descriptors, "descriptors");
    plan.DrawingDir = folderOf(request.drawings, "drawings");
    chooseDocuments(choose(request.documents, setup, "documents", data), plan);

    if (const QString e = checkPlan(plan); !e.isEmpty()) return fail(e);
    return plan;
}

}  // namespace kb
