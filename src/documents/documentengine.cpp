#include "documents/documentengine.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace documents {

namespace {

const char kDisableSandbox[] = "QTWEBENGINE_DISABLE_SANDBOX";
const char kChromiumFlags[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// A sandbox setting of the user's own is left alone, whichever way it goes.
bool sandboxSettingGiven(const QStringList& arguments) {
    const QString noSandbox = QStringLiteral("--no-sandbox");
    return qEnvironmentVariableIsSet(kDisableSandbox) ||
           qEnvironmentVariable(kChromiumFlags).split(QLatin1Char(' ')).contains(noSandbox) ||
           arguments.contains(noSandbox);
}

// The first of the places the engine looks for a file that holds one, else the first place.
QString firstExisting(const QStringList& candidates, bool executable) {
    for (const QString& c : candidates) {
        const QFileInfo info(c);
        if (info.isFile() && (!executable || info.isExecutable())) return c;
    }
    return candidates.value(0);
}

QString programFolder() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

}  // namespace

QString prepareDocumentEngine(const QStringList& arguments) {
    if (geteuid() != 0 || sandboxSettingGiven(arguments)) return QString();
    qputenv(kDisableSandbox, "1");
    return QStringLiteral(
        "vireka: running as root, so the document viewer runs without its sandbox (its engine "
        "refuses to start as root otherwise). Run Vireka as an ordinary user to keep it.");
}

// An environment variable names the file outright; otherwise the engine looks in Qt's
// installation, then in the program's own folder.
EngineProblem documentEngineProblem() {
    QString program = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (program.isEmpty())
        program =
            firstExisting({QDir(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath))
                               .filePath(QStringLiteral("QtWebEngineProcess")),
                           QDir(programFolder()).filePath(QStringLiteral("QtWebEngineProcess"))},
                          true);
    const QFileInfo programInfo(program);
    if (!programInfo.isFile() || !programInfo.isExecutable())
        return {EngineProblem::HelperMissing, QDir::toNativeSeparators(program)};

    const QString pak = QStringLiteral("qtwebengine_resources.pak");
    const QString resourcesDir = qEnvironmentVariable("QTWEBENGINE_RESOURCES_PATH");
    const QString resources =
        !resourcesDir.isEmpty() ? QDir(resourcesDir).filePath(pak)
                                : firstExisting({QDir(QLibraryInfo::path(QLibraryInfo::DataPath))
                                                     .filePath(QStringLiteral("resources/") + pak),
                                                 QDir(programFolder()).filePath(pak)},
                                                false);
    if (!QFileInfo(resources).isFile())
        return {EngineProblem::ResourcesMissing, QDir::toNativeSeparators(resources)};
    return {};
}

void drawDocumentsInSoftware() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QMLSCENE_DEVICE") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    // Once chosen it stays: asking again after the first view only earns a warning.
    if (QQuickWindow::graphicsApi() == QSGRendererInterface::Software) return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

}  // namespace documents
