#include "shell/iconset.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>

namespace shell {

namespace {

struct Named {
    const char* command;
    const char* icon;
};
// One picture per command, the same in the toolbar and in the menus.
const Named commandIcons[] = {
    {"New", "document-new"},
    {"mnuFileNew", "document-new"},
    {"Open", "document-open"},
    {"mnuFileOpen", "document-open"},
    {"Save", "document-save"},
    {"mnuFileSave", "document-save"},
    {"mnuFileSaveAs", "document-save-as"},
    {"Print", "document-print"},
    {"mnuFilePrint", "document-print"},
    {"mnuFileExit", "application-exit"},
    {"Copy", "edit-copy"},
    {"mnuEditCopy", "edit-copy"},
    {"mnuViewRefresh", "view-refresh"},
    {"mnuViewOptions", "preferences-system"},
    {"mnuHelpAbout", "help-about"},
    {"Help", "help-browser"},
    {"mnuHelpContents", "help-browser"},
    {"Arriere", "go-previous"},
    {"Avant", "go-next"},
    {"Contra", "dialog-warning"},
    {"Stop", "process-stop"},
};

bool themeInstalled(const QString& theme) {
    for (const QString& dir : QIcon::themeSearchPaths()) {
        if (QFileInfo(QDir(dir).filePath(theme + QStringLiteral("/index.theme"))).isFile())
            return true;
    }
    return false;
}

}  // namespace

bool useIconSet() {
    // Platforms without a desktop theme (offscreen, a bare X server) search only the
    // program's resources; the themes of the system lie in the usual data folders.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                   QStandardPaths::LocateDirectory)) {
        if (!paths.contains(dir)) paths << dir;
    }
    QIcon::setThemeSearchPaths(paths);
    if (!themeInstalled(IconTheme)) return false;
    QIcon::setThemeName(IconTheme);
    return true;
}

void useApplicationIcon() {
    QGuiApplication::setDesktopFileName(ApplicationId);
    // The installed icon is this same picture. Asking the themes for it would first read
    // the index of every theme searched, the largest of them thousands of lines long.
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/vireka/vireka.svg")));
}

QString iconName(const QString& command) {
    for (const Named& n : commandIcons) {
        if (command == QLatin1String(n.command)) return QLatin1String(n.icon);
    }
    return QString();
}

QIcon commandIcon(const QString& command, const QIcon& fallback) {
    const QString name = iconName(command);
    if (name.isEmpty() || !QIcon::hasThemeIcon(name)) return fallback;
    return QIcon::fromTheme(name);
}

void setMenuIcons(const QMenuBar* bar) {
    for (QAction* action : bar->findChildren<QAction*>()) {
        const QIcon icon = commandIcon(action->objectName());
        if (!icon.isNull()) action->setIcon(icon);
    }
}

}  // namespace shell
