#include "kb/loader.h"

#include "kb/datafiles.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/textids.h"

#include <cmath>

namespace kb {

namespace {

// The last failure of the loading steps, kept until a checkpoint looks at it.
struct LastError {
    QString detail;
    bool failed() const { return !detail.isEmpty(); }
    void set(const QString& d) { detail = d; }
    void clear() { detail.clear(); }
};

class Loading {
public:
    Loading(Model& m, const LoadOptions& o) : m_(m), o_(o) {}
    LoadResult run();

private:
    void readParameter(const char* key, i16& count);
    bool sized(const char* key, i16 count);
    bool withoutDrawing();
    void readCounts();
    void readPalette();
    void readColourCodes();
    void openKeptTables();
    void readJokerFlags();
    void checkDrawingNumbers();
    void checkClickZoneNumbers();
    void checkFloraRows();
    void readSpeciesNames();
    void buildTree();
    QString dataPath(const char* name) const {
        return platform::joinPath(o_.dataDir, QLatin1String(name));
    }
    std::optional<QString> text(int k) const { return o_.text ? o_.text(k) : std::nullopt; }

    Model& m_;
    const LoadOptions& o_;
    LastError error_;
    QStringList unusable_;  // parameter rows whose value could not be read
};

// The numbers of a question that the program reads as it opens it: an empty one would
// silently read as 0 (frame 0, state 0, a grid of no rows).
const char* firstNullNumber(const Table& objects) {
    for (const char* name : {"Lignes", "Colonnes", "Index_Car", "Nb_Car", "Cadre"}) {
        bool ok = false;
        if (objects.field(QLatin1String(name), &ok).isNull()) return name;
    }
    return nullptr;
}

QString fieldText(const Table& t, const char* field, bool* ok) {
    const QVariant v = t.field(QLatin1String(field), ok);
    if (*ok && v.isNull()) *ok = false;  // a null cannot be taken as a text
    return v.toString();
}

void Loading::readParameter(const char* key, i16& count) {
    if (!m_.WorkTable.seek(QString::fromLatin1(key))) return;  // the count keeps its value
    bool ok = false;
    const QString value = fieldText(m_.WorkTable, "Etat", &ok);
    const auto n = platform::leadingInt16(value);
    if (!ok || !n) {
        // A number too large for 16 bits is said as such, not as a missing value.
        const bool tooLarge = ok && std::abs(platform::leadingNumber(value)) > 32767;
        error_.set(
            tooLarge
                ? QStringLiteral("The \"Parametres\" row \"%1\" value (%2) does not fit in 16 bits")
                      .arg(QLatin1String(key), value)
                : QStringLiteral("The \"Parametres\" row \"%1\" has no usable \"Etat\" value (%2)")
                      .arg(QLatin1String(key), value));
        unusable_ << QLatin1String(key);
        return;
    }
    count = *n;
}

bool Loading::sized(const char* key, i16 count) {
    if (count >= 1) return true;
    if (unusable_.contains(QLatin1String(key))) return false;  // already said why
    error_.set(
        QStringLiteral(
            "The \"Parametres\" row \"%1\" is missing or below 1, so nothing can be sized by it")
            .arg(QLatin1String(key)));
    return false;
}

// A key without a drawing (such as one imported from another format) says so with
// "Nb_Robot" 0; it then needs no palette, no layers and no frames.
bool Loading::withoutDrawing() {
    if (!m_.WorkTable.seek(QStringLiteral("Nb_Robot"))) return false;
    bool ok = false;
    const auto n = platform::leadingInt16(fieldText(m_.WorkTable, "Etat", &ok));
    return ok && n && *n == 0;
}

void Loading::readCounts() {
    const struct {
        const char* key;
        i16& count;
        bool sizesArrays;  // a count that sizes nothing may be missing
    } counts[] = {{"Nb_Esp", m_.SpeciesCount, true},
                  {"Nb_Etats_Desc", m_.StateCount, true},
                  {"Nb_Cadre", m_.FrameCount, true},
                  {"Nb_Robot", m_.DrawingCount, true},
                  {"Nb_But_Car", m_.CharButtonCount, false},
                  {"Nb_But_Deter", m_.DeterButtonCount, false},
                  {"Nb_But_Quest", m_.QuestionButtonCount, false},
                  {"Nb_Contraintes", m_.ConstraintCount, false}};
    for (const auto& c : counts) readParameter(c.key, c.count);
    const bool drawingLess = withoutDrawing();
    for (const auto& c : counts) {
        if (drawingLess && (&c.count == &m_.DrawingCount || &c.count == &m_.FrameCount) &&
            c.count == 0)
            continue;
        if (c.sizesArrays) sized(c.key, c.count);
    }
}

void Loading::readPalette() {
    if (m_.ColourCount == 0 && withoutDrawing()) return;  // nothing to click, no colours
    if (!sized("Nb_Couleurs", m_.ColourCount)) return;
    QImage box = o_.paletteBox;
    if (box.isNull()) {
        QString why;
        const auto picture = platform::Picture::load(dataPath("couleur.wmf"), &why);
        if (picture.isNull()) {
            error_.set(QStringLiteral("The palette picture cannot be read: %1").arg(why));
            box = QImage(QSize(40 * m_.ColourCount, 30), QImage::Format_RGB32);
            box.fill(Qt::white);
        } else {
            box = picture.render(QSize(40 * m_.ColourCount, 30), Qt::white);
        }
    }
    samplePalette(box, m_);
}

void Loading::readColourCodes() {
    m_.PaletteCode.assign(size_t(std::max<int>(0, m_.ColourCount)), QString());
    Table colours = m_.KnowledgeBase.openTable(QStringLiteral("Couleurs"));
    if (!colours.isValid()) {
        error_.set(colours.errorString());
        return;
    }
    for (int i = 1; i <= m_.ColourCount; ++i) {
        colours.seek(i);
        bool ok = false;
        const QVariant v = colours.field(QStringLiteral("Code_Couleur"), &ok);
        if (!ok) {
            error_.set(
                QStringLiteral("The \"Couleurs\" table has no row %1 with a \"Code_Couleur\"")
                    .arg(i));
            continue;
        }
        m_.PaletteCode[size_t(i - 1)] = v.toString();
    }
}

void Loading::openKeptTables() {
    struct Kept {
        Table* table;
        const char* name;
        const char* index;
    };
    const Kept kept[] = {{&m_.HierarchyTable, "Hierarchie", "PrimaryKey"},
                         {&m_.ClickZoneTable, "Clic_Zone", "PrimaryKey"},
                         {&m_.CharacterTable, "Caracteres", "PrimaryKey"},
                         {&m_.FloraTable, "Flore", "PrimaryKey"},
                         {&m_.ObjectTable, "Objets_Fic", "Objet"},
                         {&m_.CommonLanguageTable, "Communs_Langues", "Langue"}};
    for (const Kept& k : kept) {
        *k.table = m_.KnowledgeBase.openTable(QLatin1String(k.name));
        // The index is set only on a table that opened.
        if (!k.table->isValid() || !k.table->setIndex(QLatin1String(k.index)))
            error_.set(k.table->errorString());
    }
    m_.ObjectTable.moveLast();
}

void Loading::readJokerFlags() {
    Table& objects = m_.ObjectTable;
    m_.ObjectCount = objects.recordCount();
    m_.JokerFlag.assign(size_t(m_.ObjectCount), false);
    if (m_.ObjectCount < 1 && objects.isValid()) {
        error_.set(QStringLiteral("The \"Objets_Fic\" table has no row"));
    }
    for (objects.moveFirst(); !objects.eof(); objects.moveNext()) {
        bool okNum = false, okJoker = false;
        const QVariant num = objects.field(QStringLiteral("Desc_Num"), &okNum);
        const QVariant joker = objects.field(QStringLiteral("Joker"), &okJoker);
        const qlonglong n = num.toLongLong();
        if (okNum && num.isNull()) {
            error_.set(QStringLiteral("The \"Objets_Fic\" row \"%1\" has no \"Desc_Num\" value")
                           .arg(objects.field(QStringLiteral("Objet")).toString()));
            continue;
        }
        if (!okNum || n < 0 || n >= m_.ObjectCount) {
            error_.set(QStringLiteral(
                           "The \"Objets_Fic\" row \"%1\" has a \"Desc_Num\" (%2) outside 0 to %3")
                           .arg(objects.field(QStringLiteral("Objet")).toString(), num.toString())
                           .arg(m_.ObjectCount - 1));
            continue;
        }
        if (const char* empty = firstNullNumber(objects)) {
            error_.set(
                QStringLiteral("The \"Objets_Fic\" row \"%1\" has no \"%2\" value")
                    .arg(objects.field(QStringLiteral("Objet")).toString(), QLatin1String(empty)));
            continue;
        }
        if (!okJoker || joker.isNull()) {
            error_.set(QStringLiteral("The \"Objets_Fic\" row \"%1\" has no \"Joker\" value")
                           .arg(objects.field(QStringLiteral("Objet")).toString()));
            continue;
        }
        m_.JokerFlag[size_t(n)] = joker.toLongLong() != 0 || joker.toBool();
    }
    objects.moveFirst();
}

// A drawing number left empty would read as drawing 0 and put a layer where none belongs.
void Loading::checkDrawingNumbers() {
    Table& variants = m_.HierarchyTable;
    if (!variants.isValid()) return;
    int row = 0;
    for (variants.moveFirst(); !variants.eof(); variants.moveNext()) {
        ++row;
        bool ok = false;
        if (variants.field(QStringLiteral("Robot_Num"), &ok).isNull())
            error_.set(
                QStringLiteral("The \"Hierarchie\" row %1 (\"%2\") has no \"Robot_Num\" value")
                    .arg(row)
                    .arg(variants.field(QStringLiteral("Nom")).toString()));
    }
    variants.moveFirst();
}

// Every species ranked needs its row: a "Flore" shorter than "Nb_Esp" would rank species
// with no name, code or document.
// An empty rectangle or frame number would read as 0: a click would then open the question
// of another zone.
void Loading::checkClickZoneNumbers() {
    Table& zones = m_.ClickZoneTable;
    if (!zones.isValid()) return;
    int row = 0;
    for (zones.moveFirst(); !zones.eof(); zones.moveNext()) {
        ++row;
        for (const char* name : {"X1", "Y1", "X2", "Y2", "Cadre", "Test_Cadre"}) {
            bool ok = false;
            if (!zones.field(QLatin1String(name), &ok).isNull()) continue;
            error_.set(
                QStringLiteral("The \"Clic_Zone\" row %1 (\"%2\") has no \"%3\" value")
                    .arg(row)
                    .arg(zones.field(QStringLiteral("Nom")).toString(), QLatin1String(name)));
            break;
        }
    }
    zones.moveFirst();
}

void Loading::checkFloraRows() {
    const Table& flora = m_.FloraTable;
    if (!flora.isValid() || flora.recordCount() >= m_.SpeciesCount) return;
    error_.set(QStringLiteral("The \"Flore\" table has %1 rows where \"Nb_Esp\" counts %2 species")
                   .arg(flora.recordCount())
                   .arg(m_.SpeciesCount));
}

void Loading::readSpeciesNames() {
    m_.SpeciesName.assign(size_t(std::max<int>(0, m_.SpeciesCount)), QString());
    Table& flora = m_.FloraTable;
    const int nameField = flora.fieldIndex(QStringLiteral("Espece"));
    int i = 0;
    for (flora.moveFirst(); !flora.eof() && i < m_.SpeciesCount; flora.moveNext(), ++i)
        m_.SpeciesName[size_t(i)] = flora.fieldAt(nameField).toString();
    flora.moveFirst();
}

// The common names, language by language, each under its language and each species under
// its name. A read that fails adds nothing more.
void addCommonNames(Model& m) {
    Table& languages = m.CommonLanguageTable;
    int k = 0;
    for (languages.moveFirst(); !languages.eof(); languages.moveNext(), ++k) {
        const QString language = languages.field(QStringLiteral("Langue")).toString();
        const QString languageKey = QLatin1Char('S') + language;
        SpeciesTree& tree = m.Tree;
        tree.add(QStringLiteral("Communs"), languageKey, language, QStringLiteral("livre_ferme"),
                 languageKey);
        const int languageNode = tree.find(languageKey);
        Table names = m.KnowledgeBase.openQuery(k);
        const int nameField = names.fieldIndex(QStringLiteral("Nom"));
        const int codeField = names.fieldIndex(QStringLiteral("Code"));
        const int speciesField = names.fieldIndex(QStringLiteral("Espece"));
        const int familyField = names.fieldIndex(QStringLiteral("Famille"));
        const QString book = QStringLiteral("livre_ferme"), page = QStringLiteral("page");
        const QString nameTag = QStringLiteral("Com"), speciesTag = QStringLiteral("Csp");
        tree.reserve(2 * names.recordCount());  // at most a name node and a species node each
        for (names.moveFirst(); !names.eof(); names.moveNext()) {
            const QString name = names.fieldAt(nameField).toString();
            const QString code = names.fieldAt(codeField).toString();
            const QString species = names.fieldAt(speciesField).toString();
            const QString family = names.fieldAt(familyField).toString();
            // A common name met before keeps its first node; the species joins it there.
            int nameNode = tree.find(name);
            if (nameNode < 0) nameNode = tree.addUnder(languageNode, name, name, book, nameTag);
            tree.addUnder(nameNode, code + name, species, page, speciesTag + code + family);
        }
    }
    languages.moveFirst();
}

// The family and species nodes of every "Flore" row, walked with a cursor of its own.
void addFloraNodes(SpeciesTree& tree, Table flora, int familyRoot, int speciesRoot) {
    const int familyField = flora.fieldIndex(QStringLiteral("Famille"));
    const int codeField = flora.fieldIndex(QStringLiteral("Code"));
    const int speciesField = flora.fieldIndex(QStringLiteral("Espece"));
    const QString book = QStringLiteral("livre_ferme"), page = QStringLiteral("page");
    const QString familyTag = QStringLiteral("Fam"), speciesTag = QStringLiteral("Esp");
    tree.reserve(2 * flora.recordCount());  // each species twice; families are few
    for (flora.moveFirst(); !flora.eof(); flora.moveNext()) {
        const QString family = flora.fieldAt(familyField).toString();
        const QString code = flora.fieldAt(codeField).toString();
        const QString species = flora.fieldAt(speciesField).toString();
        // A family met before is the node of that key wherever it is, as adding under its
        // key would find it.
        int familyNode = tree.find(family);
        if (familyNode < 0)
            familyNode = tree.addUnder(familyRoot, family, properCase(family), book, familyTag);
        tree.addUnder(familyNode, code, species, page, speciesTag);
        tree.addUnder(speciesRoot, code + QLatin1Char('S'), species, page, speciesTag + family);
    }
}

void Loading::buildTree() {
    SpeciesTree& tree = m_.Tree;
    tree.clear();
    const struct {
        const char* key;
        int text;
    } roots[] = {{"Familles", TextId::TreeFamilies},
                 {"Espèces", TextId::TreeSpecies},
                 {"Communs", TextId::TreeCommonNames}};
    for (const auto& r : roots) {
        // A root whose text the language lacks is not added, nor anything under it.
        if (const auto t = text(r.text))
            tree.addRoot(QString::fromUtf8(r.key), *t, QStringLiteral("livre_ferme"), QString());
    }
    // Found before anything is deferred: finding reads what is deferred.
    const int familyRoot = tree.find(QStringLiteral("Familles"));
    const int speciesRoot = tree.find(QString::fromUtf8("Espèces"));
    const int commonRoot = tree.find(QStringLiteral("Communs"));
    auto floraNodes = [into = &tree, flora = m_.FloraTable, familyRoot, speciesRoot] {
        addFloraNodes(*into, flora, familyRoot, speciesRoot);
    };
    Model* model = &m_;
    auto commonNames = [model] { addCommonNames(*model); };
    // The tree is first seen in the species view: its branches are read when the user first
    // opens one (or anything reads the tree), flora first and the common names after, in the
    // order they would have been read at once.
    const int first = familyRoot >= 0 ? familyRoot : (speciesRoot >= 0 ? speciesRoot : commonRoot);
    if (first < 0) {
        floraNodes();
        commonNames();
    } else {
        tree.defer(first, floraNodes);
        for (int root : {familyRoot, speciesRoot})
            if (root >= 0 && root != first) tree.defer(root, [] {});  // has children to read
        tree.defer(commonRoot >= 0 ? commonRoot : first, commonNames);
    }
    error_.clear();
}

LoadResult Loading::run() {
    LoadResult result;
    // A tree left from an earlier load reads its deferred names while their base is open.
    m_.Tree.complete();
    const QString dbPath = o_.databasePath.isEmpty()
                               ? platform::joinPath(o_.dataDir, o_.databaseName)
                               : o_.databasePath;
    if (!m_.KnowledgeBase.open(dbPath)) {
        result.failedAt = Checkpoint::Database;
        result.message = dbPath + QStringLiteral(", Erreur N°") +
                         platform::signedSpaceNumber(m_.KnowledgeBase.errorCode());
        result.detail = m_.KnowledgeBase.errorString();
        return result;
    }
    m_.WorkTable = m_.KnowledgeBase.openTable(QStringLiteral("Parametres"));
    if (!m_.WorkTable.isValid()) error_.set(m_.WorkTable.errorString());
    readParameter("Nb_Couleurs", m_.ColourCount);
    readPalette();
    readColourCodes();
    readCounts();
    if (o_.pendingEvents) o_.pendingEvents();
    openKeptTables();
    readJokerFlags();
    checkDrawingNumbers();
    checkClickZoneNumbers();
    checkFloraRows();

    const QString weights = dataPath("POIDS.DAT");
    QString detail;
    auto status = DataFiles::Status::OpenFailed;
    if (!error_.failed()) {
        status = DataFiles::read(weights, size_t(m_.StateCount), m_.StateWeight, &detail);
    }
    if (error_.failed() || status == DataFiles::Status::OpenFailed) {
        result.failedAt = Checkpoint::WeightsOpen;
        result.message = weights;
        result.detail = error_.failed() ? error_.detail : detail;
        result.inTables = error_.failed();
        return result;
    }
    if (status == DataFiles::Status::ReadFailed) {
        result.failedAt = Checkpoint::WeightsRead;
        result.stringId = TextId::WeightsUnreadable;
        result.detail = detail;
        return result;
    }
    readSpeciesNames();
    buildTree();

    const QString matrix = dataPath("MATRICE.DAT");
    status =
        DataFiles::map(matrix, size_t(m_.SpeciesCount) * size_t(m_.StateCount), m_.Matrix, &detail);
    if (status != DataFiles::Status::Ok) {
        result.failedAt = status == DataFiles::Status::OpenFailed ? Checkpoint::MatrixOpen
                                                                  : Checkpoint::MatrixRead;
        if (status == DataFiles::Status::OpenFailed)
            result.message = matrix;
        else
            result.stringId = TextId::MatrixUnreadable;
        result.detail = detail;
    }
    return result;
}

}  // namespace

QString properCase(const QString& text) {
    QString out = text.toLower();
    bool wordStart = true;
    for (QChar& c : out) {
        if (c.isSpace()) {
            wordStart = true;
        } else if (wordStart) {
            c = c.toUpper();
            wordStart = false;
        }
    }
    return out;
}

QPoint paletteSamplePoint(int i, int n, QSize box) {
    const double w = box.width(), h = box.height();
    const double x = w / n / 2 + i * w / n;
    return QPoint(int(platform::roundHalfEven(x)), int(platform::roundHalfEven(h / 2)));
}

void samplePalette(const QImage& box, Model& model) {
    const int n = std::max<int>(0, model.ColourCount);
    model.PaletteColour.assign(size_t(n), 0);
    model.PaletteBGR.assign(size_t(n), Bgr{});
    for (int i = 0; i < n; ++i) {
        const QPoint p = paletteSamplePoint(i, n, box.size());
        // A point outside the box reads as no colour at all, like an invalid pixel.
        std::uint32_t c = 0xFFFFFFFFu;
        if (box.valid(p)) {
            const QRgb rgb = box.pixel(p);
            c = std::uint32_t(qRed(rgb)) | (std::uint32_t(qGreen(rgb)) << 8) |
                (std::uint32_t(qBlue(rgb)) << 16);
        }
        model.PaletteColour[size_t(i)] = c;
        model.PaletteBGR[size_t(i)] = Bgr{std::uint8_t((c >> 16) & 0xFF),
                                          std::uint8_t((c >> 8) & 0xFF), std::uint8_t(c & 0xFF)};
    }
}

LoadResult loadKnowledgeBase(Model& model, const LoadOptions& options) {
    return Loading(model, options).run();
}

}  // namespace kb
