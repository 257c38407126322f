#include "shell/menudesign.h"
#include "platform/textids.h"

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
    {.kind = Kind::Menu, .name = "mnuFile", .text = TextId::MenuFile},
    {.name = "mnuFileNew",
     .text = TextId::MenuFileNew,
     .key = key(Qt::CTRL | Qt::Key_N),
     .command = C::FileNew},
    {.name = "mnuFileOpen",
     .text = TextId::MenuFileOpen,
     .key = key(Qt::CTRL | Qt::Key_O),
     .command = C::FileOpen},
    separator,
    {.name = "mnuFileSave",
     .text = TextId::MenuFileSave,
     .key = key(Qt::CTRL | Qt::Key_S),
     .command = C::FileSave,
     .enabled = false},
    {.name = "mnuFileSaveAs", .text = TextId::MenuFileSaveAs, .command = C::FileSaveAs},
    separator,
    {.name = "mnuFilePrint",
     .text = TextId::MenuFilePrint,
     .key = key(Qt::CTRL | Qt::Key_P),
     .command = C::FilePrint},
    {.name = "mnuFilePrintReport",
     .text = TextId::MenuFilePrintReport,
     .command = C::FilePrintReport},
    separator,
    recentFile("mnuFileMRU1"),
    recentFile("mnuFileMRU2"),
    recentFile("mnuFileMRU3"),
    {.kind = Kind::Separator, .visible = false},
    {.name = "mnuFileExit", .text = TextId::MenuFileExit, .command = C::FileExit},

    // Undo and Redo head the menu, as in every editor.
    {.kind = Kind::Menu, .name = "mnuEdit", .text = TextId::MenuEdit},
    {.name = "mnuEditUndo",
     .text = TextId::MenuEditUndo,
     .key = key(Qt::CTRL | Qt::Key_Z),
     .command = C::EditUndo,
     .enabled = false},
    {.name = "mnuEditRedo",
     .text = TextId::MenuEditRedo,
     .key = key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
     .command = C::EditRedo,
     .enabled = false},
    separator,
    {.name = "mnuEditIconize", .text = TextId::MenuEditIconize, .command = C::EditIconize},
    {.name = "mnuEditCopy",
     .text = TextId::MenuEditCopy,
     .key = key(Qt::CTRL | Qt::Key_C),
     .command = C::EditCopy,
     .enabled = false},

    {.kind = Kind::Menu, .name = "mnuView", .text = TextId::MenuView},
    {.name = "mnuViewIdentification",
     .text = TextId::MenuViewIdentification,
     .key = key(Qt::CTRL | Qt::Key_I),
     .command = C::ViewIdentification,
     .checkable = true,
     .checked = true},
    {.name = "mnuViewResults",
     .text = TextId::MenuViewResults,
     .key = key(Qt::CTRL | Qt::Key_R),
     .command = C::ViewResults,
     .checkable = true},
    {.name = "mnuViewSpecies",
     .text = TextId::MenuViewSpecies,
     .key = key(Qt::CTRL | Qt::Key_E),
     .command = C::ViewSpecies,
     .checkable = true},
    separator,
    {.name = "mnuViewQuestions",
     .text = TextId::Questions,
     .key = key(Qt::CTRL | Qt::Key_L),
     .command = C::ViewQuestions,
     .checkable = true,
     .checked = true},
    {.name = "mnuViewSearch",
     .text = TextId::MenuViewProposeQuestion,
     .key = key(Qt::Key_F3),
     .command = C::ViewSearch},
    {.name = "mnuViewCompare", .text = TextId::CompareWith, .command = C::ViewCompare},
    {.name = "mnuViewToolbar",
     .text = TextId::MenuViewToolbar,
     .command = C::ViewToolbar,
     .checkable = true,
     .checked = true},
    {.name = "mnuViewStatusBar",
     .text = TextId::MenuViewStatusBar,
     .command = C::ViewStatusBar,
     .checkable = true,
     .checked = true},
    separator,
    {.name = "mnuViewRefresh",
     .text = TextId::MenuViewRefresh,
     .key = key(Qt::Key_F5),
     .command = C::ViewRefresh},
    {.name = "mnuViewOptions", .text = TextId::MenuViewOptions, .command = C::ViewOptions},

    {.kind = Kind::Menu, .name = "mnuHelp", .text = TextId::MenuHelp},
    {.name = "mnuHelpContents", .text = TextId::MenuHelpContents, .command = C::HelpContents},
    separator,
    {.name = "mnuHelpAbout", .text = TextId::MenuHelpAbout, .command = C::HelpAbout},
};

}  // namespace

std::span<const MenuRow> menuDesign() {
    return rows;
}

}  // namespace shell
