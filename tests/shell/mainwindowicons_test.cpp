#include "mainwindowfixture.h"
#include "shell/iconset.h"

#include <QAction>

// The toolbar and the menus draw the same command with the same picture of the icon set.
TEST_F(MainWindowTest, ToolbarAndMenusShowTheIconSet) {
    ASSERT_TRUE(shell::useIconSet());
    shell::frmMain& w = open();
    const std::pair<int, const char*> toolbar[] = {
        {1, "document-new"},    {2, "document-open"}, {3, "document-save"}, {5, "edit-copy"},
        {6, "document-print"},  {8, "help-browser"},  {14, "go-previous"},  {15, "go-next"},
        {17, "dialog-warning"}, {19, "process-stop"}};
    for (const auto& [entry, name] : toolbar) {
        SCOPED_TRACE(entry);
        QAction* a = w.toolbarEntry(entry);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->icon().name(), QLatin1String(name));
    }
    EXPECT_EQ(w.menuAction("mnuFilePrint")->icon().name(), "document-print");
    EXPECT_EQ(w.menuAction("mnuEditCopy")->icon().name(), "edit-copy");
    EXPECT_EQ(w.menuAction("mnuHelpContents")->icon().name(), "help-browser");
}
