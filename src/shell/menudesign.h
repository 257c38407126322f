#pragma once

#include <QKeyCombination>
#include <span>

namespace shell {

// What a menu item does; the main window carries each one out.
enum class MenuCommand {
    None,  // separators, titles and the recent-file places
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FilePrint,
    FilePrintReport,
    FileExit,
    EditUndo,
    EditRedo,
    EditIconize,
    EditCopy,
    ViewIdentification,
    ViewResults,
    ViewSpecies,
    ViewQuestions,
    ViewSearch,
    ViewCompare,
    ViewToolbar,
    ViewStatusBar,
    ViewRefresh,
    ViewOptions,
    HelpContents,
    HelpAbout,
};

// One row of the menu bar's design, in the order the rows appear: a Menu row opens a menu on
// the bar, the rows after it fill it.
struct MenuRow {
    enum class Kind { Menu, Item, Separator };
    Kind kind = Kind::Item;
    const char* name = nullptr;  // the object name tests and the window look items up by
    int text = 0;                // the string number of the caption; 0: no caption
    int key = 0;                 // the shortcut as a combined key code; 0: none
    MenuCommand command = MenuCommand::None;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;  // at start; the window offers Save, Copy, Undo... as they apply
    bool visible = true;
};

// The menu bar of the main window, row by row.
std::span<const MenuRow> menuDesign();

}  // namespace shell
