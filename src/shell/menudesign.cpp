#include "shell/menudesign.h"

namespace shell {

namespace {

using Kind = MenuRow::Kind;
using C = MenuCommand;

constexpr int key(QKeyCombination combination) {
    return combination.toCombined();
}

constexpr MenuRow separator{.kind = Kind::Separator};

// The recent-file places have no caption and no command: they stay out of sight, with the
// separator after them.
constexpr MenuRow recentFile(const char* name) {
    return {.name = name, .visible = false};
}

constexpr MenuRow rows[] = {
    {.kind = Kind::Menu, .name = "mnuFile", .text = 1000},
    {.name = "mnuFileNew", .text = 1001, .key = key(Qt::CTRL | Qt::Key_N), .command = C::FileNew},
    {.name = "mnuFileOpen", .text = 1002, .key = key(Qt::CTRL | Qt::Key_O), .command = C::FileOpen},
    separator,
    {.name = "mnuFileSave",
     .text = 1003,
     .key = key(Qt::CTRL | Qt::Key_S),
     .command = C::FileSave,
     .enabled = false},
    {.name = "mnuFileSaveAs", .text = 1004, .command = C::FileSaveAs},
    separator,
    {.name = "mnuFilePrint",
     .text = 1006,
     .key = key(Qt::CTRL | Qt::Key_P),
     .command = C::FilePrint},
    {.name = "mnuFilePrintReport", .text = 1702, .command = C::FilePrintReport},
    separator,
    recentFile("mnuFileMRU1"),
    recentFile("mnuFileMRU2"),
    recentFile("mnuFileMRU3"),
    {.kind = Kind::Separator, .visible = false},
    {.name = "mnuFileExit", .text = 1007, .command = C::FileExit},

    // Undo and Redo head the menu, as in every editor.
    {.kind = Kind::Menu, .name = "mnuEdit", .text = 1008},
    {.name = "mnuEditUndo",
     .text = 1642,
     .key = key(Qt::CTRL | Qt::Key_Z),
     .command = C::EditUndo,
     .enabled = false},
    {.name = "mnuEditRedo",
     .text = 1643,
     .key = key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
     .command = C::EditRedo,
     .enabled = false},
    separator,
    {.name = "mnuEditIconize", .text = 1009, .command = C::EditIconize},
    {.name = "mnuEditCopy",
     .text = 1010,
     .key = key(Qt::CTRL | Qt::Key_C),
     .command = C::EditCopy,
     .enabled = false},

    {.kind = Kind::Menu, .name = "mnuView", .text = 1011},
    {.name = "mnuViewIdentification",
     .text = 1012,
     .key = key(Qt::CTRL | Qt::Key_I),
     .command = C::ViewIdentification,
     .checkable = true,
     .checked = true},
    {.name = "mnuViewResults",
     .text = 1013,
     .key = key(Qt::CTRL | Qt::Key_R),
     .command = C::ViewResults,
     .checkable = true},
    {.name = "mnuViewSpecies",
     .text = 1014,
     .key = key(Qt::CTRL | Qt::Key_E),
     .command = C::ViewSpecies,
     .checkable = true},
    separator,
    {.name = "mnuViewQuestions",
     .text = 1640,
     .key = key(Qt::CTRL | Qt::Key_L),
     .command = C::ViewQuestions,
     .checkable = true,
     .checked = true},
    {.name = "mnuViewSearch", .text = 1646, .key = key(Qt::Key_F3), .command = C::ViewSearch},
    {.name = "mnuViewCompare", .text = 1820, .command = C::ViewCompare},
    {.name = "mnuViewToolbar",
     .text = 1015,
     .command = C::ViewToolbar,
     .checkable = true,
     .checked = true},
    {.name = "mnuViewStatusBar",
     .text = 1016,
     .command = C::ViewStatusBar,
     .checkable = true,
     .checked = true},
    separator,
    {.name = "mnuViewRefresh", .text = 1017, .key = key(Qt::Key_F5), .command = C::ViewRefresh},
    {.name = "mnuViewOptions", .text = 1018, .command = C::ViewOptions},

    {.kind = Kind::Menu, .name = "mnuHelp", .text = 1019},
    {.name = "mnuHelpContents", .text = 1020, .command = C::HelpContents},
    separator,
    {.name = "mnuHelpAbout", .text = 1022, .command = C::HelpAbout},
};

}  // namespace

std::span<const MenuRow> menuDesign() {
    return rows;
}

}  // namespace shell
