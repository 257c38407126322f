#pragma once

#include "kb/speciestree.h"

#include <QIcon>
#include <QStringList>

class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace documents {

// The pictures of the species tree: "livre_ferme" and "livre_ouvert" (a closed and an
// open book) and "page".
QIcon treeIcon(const QString& image);

// Fills the tree from the model's tree: roots in the order added, children as kept. Each
// item carries its key in Qt::UserRole and its tag in Qt::UserRole + 1.
void fillSpeciesTree(QTreeWidget* tree, const kb::SpeciesTree& data);

// Replaces the lines of the species list.
void fillSpeciesList(QListWidget* list, const QStringList& lines);

// Expanding shows the open book and collapsing the closed one, for branch nodes.
void connectBookImages(QTreeWidget* tree);

}  // namespace documents
