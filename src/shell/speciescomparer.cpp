#include "shell/speciescomparer.h"

#include "authoring/evaluation/keymatrix.h"
#include "authoring/evaluation/speciescomparison.h"
#include "documents/documentview.h"
#include "documents/speciestreemodel.h"
#include "engine/engine.h"
#include "platform/dialogs.h"
#include "platform/textids.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace shell {

SpeciesComparer::SpeciesComparer(engine::Engine& engine, QListView* list, QTreeView* tree,
                                 documents::DocumentView* view, platform::Dialogs& dialogs,
                                 Texts texts, QWidget* window)
    : QObject(window),
      engine_(engine),
      list_(list),
      tree_(tree),
      view_(view),
      dialogs_(dialogs),
      texts_(std::move(texts)),
      window_(window) {
    choose = [this](int species) { return chooseInDialog(species); };
    for (QAbstractItemView* v :
         {static_cast<QAbstractItemView*>(list), static_cast<QAbstractItemView*>(tree)}) {
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(v, &QWidget::customContextMenuRequested, this,
                [this, v](const QPoint& at) { contextMenu(v, at); });
    }
}

SpeciesComparer::~SpeciesComparer() = default;

// Its tables cost a pass over the whole matrix: built when a species is first compared, not
// while the window starts.
const authoring::KeyMatrix& SpeciesComparer::matrix() const {
    if (!matrix_)
        matrix_ = std::make_unique<authoring::KeyMatrix>(engine_.model(), engine_.tables());
    return *matrix_;
}

int SpeciesComparer::speciesOfTreeItem(const QString& key, const QString& tag) const {
    QString code;
    if (tag.startsWith(QLatin1String("Esp")))
        code = tag.size() > 3 && key.endsWith(QLatin1Char('S')) ? key.chopped(1) : key;
    else if (tag.startsWith(QLatin1String("Csp")))
        code = tag.mid(3, 5);
    if (code.isEmpty()) return -1;
    for (int s = 0; s < matrix().speciesCount(); ++s)
        if (matrix().speciesCode(s).compare(code, Qt::CaseInsensitive) == 0) return s;
    return -1;
}

int SpeciesComparer::chosenSpecies() const {
    if (list_->isVisible()) {
        const QModelIndex i = list_->currentIndex();
        return i.isValid() ? engine_.speciesOfLine(i.row()) : -1;
    }
    if (tree_->isVisible()) {
        const QModelIndex i = tree_->currentIndex();
        if (!i.isValid()) return -1;
        return speciesOfTreeItem(i.data(documents::SpeciesTreeModel::KeyRole).toString(),
                                 i.data(documents::SpeciesTreeModel::TagRole).toString());
    }
    return -1;
}

void SpeciesComparer::contextMenu(QAbstractItemView* view, const QPoint& at) {
    const QModelIndex index = view->indexAt(at);
    if (!index.isValid()) return;
    view->setCurrentIndex(index);
    if (chosenSpecies() < 0) return;
    QMenu menu(view);
    QAction* compare = menu.addAction(texts_(TextId::CompareWith));
    connect(compare, &QAction::triggered, this, &SpeciesComparer::compareChosen);
    menu.exec(view->viewport()->mapToGlobal(at));
}

void SpeciesComparer::compareChosen() {
    const int species = chosenSpecies();
    if (species < 0) {
        dialogs_.show(texts_(TextId::CompareChooseFirst));
        return;
    }
    const auto choice = choose(species);
    if (!choice || choice->others.empty()) return;
    std::vector<int> all{species};
    all.insert(all.end(), choice->others.begin(), choice->others.end());
    show(all, choice->withAgreeing);
}

bool SpeciesComparer::show(const std::vector<int>& species, bool withAgreeing) {
    if (int(species.size()) < authoring::MinCompared ||
        int(species.size()) > authoring::MaxCompared)
        return false;
    authoring::ComparisonTexts t;
    t.title = texts_(TextId::CompareTitle);
    t.differ = texts_(TextId::CompareDiffer);
    t.agree = texts_(TextId::CompareAgree);
    t.question = texts_(TextId::CompareQuestion);
    t.uncoded = texts_(TextId::CompareNotCoded);
    t.anyState = texts_(TextId::CompareAnyState);
    t.separates = texts_(TextId::CompareSeparates);
    const QString html = authoring::comparisonHtml(
        matrix(), authoring::compareSpecies(matrix(), species, t), withAgreeing, t);
    // A new name each time, so the view never shows an older page from its cache.
    const QString path = folder_.filePath(QStringLiteral("comparison-%1.html").arg(++pages_));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.flush())
        return false;
    file.close();
    view_->Navigate2(QUrl::fromLocalFile(path).toString(), 2);
    return true;
}

std::optional<SpeciesComparer::Choice> SpeciesComparer::chooseInDialog(int species) {
    QDialog dialog(window_);
    dialog.setWindowTitle(QString(texts_(TextId::CompareWith)).remove(QLatin1Char('&')));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label =
        new QLabel(texts_(TextId::CompareChoose).arg(matrix().speciesName(species)), &dialog);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    auto* names = new QListWidget(&dialog);
    for (int s = 0; s < matrix().speciesCount(); ++s) {
        if (s == species) continue;
        auto* item = new QListWidgetItem(matrix().speciesName(s), names);
        item->setData(Qt::UserRole, s);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    names->sortItems();
    layout->addWidget(names);
    auto* agreeing = new QCheckBox(texts_(TextId::CompareShowAgreeing), &dialog);
    layout->addWidget(agreeing);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    auto checked = [names] {
        std::vector<int> others;
        for (int i = 0; i < names->count(); ++i)
            if (names->item(i)->checkState() == Qt::Checked)
                others.push_back(names->item(i)->data(Qt::UserRole).toInt());
        return others;
    };
    connect(names, &QListWidget::itemChanged, &dialog, [&] {
        const auto n = checked().size();
        ok->setEnabled(n >= 1 && int(n) < authoring::MaxCompared);
    });
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.resize(420, 480);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return Choice{checked(), agreeing->isChecked()};
}

}  // namespace shell
