#include "documents/speciesdocuments.h"

#include "documents/documentfolders.h"
#include "documents/documentnavigator.h"
#include "engine/identificationstate.h"
#include "kb/loader.h"
#include "kb/model.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QScopedValueRollback>
#include <QTreeView>
#include <QUrl>

namespace documents {

namespace {

const QString Espece = QStringLiteral("Espece");

// The leading decimal number of a text, blanks before it ignored; 0 when there is none.
double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int end = 0;
    while (end < t.size() && (t[end].isDigit() || t[end] == QLatin1Char('.') ||
                              (end == 0 && (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')))))
        ++end;
    return t.left(end).toDouble();
}

int lineCount(const QListView* list) {
    return list->model() ? list->model()->rowCount() : 0;
}

int selectedLine(const QListView* list) {
    const QItemSelectionModel* selection = list->selectionModel();
    if (!selection) return -1;
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

}  // namespace

SpeciesDocuments::SpeciesDocuments(kb::Model& model, const engine::IdentificationState& ranking,
                                   const platform::Settings::Values& values,
                                   DocumentNavigator& view, Hooks hooks, QObject* parent)
    : QObject(parent),
      model_(model),
      ranking_(ranking),
      values_(values),
      view_(view),
      hooks_(std::move(hooks)) {}

QString SpeciesDocuments::suffixFromLocation(const QString& locationUrl, const QString& current) {
    // A blank view shows no document whose language could be followed.
    if (locationUrl.isEmpty() || locationUrl == QLatin1String("about:blank")) return current;
    if (!locationUrl.endsWith(QLatin1String(".html"))) return QStringLiteral("_en");
    if (locationUrl.size() < 8) return current;
    const QString suffix = locationUrl.mid(locationUrl.size() - 8, 3);
    // A species' drawing sheet ("code_ds.html") is in no language: taking its "_ds" would
    // send the next species to its sheet instead of its document.
    if (suffix.compare(QLatin1String("_ds"), Qt::CaseInsensitive) == 0) return current;
    return suffix;
}

QString SpeciesDocuments::localDocumentPath(const QString& docAddress, const QString& code,
                                            const QString& suffix, QChar separator) {
    const QString c = code.toLower();
    return docAddress + c.left(1) + separator + c + separator + c + suffix + QLatin1String(".html");
}

QString SpeciesDocuments::webDocumentAddress(const QString& docAddress, const QString& code,
                                             const QString& suffix) {
    const QString c = code.toLower();
    return docAddress + c.left(1) + QLatin1Char('/') + c + QLatin1Char('/') + c + suffix +
           QLatin1String(".html");
}

QString SpeciesDocuments::errorPagePath(const QString& dataDir, const QString& suffix) {
    return dataDir + QLatin1String("error") + suffix + QLatin1String(".html");
}

QString SpeciesDocuments::fileUrl(const QString& path) {
    return QUrl::fromLocalFile(platform::toLocalPath(path)).toString();
}

void SpeciesDocuments::openDocument(const QString& code, QChar separator) {
    // A code that would lead out of the documents folder names no document of ours.
    if (!isPlainCode(code)) {
        lastAddress_ = errorPagePath(values_.DataDir, DocSuffix);
        view_.Navigate2(fileUrl(lastAddress_), DocumentNavigator::NavLocalDocument);
        return;
    }
    if (values_.DocSource != QLatin1String("hd")) {
        // A missing web document is left to the view.
        lastAddress_ = webDocumentAddress(values_.DocAddress, code, DocSuffix);
        view_.Stop();
        view_.Navigate2(lastAddress_, DocumentNavigator::NavNoHistory);
        return;
    }
    const QString path = localDocumentPath(values_.DocAddress, code, DocSuffix, separator);
    // A document that is not there shows the error page of its language, not a browser
    // error; one that exists but cannot be read is left to the view. A code that leads out
    // of the documents' folder names no document.
    if (!platform::staysInside(values_.DocAddress, path) ||
        !QFileInfo::exists(platform::toLocalPath(path))) {
        lastAddress_ = errorPagePath(values_.DataDir, DocSuffix);
        view_.Navigate2(fileUrl(lastAddress_), DocumentNavigator::NavLocalDocument);
        return;
    }
    lastAddress_ = path;
    view_.Stop();
    view_.Navigate2(fileUrl(path), DocumentNavigator::NavLocalDocument);
}

void SpeciesDocuments::languageSuffix() {
    DocSuffix = suffixFromLocation(view_.LocationURL(), DocSuffix);
}

bool SpeciesDocuments::seekSpecies(const QString& name) {
    kb::Table& flora = model_.FloraTable;
    auto found = [&] {
        return flora.hasCurrentRow() &&
               flora.field(Espece).toString().compare(name, Qt::CaseInsensitive) == 0;
    };
    // The species name is the primary key of most bases; others number their rows and may
    // index the name. Whatever the key, the row must be the species'.
    if (flora.setIndex(QStringLiteral("PrimaryKey")) && flora.seek(name) && found()) return true;
    if (flora.setIndex(Espece) && flora.seek(name) && found()) return true;
    flora.setIndex(QStringLiteral("PrimaryKey"));
    for (flora.moveFirst(); !flora.eof(); flora.moveNext())
        if (found()) return true;
    return false;
}

void SpeciesDocuments::prepare(const QString& speciesName) {
    if (hooks_.prepareDocument) hooks_.prepareDocument();
    seekSpecies(speciesName);
}

void SpeciesDocuments::pending() {
    if (hooks_.pendingEvents)
        hooks_.pendingEvents();
    else
        QCoreApplication::processEvents();
}

void SpeciesDocuments::Liste_Esp_Click(QListView* list) {
    // An empty list names no species: nothing is opened.
    if (!list || lineCount(list) == 0 || busy_) return;
    const QScopedValueRollback<bool> guard(busy_, true);
    languageSuffix();
    int i = selectedLine(list);
    if (i < 0) i = 0;
    bool contraHidden = true;
    const QModelIndex lineIndex = list->model()->index(i, 0);
    const QString line = lineIndex.data().toString();
    const qsizetype percentAt = line.indexOf(QLatin1Char('%'));
    prepare(line.mid(percentAt + 4));

    // A species that cannot be found opens no document of its own (the error page).
    const kb::Table& flora = model_.FloraTable;
    QString code;
    if (flora.hasCurrentRow()) {
        code = flora.field(QStringLiteral("Code")).toString();
        const QString family = flora.field(QStringLiteral("Famille")).toString();
        DocFamily = family.left(1).toUpper() + family.mid(1).toLower();
        DocSpecies = flora.field(Espece).toString();
    }
    DocCode = code;

    const std::int64_t best = ranking_.RankPercent.empty() ? 0 : ranking_.RankPercent[0];
    if (percentAt >= 0 && leadingNumber(line.left(percentAt)) != 100 && best > 0)
        contraHidden = false;
    if (hooks_.Enable_Button) hooks_.Enable_Button(QStringLiteral("Stop"));
    if (hooks_.setContraHidden) hooks_.setContraHidden(contraHidden);
    pending();
    if (hooks_.setForwardSteps) hooks_.setForwardSteps(0);
    openDocument(code, QLatin1Char('\\'));
    openedRow_ = i;
    if (list->isVisible() && lineIndex.isValid()) list->setCurrentIndex(lineIndex);
}

void SpeciesDocuments::Liste_Esp_MouseMove(QListView* list) {
    if (ListFocusTaken || !list) return;
    list->setFocus();
    ListFocusTaken = true;
}

void SpeciesDocuments::Tree_esp_NodeClick(const QModelIndex& node) {
    if (!node.isValid() || busy_) return;
    const QScopedValueRollback<bool> guard(busy_, true);
    const QString tag = node.data(Qt::UserRole + 1).toString();
    const QString key = node.data(Qt::UserRole).toString();
    const QString kind = tag.left(3);
    if (kind != QLatin1String("Esp") && kind != QLatin1String("Csp")) return;

    if (hooks_.Enable_Button) hooks_.Enable_Button(QStringLiteral("Stop"));
    languageSuffix();
    const QString text = node.data().toString();
    prepare(text);
    QString code;
    if (kind == QLatin1String("Csp")) {
        DocFamily = kb::properCase(tag.mid(8));
        const QString c = tag.mid(3, 5);
        code = c.left(1).toUpper() + c.mid(1).toLower();
    } else if (key.size() == 6) {  // a species under "Espèces": its code and "S"
        DocFamily = kb::properCase(tag.mid(3));
        code = key.left(5);
    } else {  // a species under its family
        if (node.parent().isValid())
            DocFamily = kb::properCase(node.parent().data(Qt::UserRole).toString());
        code = key;
    }
    DocSpecies = text;
    DocCode = code;
    if (hooks_.setForwardSteps) hooks_.setForwardSteps(0);
    openDocument(code, QLatin1Char('/'));
}

void SpeciesDocuments::attachList(QListView* list) {
    list_ = list;
    listObject_ = list;
    viewportObject_ = list->viewport();
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    list->viewport()->setMouseTracking(true);
    connect(list, &QListView::clicked, this, [this, list] { Liste_Esp_Click(list); });
}

void SpeciesDocuments::attachTree(QTreeView* tree) {
    connect(tree, &QTreeView::clicked, this,
            [this](const QModelIndex& node) { Tree_esp_NodeClick(node); });
}

bool SpeciesDocuments::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove && watched == viewportObject_) {
        Liste_Esp_MouseMove(list_);
    } else if (type == QEvent::FocusIn && watched == listObject_) {
        Liste_Esp_GotFocus();
    } else if (type == QEvent::KeyRelease && watched == listObject_ && list_) {
        // A line reached with the keyboard opens its document, as a click does.
        const QModelIndex current = list_->currentIndex();
        const int row = current.isValid() ? current.row() : -1;
        if (row >= 0 && row != openedRow_ && list_->selectionModel()->isSelected(current))
            Liste_Esp_Click(list_);
    }
    return false;
}

}  // namespace documents
