#pragma once

#include <QIcon>
#include <QString>

class QAction;
class QMenuBar;

namespace shell {

// The icon theme the program draws its commands with, whatever the desktop's own theme is,
// so that it looks the same everywhere; the package depends on it.
inline const QString IconTheme = QStringLiteral("Adwaita");

// The name the desktop knows the program by: its desktop entry and its application icon.
inline const QString ApplicationId = QStringLiteral("io.github.vireka.Vireka");

// Ties the program's windows to its desktop entry (so a desktop shows them under its menu
// entry) and gives them the application icon, built into the program.
void useApplicationIcon();

// Makes IconTheme the theme of the program when it is installed; false when it is not (the
// commands then keep the style's pictures).
bool useIconSet();

// The freedesktop name of the icon of a main toolbar button (by its key: "New", "Print",
// "Arriere"...) or of a menu item (by its object name: "mnuFileNew"...); empty for those that
// have none.
QString iconName(const QString& command);

// The theme's icon of a command, or fallback when the theme lacks it.
QIcon commandIcon(const QString& command, const QIcon& fallback = QIcon());

// Gives every menu item of the bar that has an icon name its icon.
void setMenuIcons(const QMenuBar* bar);

}  // namespace shell
