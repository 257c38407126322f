#include "authoring/webexport/webassets.h"

#include "authoring/webexport/webdocuments.h"
#include "authoring/webexport/webinstall.h"
#include "authoring/webexport/webpictures.h"
#include "kb/model.h"
#include "platform/stagedfile.h"
#include "platform/stringtable.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace authoring {

namespace {

bool fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// The click zones in key order, with their conditions as state numbers. A row that can
// never count (no "Fin" among its conditions, or a condition code "Caracteres" lacks) is
// left out: it is passed over before the frames are looked at, so leaving it out changes
// nothing.
QJsonArray clickZones(kb::Model& model) {
    QJsonArray zones;
    kb::Table t = model.ClickZoneTable;
    kb::Table states = model.CharacterTable;
    if (!t.isValid() || !t.setIndex(QStringLiteral("PrimaryKey")) || !states.isValid() ||
        !states.setIndex(QStringLiteral("ID_CARAC")))
        return zones;
    const auto number = [&t](const char* name) { return t.field(QLatin1String(name)).toInt(); };
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        QJsonArray when;
        bool ended = false, possible = true;
        for (int k = 0; k < model.ConstraintCount && !ended && possible; ++k) {
            const QString code = t.field(QStringLiteral("C_%1").arg(k)).toString();
            if (code == QLatin1String("Fin"))
                ended = true;
            else if (!states.seek(code) || states.noMatch())
                possible = false;
            else
                when.append(states.field(QStringLiteral("NUM")).toInt());
        }
        if (!ended || !possible) continue;
        zones.append(QJsonObject{{"object", t.field(QStringLiteral("Nom")).toString()},
                                 {"x1", number("X1")},
                                 {"x2", number("X2")},
                                 {"y1", number("Y1")},
                                 {"y2", number("Y2")},
                                 {"frame", number("Cadre")},
                                 {"testFrame", t.field(QStringLiteral("Test_Cadre")).toBool()},
                                 {"when", when}});
    }
    return zones;
}

// Palette entries as the program sampled them: the colour value 0x00BBGGRR matched exactly
// first, then the nearest of the blue, green and red bytes.
QJsonArray palette(const kb::Model& model) {
    QJsonArray entries;
    const size_t n =
        std::min({model.PaletteColour.size(), model.PaletteBGR.size(), model.PaletteCode.size()});
    for (size_t i = 0; i < n; ++i) {
        const kb::Bgr& c = model.PaletteBGR[i];
        entries.append(QJsonObject{{"colour", qint64(model.PaletteColour[i])},
                                   {"bgr", QJsonArray{c.blue, c.green, c.red}},
                                   {"code", model.PaletteCode[i]}});
    }
    return entries;
}

// The tree of families, species and common names: [key, text, tag, [children]].
QJsonArray treeNodes(const kb::SpeciesTree& tree, const std::vector<int>& indices) {
    QJsonArray nodes;
    for (int i : indices) {
        const kb::SpeciesTree::Node& node = tree.node(i);
        nodes.append(QJsonArray{node.key, node.text, node.tag, treeNodes(tree, node.children)});
    }
    return nodes;
}

// Every interface text of the program's table: {"1500": ["species at", es, fr]}.
bool interfaceTexts(QJsonObject* texts, QString* error) {
    platform::StringTable table;
    if (!table.loadBuiltIn()) return fail(error, table.errorString());
    for (int key = 1000; key < 2000; ++key) {
        QJsonArray three;
        bool any = false;
        for (int language = 0; language < 3; ++language) {
            const auto text = table.text(key, language);
            three.append(text ? QJsonValue(*text) : QJsonValue());
            any = any || text.has_value();
        }
        if (any) texts->insert(QString::number(key), three);
    }
    return true;
}

bool writeScript(const QString& path, const char* variable, const QJsonObject& object,
                 QString* error) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(error, QStringLiteral("cannot create the folder of ") + path);
    const QByteArray script = QByteArray("globalThis.") + variable + " = " +
                              QJsonDocument(object).toJson(QJsonDocument::Compact) + ";\n";
    return platform::writeStagedFile(path, script, error);
}

}  // namespace

bool writeWebAssets(const WebAssetsSource& source, const QString& out, QString* error) {
    if (!source.model) return fail(error, QStringLiteral("no knowledge base to export"));
    kb::Model& model = *source.model;

    QJsonObject texts;
    if (!interfaceTexts(&texts, error) ||
        !writeScript(out + QStringLiteral("/strings/strings.js"), "VIREKA_STRINGS", texts, error))
        return false;

    // The title and the icons the page, its tab and a phone's home screen show.
    const QString title = keyTitle(model);
    if (!QDir().mkpath(out + QStringLiteral("/media")))
        return fail(error, QStringLiteral("cannot create ") + out + QStringLiteral("/media"));
    for (const int side : {192, 512})
        if (!platform::writeStagedFile(out + QStringLiteral("/media/icon-%1.png").arg(side),
                                       keyIcon(source, title, side), error))
            return false;

    // The tree as JSON text, which the page reads when first needed: as script data, a big
    // key's thousands of small lists would be parsed at every start.
    const QString treeText = QString::fromUtf8(
        QJsonDocument(treeNodes(model.Tree, model.Tree.roots())).toJson(QJsonDocument::Compact));
    WebPictures pictures(source, out);
    QJsonObject assets{{"drawing", pictures.drawing()},
                       {"choices", pictures.choices()},
                       {"toolbars", pictures.toolbars()},
                       {"contradictionIcons", pictures.contradictionIcons()},
                       {"zones", clickZones(model)},
                       {"palette", palette(model)},
                       {"treeText", treeText},
                       {"title", title}};
    // The base's texts in other languages; a base in one language has none.
    if (const QJsonObject languages = pictures.languages(); !languages.isEmpty())
        assets.insert("languages", languages);
    if (!pictures.errorString().isEmpty()) return fail(error, pictures.errorString());

    WebDocuments documents(source, out);
    if (!documents.write()) return fail(error, documents.errorString());
    assets.insert("documents", documents.index());
    QJsonArray notes;
    for (const QString& note : pictures.notes() + documents.notes()) notes.append(note);
    assets.insert("notes", notes);
    return writeScript(out + QStringLiteral("/data/assets.js"), "VIREKA_ASSETS", assets, error);
}

}  // namespace authoring
