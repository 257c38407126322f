#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAbstractItemView;
class QListView;
class QPoint;
class QTreeView;
class QWidget;

namespace authoring {
class KeyMatrix;
}
namespace documents {
class DocumentView;
}
namespace engine {
class Engine;
}
namespace platform {
class Dialogs;
}

namespace shell {

// The "Compare with..." command: from a species chosen in the list or the tree, the user
// picks one to four others, and the table of their questions is shown in the document view,
// where it prints as any document does. The page is written to a folder of its own, which
// the document view is allowed to read.
class SpeciesComparer : public QObject {
    Q_OBJECT
public:
    using Texts = std::function<QString(int key)>;
    SpeciesComparer(engine::Engine& engine, QListView* list, QTreeView* tree,
                    documents::DocumentView* view, platform::Dialogs& dialogs, Texts texts,
                    QWidget* window);
    ~SpeciesComparer() override;

    // The folder the comparison pages are written to.
    QString folder() const { return folder_.path(); }
    // The species chosen in the list or the tree, whichever is shown; -1 when none.
    int chosenSpecies() const;
    // Asks for the others, then shows the comparison; nothing when no species is chosen or
    // the user cancels.
    void compareChosen();
    // Shows the comparison of these species (two to five); false when it cannot be written.
    bool show(const std::vector<int>& species, bool withAgreeing);
    // The species a tree item stands for; -1 for a family, a name or a root.
    int speciesOfTreeItem(const QString& key, const QString& tag) const;

    // Chooses the others in a dialog: the species' indices, nothing when cancelled. Tests
    // replace it to script the user's choice.
    struct Choice {
        std::vector<int> others;
        bool withAgreeing = false;
    };
    std::function<std::optional<Choice>(int species)> choose;

private:
    std::optional<Choice> chooseInDialog(int species);
    void contextMenu(QAbstractItemView* view, const QPoint& at);
    const authoring::KeyMatrix& matrix() const;

    engine::Engine& engine_;
    QListView* list_;
    QTreeView* tree_;
    documents::DocumentView* view_;
    platform::Dialogs& dialogs_;
    Texts texts_;
    QWidget* window_;
    mutable std::unique_ptr<authoring::KeyMatrix> matrix_;
    QTemporaryDir folder_;
    int pages_ = 0;
};

}  // namespace shell
