#pragma once

#include "kb/speciestree.h"

#include <QIcon>
#include <QStringList>

class QListView;
class QTreeView;

namespace documents {

class SpeciesListModel;

// The pictures of the species tree: "livre_ferme" and "livre_ouvert" (a closed and an
// open book) and "page".
QIcon treeIcon(const QString& image);

// Shows the model's tree in the view (roots in the order added, children as kept), in place of
// what it showed. Expanding a branch shows the open book and collapsing it the closed one.
void showSpeciesTree(QTreeView* view, const kb::SpeciesTree& data);

// Shows the species list's lines in the view: every line the same height, so that neither a
// refresh nor a scroll measures the lines that are not painted, and nothing stays selected
// or current when the lines are replaced.
void showSpeciesList(QListView* list, SpeciesListModel* model);

}  // namespace documents
