#include "authoring/import/sourcewriter.h"

#include "authoring/compiler/measuresyntax.h"
#include "authoring/import/datasetfiles.h"
#include "authoring/import/importtext.h"
#include "platform/stagedfile.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace authoring {

namespace {

const char* kToolbar =
    "button deter \"Search\" key Search icon search colour #2a6f97 tip \"Propose the most useful "
    "question\"\n"
    "button deter \"Results\" key Results icon results colour #2a6f97 tip \"Show the ranked "
    "species\"\n";
const char* kQuestionBar =
    "button question \"Confirm\" icon ok colour #3d7a4a tip \"Confirm the answer\"\n"
    "button question \"Cancel\" icon cancel colour #a33b2f tip \"Leave the question\"\n"
    "button question \"Skip\" icon skip colour #6b5f4b tip \"Propose another question\"\n";

// Keys that differ only in case are one key in a knowledge base; the question toolbar's
// colours cycle through a few calm ones.
const char* kButtonColours[] = {"#3d7a4a", "#8a5a9e", "#b07a2a", "#3a78b8", "#7a5230"};

// A button's caption: the first words of the question, its remarks in parentheses left out.
// Captions already given are not repeated ("culms (whether woody)" and "(mature) culms"):
// the remarks' words are kept, and past that the button's number is added.
QString caption(QString text, int number, QSet<QString>& used) {
    static const QRegularExpression remarks(QStringLiteral("\\([^)]*\\)"));
    QString c = importtext::capitalised(
        QString(text).remove(remarks).simplified().section(QLatin1Char(' '), 0, 1).left(14));
    if (c.isEmpty() || used.contains(c.toLower()))
        c = importtext::capitalised(text.remove(QLatin1Char('('))
                                        .remove(QLatin1Char(')'))
                                        .simplified()
                                        .section(QLatin1Char(' '), 0, 1)
                                        .left(14));
    if (c.isEmpty() || used.contains(c.toLower()))
        c = QStringLiteral("%1 %2").arg(c.left(11)).arg(number).trimmed();
    used.insert(c.toLower());
    return c;
}

// The ranges of a numeric question's states as the source writes them, so that a value can
// be typed; none when the dataset's key states overlap (they are kept as written), as a
// typed value must choose one state.
QStringList measureRanges(const PlannedQuestion& q) {
    if (!q.numeric) return {};
    QList<kb::MeasureRange> ranges;
    QStringList out;
    for (const PlannedState& st : q.states) {
        if (!st.bounds) return {};
        kb::MeasureRange r;
        if (std::isfinite(st.bounds->low)) r.low = st.bounds->low;
        if (std::isfinite(st.bounds->high)) r.high = st.bounds->high;
        r.lowIncluded = st.bounds->lowIncluded;
        r.highIncluded = st.bounds->highIncluded;
        for (const kb::MeasureRange& other : ranges)
            if (other.overlaps(r)) return {};
        if (!authoring::measuresyntax::parseRange(authoring::measuresyntax::rangeText(r)))
            return {};
        ranges << r;
        out << authoring::measuresyntax::rangeText(r);
    }
    return out;
}

}  // namespace

QString SourceWriter::quoted(const QString& text) {
    QString t = text.simplified();
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

namespace {
// The languages of common names other than English, in the order the dataset first gives them.
QString commonLanguages(const ImportPlan& plan) {
    QString s;
    QStringList languages{QStringLiteral("en")};
    for (const PlannedSpecies& sp : plan.species)
        for (const auto& [language, name] : sp.commonNames)
            if (!languages.contains(language))
                languages << language, s += QStringLiteral("language %1 %2\n")
                                                .arg(language, SourceWriter::quoted(language));
    return s.isEmpty() ? s : s + QLatin1Char('\n');
}
}  // namespace

QString SourceWriter::text(const ImportPlan& plan, const QString& origin,
                           const QStringList& pictures) {
    QString s;
    s += QStringLiteral(
             "# Imported from %1 by vireka-kb import; edit and rebuild with vireka-kb build.\n")
             .arg(origin);
    s += QStringLiteral("title %1\ndocuments en\nlanguage en \"English\"\ncolour paper #ffffff\n\n")
             .arg(quoted(plan.title));
    s += commonLanguages(plan);
    int picture = 0;
    for (const PlannedQuestion& q : plan.questions) {
        s += QStringLiteral("question %1 %2\n  grid %3 %4\n  weight %5\n")
                 .arg(q.key, quoted(q.text))
                 .arg(q.rows)
                 .arg(q.columns)
                 .arg(q.weight);
        if (!q.group.isEmpty()) s += QStringLiteral("  group %1\n").arg(quoted(q.group));
        if (!q.conditions.isEmpty())
            s += QStringLiteral("  requires ") + q.conditions.join(QLatin1Char(' ')) +
                 QLatin1Char('\n');
        const QStringList ranges = measureRanges(q);
        if (!ranges.isEmpty()) s += QStringLiteral("  measure %1\n").arg(quoted(q.unit));
        for (qsizetype k = 0; k < q.states.size(); ++k) {
            const PlannedState& st = q.states[k];
            s += QStringLiteral("  state %1 %2").arg(st.key, quoted(st.label));
            const QString file = pictures.value(picture++);
            if (!file.isEmpty()) s += QStringLiteral(" image ") + file;
            if (!ranges.isEmpty()) s += QStringLiteral(" range ") + ranges[k];
            s += QLatin1Char('\n');
        }
    }
    s += QLatin1Char('\n');
    for (const PlannedSpecies& sp : plan.species) {
        s += QStringLiteral("species %1 %2\n  family %3\n")
                 .arg(sp.code, quoted(sp.name), quoted(sp.family));
        for (const auto& [language, name] : sp.commonNames)
            s += QStringLiteral("  common %1 %2\n").arg(language, quoted(name));
        for (const QString& line : sp.description.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            s += QStringLiteral("  text en %1\n").arg(quoted(line));
        for (qsizetype i = 0; i < sp.shows.size(); i += 12)
            s += QStringLiteral("  shows ") + sp.shows.mid(i, 12).join(QLatin1Char(' ')) +
                 QLatin1Char('\n');
        for (qsizetype i = 0; i < sp.uncodedQuestions.size(); i += 12)
            s += QStringLiteral("  uncoded ") +
                 sp.uncodedQuestions.mid(i, 12).join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    // The key has no drawing of its own: its questions are asked from the questions panel,
    // which takes the drawing's place.
    s += QLatin1Char('\n') + QString::fromLatin1(kToolbar);
    QSet<QString> captions;
    for (int i = 0; i < std::min<int>(kToolbarQuestions, int(plan.questions.size())); ++i) {
        const PlannedQuestion& q = plan.questions[i];
        s += QStringLiteral("button deter %1 key %2 colour %3 tip %4\n")
                 .arg(quoted(caption(q.text, i + 1, captions)), q.key,
                      QString::fromLatin1(kButtonColours[i % 5]),
                      quoted(q.help.isEmpty() ? q.text : q.text + QStringLiteral(": ") + q.help));
    }
    return s + QString::fromLatin1(kQuestionBar) + translations(plan);
}

// The dataset's other languages, one "texts" block each, for what the dataset words in them.
QString SourceWriter::translations(const ImportPlan& plan) {
    QStringList languages = plan.titles.keys();
    QStringList groups;  // headings some question is listed under, in the order first met
    for (const PlannedQuestion& q : plan.questions) {
        languages += q.texts.keys();
        for (const PlannedState& st : q.states) languages += st.texts.keys();
        if (plan.groupTexts.contains(q.group) && !groups.contains(q.group)) groups << q.group;
    }
    for (const QString& g : std::as_const(groups)) languages += plan.groupTexts.value(g).keys();
    languages.removeDuplicates();
    languages.sort();
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
    QString s;
    for (const QString& language : std::as_const(languages)) {
        if (!tag.match(language).hasMatch()) continue;  // not a tag a file may be named by
        s += QStringLiteral("\ntexts %1\n").arg(language);
        if (plan.titles.contains(language))
            s += QStringLiteral("  title %1\n").arg(quoted(plan.titles.value(language)));
        for (const QString& g : std::as_const(groups))
            if (const QString t = plan.groupTexts.value(g).value(language); !t.isEmpty())
                s += QStringLiteral("  group %1 %2\n").arg(quoted(g), quoted(t));
        for (const PlannedQuestion& q : plan.questions) {
            if (q.texts.contains(language))
                s += QStringLiteral("  question %1 %2\n")
                         .arg(q.key, quoted(q.texts.value(language)));
            for (const PlannedState& st : q.states)
                if (st.texts.contains(language))
                    s += QStringLiteral("  state %1 %2\n")
                             .arg(st.key, quoted(st.texts.value(language)));
        }
    }
    return s;
}

// The state's own picture, cut to its region and made small enough for a cell; a picture
// that cannot be read is noted and the state shows its text instead.
QString SourceWriter::statePicture(const PlannedState& s, const QString& folder) {
    if (s.picture.isEmpty()) return {};
    // The states of one character usually share its picture: it is decoded once.
    if (s.picture != m_pictureDecoded) {
        m_pictureDecoded = s.picture;
        m_pictureError.clear();
        m_picture = datasetfiles::readPicture(s.picture, m_pictureError);
    }
    const QString& error = m_pictureError;
    QImage image = m_picture;
    if (image.isNull()) {
        m_notes << QStringLiteral("state %1: picture %2 cannot be read%3")
                       .arg(s.key, s.picture,
                            error.isEmpty() ? QString()
                                            : QStringLiteral(" (") + error + QLatin1Char(')'));
        return {};
    }
    if (!s.region.isEmpty()) {
        const QRect part = s.region.intersected(image.rect());
        if (part.isEmpty()) {
            m_notes << QStringLiteral("state %1: its region lies outside %2").arg(s.key, s.picture);
            return {};
        }
        image = image.copy(part);
    }
    if (image.width() > kPictureSide || image.height() > kPictureSide)
        image =
            image.scaled(kPictureSide, kPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QString name = s.key.toLower() + QStringLiteral(".png");
    QDir().mkpath(folder + QStringLiteral("/pictures"));
    if (!image.save(folder + QStringLiteral("/pictures/") + name, "png")) {
        m_error = QStringLiteral("cannot write %1/pictures/%2").arg(folder, name);
        return {};
    }
    return name;
}

bool SourceWriter::write(const ImportPlan& plan, const QString& origin, const QString& folder) {
    if (!QDir().mkpath(folder)) return (m_error = QStringLiteral("cannot create ") + folder, false);
    QStringList pictures;
    for (const PlannedQuestion& q : plan.questions)
        for (const PlannedState& s : q.states) {
            pictures << statePicture(s, folder);
            if (!m_error.isEmpty()) return false;
        }
    return platform::writeStagedFile(folder + QStringLiteral("/kb.txt"),
                                     text(plan, origin, pictures).toUtf8(), &m_error);
}

}  // namespace authoring
