#pragma once

#include "platform/settings.h"

#include <QListView>
#include <QModelIndex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QTreeView;

namespace engine {
struct IdentificationState;
}
namespace kb {
class Model;
}

namespace documents {

class DocumentNavigator;

// Opens the document of a species clicked in the species list Liste_Esp or the species tree
// Tree_esp, and keeps the current document for the other document parts. What belongs to
// the main window (its toolbar, the zoom and legend windows, the Forward count) is reached
// through the hooks.
class SpeciesDocuments : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const QString& key)> Enable_Button;
        // Hides (true) or shows the "Contra" toolbar button and the entry right after it.
        std::function<void(bool hidden)> setContraHidden;
        // The command dispatcher's Forward count.
        std::function<void(int steps)> setForwardSteps;
        // Before a species document: hide the zoom and legend windows, empty the page picture
        // and the legend.
        std::function<void()> prepareDocument;
        // Lets pending interface events run; QCoreApplication::processEvents when empty.
        std::function<void()> pendingEvents;
    };

    // values is read at every click, so a change of the documents' source in the options
    // applies to the next one; it and the rest must outlive this object.
    SpeciesDocuments(kb::Model& model, const engine::IdentificationState& ranking,
                     const platform::Settings::Values& values, DocumentNavigator& view, Hooks hooks,
                     QObject* parent = nullptr);

    // The current document.
    QString DocCode;
    QString DocSpecies;
    QString DocFamily;
    QString DocSuffix = QStringLiteral("_en");
    bool ListFocusTaken = false;

    // Wires a list: clicks and keyboard moves open the document of the line, the first hover
    // gives it the focus. Empty lists are left alone.
    void attachList(QListView* list);
    // Wires a tree: a click on a species node opens its document.
    void attachTree(QTreeView* tree);

    void Liste_Esp_Click(QListView* list);
    void Liste_Esp_GotFocus() { ListFocusTaken = true; }
    void Liste_Esp_MouseMove(QListView* list);
    // A node of the tree, as its model gives it: text, key in Qt::UserRole, tag in
    // Qt::UserRole + 1, and the key of its parent.
    void Tree_esp_NodeClick(const QModelIndex& node);

    // The document address rules. separator is "\" from the list, "/" from the tree.
    // The suffix of the document shown: the three characters before a final ".html", "_en"
    // for any other address; an address too short to hold them leaves current.
    static QString suffixFromLocation(const QString& locationUrl, const QString& current);
    static QString localDocumentPath(const QString& docAddress, const QString& code,
                                     const QString& suffix, QChar separator);
    static QString webDocumentAddress(const QString& docAddress, const QString& code,
                                      const QString& suffix);
    static QString errorPagePath(const QString& dataDir, const QString& suffix);
    // "file:///" and a knowledge-base path made local.
    static QString fileUrl(const QString& path);

    // The address of the last document opened, as the rules built it (before a local path
    // is made of it): the document, or the error page when the document was missing.
    QString lastAddress() const { return lastAddress_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openDocument(const QString& code, QChar separator);
    void languageSuffix();
    void prepare(const QString& speciesName);
    bool seekSpecies(const QString& name);
    void pending();

    kb::Model& model_;
    const engine::IdentificationState& ranking_;
    const platform::Settings::Values& values_;
    DocumentNavigator& view_;
    Hooks hooks_;
    QString lastAddress_;
    QPointer<QListView> list_;
    // Compared only: events reach the filter while the list is being destroyed.
    const QObject* listObject_ = nullptr;
    const QObject* viewportObject_ = nullptr;
    int openedRow_ = -1;
    bool busy_ = false;
};

}  // namespace documents
