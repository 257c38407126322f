#include "kbcheck.h"

#include "engine/drawingvariants.h"
#include "kb/measures.h"
#include "platform/boundedfile.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <functional>

namespace vkb {

namespace {

const char* const Parameters[] = {"Nb_Couleurs",  "Nb_Esp",       "Nb_Etats_Desc",
                                  "Nb_Cadre",     "Nb_Robot",     "Nb_But_Car",
                                  "Nb_But_Deter", "Nb_But_Quest", "Nb_Contraintes"};
// Counts that size arrays: below 1 stops the program at start-up.
const QStringList Sizing = {"Nb_Couleurs", "Nb_Esp", "Nb_Etats_Desc", "Nb_Cadre", "Nb_Robot"};

QString fold(const QString& s) {
    return s.toCaseFolded();
}
int number(const kb::Table& t, const QString& field) {
    return t.field(field).toInt();
}
QString text(const kb::Table& t, const QString& field) {
    return t.field(field).toString();
}

// The size of a data file; -1 when it cannot be read at all.
qint64 fileSize(const QString& path) {
    const platform::BoundedFile::Result found = platform::BoundedFile::inspect(path);
    return found.ok() ? found.size : -1;
}

}  // namespace

KbCheck::KbCheck(const QString& dataDir, const QString& base)
    : dataDir_(platform::withTrailingSlash(dataDir)), base_(base) {}

void KbCheck::setFolders(const QString& drawings, const QString& descriptors,
                         const QString& documents) {
    drawings_ = drawings;
    descriptors_ = descriptors;
    documents_ = documents;
}

bool KbCheck::open() {
    // The base is named relative to the data folder, unless by an absolute path.
    const QString path = QDir::isAbsolutePath(base_) ? base_ : dataDir_ + base_;
    if (!db_.open(platform::toLocalPath(path))) {
        error_ = QStringLiteral("cannot open %1: %2").arg(path, db_.errorString());
        return false;
    }
    return true;
}

QStringList KbCheck::run() {
    findings_.clear();
    said_.clear();
    checkParameters();
    checkColoursAndFlora();
    checkStates();
    checkObjects();
    checkConditions(QStringLiteral("Hierarchie"));
    checkConditions(QStringLiteral("Clic_Zone"));
    checkDependencies();
    checkContradictions();
    checkMeasures();
    checkButtons(QStringLiteral("But_Deter"), counts_.value("Nb_But_Deter"), true);
    checkButtons(QStringLiteral("But_Quest"), counts_.value("Nb_But_Quest"), false);
    checkDataFiles();
    checkPictures();
    checkDocuments();
    checkTexts();
    return findings_;
}

void KbCheck::checkParameters() {
    kb::Table t = db_.openTable(QStringLiteral("Parametres"));
    if (!t.isValid()) {
        add(QStringLiteral("Parametres: the table is missing"));
        return;
    }
    QStringList unread;  // already reported
    for (const char* name : Parameters) {
        const QString key = QLatin1String(name);
        if (!t.seek(key)) {
            unread << key;
            counts_.insert(key, 0);
            if (Sizing.contains(key)) add(QStringLiteral("Parametres: no row %1").arg(key));
            continue;
        }
        const auto value = platform::leadingInt16(text(t, QStringLiteral("Etat")));
        if (!value) {
            add(QStringLiteral("Parametres: %1 does not fit in 16 bits").arg(key));
            unread << key;
            counts_.insert(key, 0);
            continue;
        }
        counts_.insert(key, *value);
    }
    // A key without a drawing says so with "Nb_Robot" 0; it then needs no palette, no layers
    // and no frames, as loading allows.
    const bool drawingLess = !unread.contains("Nb_Robot") && counts_.value("Nb_Robot") == 0;
    const QStringList spared = {"Nb_Robot", "Nb_Cadre", "Nb_Couleurs"};
    for (const QString& key : Sizing) {
        if (unread.contains(key) || (drawingLess && spared.contains(key))) continue;
        if (counts_.value(key) < 1)
            add(QStringLiteral("Parametres: %1 is %2").arg(key).arg(counts_.value(key)));
    }
    for (auto it = counts_.cbegin(); it != counts_.cend(); ++it)
        if (it.value() < 0 && !Sizing.contains(it.key()) && !unread.contains(it.key()))
            add(QStringLiteral("Parametres: %1 is %2").arg(it.key()).arg(it.value()));
}

void KbCheck::checkColoursAndFlora() {
    kb::Table colours = db_.openTable(QStringLiteral("Couleurs"));
    for (int i = 1; i <= counts_.value("Nb_Couleurs"); ++i)
        if (!colours.isValid() || !colours.seek(i))
            add(QStringLiteral("Couleurs: no row %1 for palette entry %2").arg(i).arg(i - 1));
    kb::Table flora = db_.openTable(QStringLiteral("Flore"));
    const int rows = flora.isValid() ? flora.recordCount() : 0;
    if (rows != counts_.value("Nb_Esp"))
        add(QStringLiteral("Flore: %1 rows for Nb_Esp = %2")
                .arg(rows)
                .arg(counts_.value("Nb_Esp")));
    for (flora.moveFirst(); flora.isValid() && !flora.eof(); flora.moveNext()) {
        if (text(flora, "Code").size() != 5)
            add(QStringLiteral("Flore: species code '%1' is not five characters long")
                    .arg(text(flora, "Code")));
        // A species of no family has no place among the families of the species tree.
        if (text(flora, "Famille").trimmed().isEmpty())
            add(QStringLiteral("Flore: species '%1' has no family").arg(text(flora, "Code")));
    }
}

void KbCheck::checkStates() {
    kb::Table t = db_.openTable(QStringLiteral("Caracteres"));
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
        const int num = number(t, "NUM");
        const QString code = text(t, "ID_CARAC");
        if (!codeOfState_.contains(num)) codeOfState_.insert(num, code);
        stateCodes_.insert(fold(code));
        exactCodes_.insert(code);
    }
    const int states = counts_.value("Nb_Etats_Desc");
    for (int s = 0; s < states; ++s)
        if (!codeOfState_.contains(s))
            add(QStringLiteral("Caracteres: no row for state %1").arg(s));
}

void KbCheck::checkObjects() {
    kb::Table t = db_.openTable(QStringLiteral("Objets_Fic"));
    const int n = t.isValid() ? t.recordCount() : 0;
    const int states = counts_.value("Nb_Etats_Desc");
    QHash<int, QString> descriptorOwner;  // Desc_Num -> the first object that has it
    int row = 0;
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
        ++row;
        const QString key = text(t, "Objet");
        const int first = number(t, "Index_Car"), count = number(t, "Nb_Car");
        const int desc = number(t, "Desc_Num"), frame = number(t, "Cadre");
        objectKeys_.insert(fold(key));
        objectStates_.insert(fold(key), {first, count});
        // A question without a key cannot be opened by its name, yet the search proposes it.
        if (key.trimmed().isEmpty())
            add(QStringLiteral("Objets_Fic row %1: no Objet key").arg(row));
        const QString at = QStringLiteral("Objets_Fic '%1': ").arg(key);
        // An empty number would read as 0 and an empty flag as false: the program refuses
        // both when it loads.
        bool empty = false;
        for (const char* field :
             {"Lignes", "Colonnes", "Index_Car", "Nb_Car", "Desc_Num", "Cadre", "Joker"}) {
            if (!t.field(QLatin1String(field)).isNull()) continue;
            add(at + QStringLiteral("no %1 value").arg(QLatin1String(field)));
            empty = true;
        }
        if (empty) continue;
        if (desc < 0 || desc >= n)
            add(at + QStringLiteral("Desc_Num %1 is not 0 .. %2").arg(desc).arg(n - 1));
        // The search keeps one proposable flag per descriptor number: of two questions that
        // share one, the flag of the later one decides for both.
        else if (descriptorOwner.contains(desc))
            add(at + QStringLiteral("Desc_Num %1 is already the number of '%2'")
                         .arg(desc)
                         .arg(descriptorOwner.value(desc)));
        else
            descriptorOwner.insert(desc, key);
        if (count < 1 || first < 0 || first + count > states)
            add(at + QStringLiteral("states %1 .. %2 are not all states")
                         .arg(first)
                         .arg(first + count - 1));
        if (frame < -1 || frame >= counts_.value("Nb_Cadre"))
            add(at + QStringLiteral("frame %1 does not exist").arg(frame));
        if (count == 1 && t.field(QStringLiteral("Joker")).toBool())
            add(at + QStringLiteral("a single state, yet the search may propose it"));
    }
}

void KbCheck::checkConditions(const QString& table) {
    kb::Table t = db_.openTable(table);
    const int constraints = counts_.value("Nb_Contraintes");
    int row = 0;
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
        ++row;
        const QString at = QStringLiteral("%1 row %2: ").arg(table).arg(row);
        if (table == QLatin1String("Clic_Zone")) {
            // An empty rectangle or frame reads as 0: the click would open another question.
            for (const char* field : {"X1", "Y1", "X2", "Y2", "Cadre", "Test_Cadre"})
                if (t.field(QLatin1String(field)).isNull())
                    add(at + QStringLiteral("no %1 value").arg(QLatin1String(field)));
        }
        if (table == QLatin1String("Hierarchie")) {
            const int drawing = number(t, "Robot_Num");
            if (t.field(QStringLiteral("Robot_Num")).isNull())
                add(at + QStringLiteral("no Robot_Num value"));
            else if (drawing < 0 || drawing >= counts_.value("Nb_Robot"))
                add(at + QStringLiteral("drawing %1 does not exist").arg(drawing));
        }
        bool ended = false;
        for (int i = 0; i < constraints && !ended; ++i) {
            const QString column = QStringLiteral("C_%1").arg(i);
            if (!t.hasField(column)) {
                add(at + QStringLiteral("no column %1").arg(column));
                break;
            }
            const QString code = text(t, column);
            // An empty condition is said once, at its column: the empty ones after it are
            // the same fault.
            if (code.trimmed().isEmpty()) {
                add(at +
                    QStringLiteral("%1 is empty: the conditions end with \"Fin\"").arg(column));
                ended = true;
                break;
            }
            ended = code == QLatin1String("Fin");
            if (!ended && !stateCodes_.contains(fold(code)))
                add(at + QStringLiteral("state code '%1' is not in Caracteres").arg(code));
        }
        if (!ended) add(at + QStringLiteral("no \"Fin\" among its conditions: it never counts"));
    }
}

void KbCheck::checkDependencies() {
    kb::Table t = db_.openTable(QStringLiteral("Descendance"));
    if (!t.isValid()) {
        add(QStringLiteral("Descendance: the table is missing"));
        return;
    }
    // Validation takes the rows keyed 1 .. row count; any other row is never used.
    const int n = t.recordCount();
    for (int p = 1; p <= n; ++p)
        if (!t.seek(p))
            add(QStringLiteral("Descendance: no row %1 (keys must run 1 .. %2)").arg(p).arg(n));
    std::vector<std::pair<QString, QString>> rows;
    int row = 0;
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        ++row;
        const QString code = text(t, "ID_CARAC"), object = text(t, "Objet");
        // Answers are cleared by the exact code: one that differs only in case clears nothing.
        if (!stateCodes_.contains(fold(code)))
            add(QStringLiteral("Descendance row %1: state code '%2' is not in Caracteres")
                    .arg(row)
                    .arg(code));
        else if (!exactCodes_.contains(code))
            add(QStringLiteral("Descendance row %1: state code '%2' matches Caracteres only "
                               "when case is ignored")
                    .arg(row)
                    .arg(code));
        if (!objectKeys_.contains(fold(object)))
            add(QStringLiteral("Descendance row %1: object '%2' is not in Objets_Fic")
                    .arg(row)
                    .arg(object));
        rows.emplace_back(code, object);
    }
    checkDependencyCycles(rows);
}

// A question depending, through others, on one of its own states would be cleared forever.
void KbCheck::checkDependencyCycles(const std::vector<std::pair<QString, QString>>& rows) {
    QHash<QString, QStringList> children;  // state code -> objects
    for (const auto& [code, object] : rows) children[code] << object;
    QHash<QString, int> mark;  // object: 1 on the path, 2 done
    std::function<bool(const QString&)> visit = [&](const QString& object) {
        const QString key = fold(object);
        if (mark.value(key) == 1) return true;
        if (mark.value(key) == 2) return false;
        mark.insert(key, 1);
        const auto states = objectStates_.value(key, {0, 0});
        for (int s = states.first; s < states.first + states.second; ++s)
            for (const QString& child : children.value(codeOfState_.value(s)))
                if (visit(child)) return true;
        mark.insert(key, 2);
        return false;
    };
    for (const auto& row : rows) {
        if (visit(row.second)) {
            add(QStringLiteral("Descendance: a cycle runs through object '%1'").arg(row.second));
            return;
        }
    }
}

// A question whose "Mesures" rows the program cannot use is asked without its number field.
void KbCheck::checkMeasures() {
    QStringList problems;
    kb::Measures::read(db_, &problems);
    for (const QString& p : problems) add(p);
}

void KbCheck::checkContradictions() {
    kb::Table t = db_.openTable(QStringLiteral("Contradictions"));
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
        const QString key = text(t, "Objet");
        const int button = number(t, "Bouton");
        if (!objectKeys_.contains(fold(key)))
            add(QStringLiteral("Contradictions: object '%1' is not in Objets_Fic").arg(key));
        if (button != -1 && (button < 1 || button > counts_.value("Nb_But_Deter")))
            add(QStringLiteral("Contradictions '%1': button %2 does not exist")
                    .arg(key)
                    .arg(button));
    }
}

void KbCheck::checkButtons(const QString& table, int count, bool keyed) {
    kb::Table t = db_.openTable(table);
    for (int k = 1; k <= count; ++k) {
        if (!t.isValid() || !t.seek(k)) {
            add(QStringLiteral("%1: no row %2").arg(table).arg(k));
            continue;
        }
        const QString file = text(t, "File");
        const QString problem = fileProblem(dataDir_, file, true);
        if (!problem.isEmpty())
            add(QStringLiteral("%1 row %2: picture '%3' %4").arg(table).arg(k).arg(file, problem));
        const QString key = keyed ? text(t, "Key") : QString();
        if (keyed && !objectKeys_.contains(fold(key)) && key != QLatin1String("Search") &&
            key != QLatin1String("Results"))
            add(QStringLiteral("%1 row %2: key '%3' opens nothing").arg(table).arg(k).arg(key));
    }
}

void KbCheck::checkDataFiles() {
    const qint64 states = counts_.value("Nb_Etats_Desc"), species = counts_.value("Nb_Esp");
    const qint64 weightSize = fileSize(platform::toLocalPath(dataDir_ + "POIDS.DAT"));
    const qint64 matrixSize = fileSize(platform::toLocalPath(dataDir_ + "MATRICE.DAT"));
    const auto sizeFinding = [this](const char* name, qint64 size, qint64 expected) {
        if (size < 0)
            add(QStringLiteral("%1 cannot be read").arg(QLatin1String(name)));
        else if (size != expected)
            add(QStringLiteral("%1 holds %2 bytes, %3 expected")
                    .arg(QLatin1String(name))
                    .arg(size)
                    .arg(expected));
    };
    sizeFinding("POIDS.DAT", weightSize, 2 * states);
    sizeFinding("MATRICE.DAT", matrixSize, 2 * states * species);
}

// What keeps the program from using a file the base names: empty when nothing does. A
// picture must also be one the program can read.
QString KbCheck::fileProblem(const QString& folder, const QString& name, bool picture) const {
    const QString path = platform::resolveInside(folder, name);
    if (!name.isEmpty() && path.isEmpty()) return QStringLiteral("leaves its folder");
    if (name.isEmpty() || !QFileInfo(path).isFile()) return QStringLiteral("is missing");
    QString why;
    if (picture && !pictureShown(path, &why))
        return QStringLiteral("cannot be shown (%1)").arg(why);
    return {};
}

// Whether the program can show the picture, with the reason when not. A reason names the
// path the file was read by, so a failure found under another name is read again by it.
bool KbCheck::pictureShown(const QString& path, QString* why) const {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const auto known = picturesRead_.constFind(canonical);
    if (!canonical.isEmpty() && known != picturesRead_.cend() &&
        (known->shown || known->path == path)) {
        *why = known->why;
        return known->shown;
    }
    const bool shown = !platform::Picture::load(path, why).isNull();
    if (!canonical.isEmpty()) picturesRead_.insert(canonical, {path, shown, *why});
    return shown;
}

QSet<QString> KbCheck::picturesShown() const {
    QSet<QString> shown;
    for (auto it = picturesRead_.cbegin(); it != picturesRead_.cend(); ++it)
        if (it->shown) shown.insert(it.key());
    return shown;
}

void KbCheck::checkPictures() {
    // A key without a drawing has no palette to click, and loading asks for none.
    const bool drawingLess = counts_.contains("Nb_Robot") && counts_.value("Nb_Robot") == 0;
    const QString palette = fileProblem(dataDir_, QStringLiteral("couleur.wmf"), true);
    if (!palette.isEmpty() && !drawingLess)
        add(QStringLiteral("couleur.wmf: the palette picture ") + palette);
    if (!descriptors_.isEmpty()) {
        kb::Table t = db_.openTable(QStringLiteral("Objets_Fic"));
        for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
            const QString problem = fileProblem(descriptors_, text(t, "Popup"), true);
            if (!problem.isEmpty())
                add(QStringLiteral("Objets_Fic '%1': picture of choices '%2' %3")
                        .arg(text(t, "Objet"), text(t, "Popup"), problem));
        }
    }
    checkDrawings();
}

// Every layer and mark the program may open, named by its own rules: a variant of a later
// drawing takes the suffix that drawing 0's variant gives it, and the contradiction layers
// take the suffix of drawing 0's variant as it stands.
void KbCheck::checkDrawings() {
    if (drawings_.isEmpty()) return;
    const QString dir = platform::withTrailingSlash(drawings_);
    std::vector<std::pair<int, QString>> variants;
    kb::Table t = db_.openTable(QStringLiteral("Hierarchie"));
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext())
        if (!t.field(QStringLiteral("Robot_Num")).isNull())
            variants.emplace_back(number(t, "Robot_Num"), text(t, "Nom"));
    QStringList layerSuffixes, markSuffixes;
    for (const auto& [drawing, name] : variants) {
        if (drawing != 0) continue;
        QString suffix;
        engine::variantPath(dir, 0, name, suffix);
        if (!layerSuffixes.contains(suffix)) layerSuffixes << suffix;
        if (!markSuffixes.contains(engine::variantSuffix(name)))
            markSuffixes << engine::variantSuffix(name);
    }
    if (layerSuffixes.isEmpty()) layerSuffixes << QString();
    // "'name' what is wrong", once each: missing, leading out of the folder, or unreadable.
    QStringList missing;
    const auto need = [&](const QString& path) {
        const QString name = QString(path.mid(dir.size())).replace(QLatin1Char('\\'), u'/');
        const QString problem = fileProblem(dir, name, true);
        const QString line = QStringLiteral("'%1' %2").arg(name, problem);
        if (!problem.isEmpty() && !missing.contains(line)) missing << line;
    };
    for (const auto& [drawing, name] : variants) {
        for (const QString& given : drawing == 0 ? QStringList{QString()} : layerSuffixes) {
            QString suffix = given;
            need(engine::variantPath(dir, drawing, name, suffix));
        }
    }
    for (const QString& name : missing) add(QStringLiteral("Hierarchie: drawing ") + name);
    missing.clear();
    checkContradictionPictures(dir, markSuffixes, need);
    for (const QString& name : missing) add(QStringLiteral("Contradictions: picture ") + name);
}

void KbCheck::checkContradictionPictures(const QString& dir, const QStringList& suffixes,
                                         const std::function<void(const QString&)>& need) {
    kb::Table marks = db_.openTable(QStringLiteral("Contradictions"));
    kb::Table buttons = db_.openTable(QStringLiteral("But_Deter"));
    if (!marks.isValid()) return;
    QHash<QString, QString> popupOf;  // folded object key -> "Popup"
    std::vector<std::pair<int, QString>> rows;
    for (marks.moveFirst(); !marks.eof(); marks.moveNext()) {
        popupOf.insert(fold(text(marks, "Objet")), text(marks, "Popup"));
        rows.emplace_back(number(marks, "Bouton"), text(marks, "Popup"));
    }
    for (const auto& [button, popup] : rows) {
        if (button == -1) {
            for (const QString& suffix : suffixes)
                need(engine::contradictionLayerPath(dir, popup, suffix));
        } else if (buttons.isValid() && buttons.seek(button)) {
            // A marked button shows the icon of the mark keyed by the button's own key.
            const auto own = popupOf.constFind(fold(text(buttons, "Key")));
            if (own != popupOf.constEnd()) need(engine::contradictionIconPath(dir, *own));
        }
    }
}

void KbCheck::checkDocuments() {
    if (documents_.isEmpty()) return;
    kb::Table t = db_.openTable(QStringLiteral("Flore"));
    for (t.moveFirst(); t.isValid() && !t.eof(); t.moveNext()) {
        const QString c = text(t, "Code").toLower();
        const QString name = c.left(1) + '/' + c + '/' + c + QStringLiteral("_en.html");
        const QString problem = fileProblem(documents_, name, false);
        if (!problem.isEmpty())
            add(QStringLiteral("Flore '%1': document '%2' %3").arg(text(t, "Code"), name, problem));
        checkPagePicture(text(t, "Code"), c.left(1) + '/' + c + '/' + c + QStringLiteral(".gif"));
    }
}

// The zoom works with any size, but a sheet made for the usual page shows another one
// wrongly: worth a word, not a failure.
void KbCheck::checkPagePicture(const QString& code, const QString& name) {
    if (!fileProblem(documents_, name, false).isEmpty()) return;
    QImageReader reader(platform::toLocalPath(platform::joinPath(documents_, name)));
    reader.setDecideFormatFromContent(true);
    // Only a raster picture's header is read: a compressed drawing under that name would be
    // expanded whole to learn its size.
    const QByteArray format = reader.format();
    if (format != "gif" && format != "png" && format != "jpeg")
        return add(QStringLiteral("warning: Flore '%1': page picture '%2' is not a GIF, PNG or "
                                  "JPEG picture")
                       .arg(code, name));
    const QSize size = reader.size();
    if (size != QSize(PageWidth, PageHeight))
        add(QStringLiteral("warning: Flore '%1': page picture '%2' is %3 x %4 pixels, not %5 x %6")
                .arg(code, name)
                .arg(size.width())
                .arg(size.height())
                .arg(PageWidth)
                .arg(PageHeight));
}

}  // namespace vkb
