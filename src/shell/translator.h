#pragma once

#include "platform/stringtable.h"

class QWidget;

namespace shell {

// Replaces the string numbers that a window's design carries with the texts of the current
// language of the table. Designs follow these conventions:
// - the window's caption number is its dynamic property "tag" (an int or a numeric text);
// - a QLabel, QAbstractButton or QGroupBox carries its number in the property "tag";
// - a QMenu's title and a menu QAction's text are the number itself;
// - a tab's number is its tabData (or entry i of the tab bar's or tab widget's property
//   "tabTags"), its tooltip may be a number;
// - a toolbar action's text and explicitly set tooltip are numbers;
// - a tree view's header section carries its number in its Qt::UserRole data.
// Every item whose number is missing, not a number or without a string keeps its design text.
// The window and all its child widgets get the font of texts 1200 (family) and 1201 (size,
// only when the language has it).
void translateWindow(QWidget* window, const platform::StringTable& strings);

}  // namespace shell
