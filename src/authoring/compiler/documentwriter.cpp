#include "authoring/compiler/documentwriter.h"

#include "authoring/compiler/gifwriter.h"
#include "authoring/compiler/platerenderer.h"
#include "platform/stagedfile.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace authoring {

namespace {

// The few words of the documents themselves, per language; English when missing.
QString word(const QString& lang, const char* key) {
    static const QHash<QString, QHash<QString, QString>> words{
        {"fr",
         {{"family", "Famille"},
          {"common", "Noms communs"},
          {"characters", "Caractères"},
          {"sheet", "Planche"},
          {"drawing", "Dessin"},
          {"missing", "Document introuvable"},
          {"missingText",
           "Ce document n'est pas installé. Vérifiez le dossier des documents "
           "dans les options."}}},
        {"es",
         {{"family", "Familia"},
          {"common", "Nombres comunes"},
          {"characters", "Caracteres"},
          {"sheet", "Lámina"},
          {"drawing", "Dibujo"},
          {"missing", "Documento no encontrado"},
          {"missingText",
           "Este documento no está instalado. Compruebe la carpeta de los "
           "documentos en las opciones."}}}};
    static const QHash<QString, QString> english{
        {"family", "Family"},
        {"common", "Common names"},
        {"characters", "Characters"},
        {"sheet", "Drawing sheet"},
        {"drawing", "Drawing"},
        {"missing", "Document not found"},
        {"missingText",
         "This document is not installed. Check the documents folder in the "
         "options."}};
    const QString k = QString::fromLatin1(key);
    return words.value(lang).value(k, english.value(k));
}

const char* kStyle =
    "body{font-family:'DejaVu Sans',Arial,sans-serif;margin:24px 36px;color:#222;"
    "background:#fbf8f1;line-height:1.45}"
    "h1{font-family:'DejaVu Serif',Georgia,serif;font-style:italic;font-weight:normal;"
    "margin:0 0 4px;color:#1d3b4f}"
    ".family{color:#6b5f4b;font-variant:small-caps;letter-spacing:1px;margin-bottom:16px}"
    "h2{font-size:1.05em;color:#1d3b4f;border-bottom:2px solid #d8d2c4;padding-bottom:2px}"
    "table{border-collapse:collapse}td{padding:3px 14px 3px 0;vertical-align:top}"
    "td.q{color:#6b5f4b}nav a{margin-right:18px;color:#2a6f97}";

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString familyName(const QString& family) {
    return family.left(1).toUpper() + family.mid(1).toLower();
}

}  // namespace

QString DocumentWriter::speciesFolder(const QString& code) {
    return code.left(1).toLower() + QLatin1Char('/') + code.toLower();
}

bool DocumentWriter::writeText(const QString& path, const QString& html) {
    return platform::writeStagedFile(path, html.toUtf8(), &m_error);
}

QString DocumentWriter::speciesPage(const Species& s, const QString& lang) const {
    const QString code = s.code.toLower();
    QString h = QStringLiteral(
                    "<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\">"
                    "<title>%2</title><style>%3</style></head><body>\n")
                    .arg(escaped(lang), escaped(s.name), QString::fromLatin1(kStyle));
    h += QStringLiteral("<h1>%1</h1>\n<div class=\"family\">%2 %3</div>\n")
             .arg(escaped(s.name), word(lang, "family"), escaped(familyName(s.family)));
    if (!m_kb.layers.isEmpty())
        h += QStringLiteral(
                 "<nav><a href=\"%1_ds.html\">%2</a><a href=\"dessin_01_%3.html\">%4</a>"
                 "</nav>\n")
                 .arg(escaped(code), word(lang, "sheet"), escaped(lang), word(lang, "drawing"));
    for (const QString& para : s.descriptions.value(lang).split('\n', Qt::SkipEmptyParts))
        h += QStringLiteral("<p>%1</p>\n").arg(escaped(para));
    // A heading stands only over what it heads.
    QString names;
    for (const Language& l : m_kb.languages)
        if (!s.commonNames.value(l.id).isEmpty())
            names += QStringLiteral("<tr><td class=\"q\">%1</td><td>%2</td></tr>\n")
                         .arg(escaped(l.name), escaped(s.commonNames.value(l.id)));
    if (!names.isEmpty())
        h += QStringLiteral("<h2>%1</h2>\n<table>\n").arg(word(lang, "common")) + names +
             QStringLiteral("</table>\n");
    // The states the species shows, in the order of the questions and their states.
    const CharacterWords& words = characterWords();
    std::vector<std::pair<int, int>> shows;
    for (const QString& code : s.shows) {
        const auto found = words.at.constFind(code.toUpper());
        if (found != words.at.cend()) shows.insert(shows.end(), found->begin(), found->end());
    }
    std::sort(shows.begin(), shows.end());
    shows.erase(std::unique(shows.begin(), shows.end()), shows.end());
    QString rows;
    for (size_t i = 0; i < shows.size();) {
        const int q = shows[i].first;
        QStringList shown;
        for (; i < shows.size() && shows[i].first == q; ++i)
            shown << words.labels[size_t(q)][size_t(shows[i].second)];
        rows += QStringLiteral("<tr><td class=\"q\">%1</td><td>%2</td></tr>\n")
                    .arg(words.tips[size_t(q)], shown.join(QStringLiteral(" / ")));
    }
    if (!rows.isEmpty())
        h += QStringLiteral("<h2>%1</h2>\n<table>\n").arg(word(lang, "characters")) + rows +
             QStringLiteral("</table>\n");
    return h + QStringLiteral("</body></html>\n");
}

const DocumentWriter::CharacterWords& DocumentWriter::characterWords() const {
    if (m_words) return *m_words;
    CharacterWords& w = m_words.emplace();
    for (const Question& q : m_kb.questions) {
        const int index = int(w.tips.size());
        w.tips.push_back(escaped(q.tip));
        std::vector<QString>& labels = w.labels.emplace_back();
        for (const State& st : q.states) {
            w.at[st.id.toUpper()].push_back({index, int(labels.size())});
            labels.push_back(escaped(st.label));
        }
    }
    return w;
}

// The page picture at a quarter of its size, its corner at (12, 72) of the document: the
// zoom window maps the pointer back onto the full-size picture from there.
QString DocumentWriter::drawingSheet(const Species& s) const {
    const QString code = s.code.toLower();
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>"
               "<style>body{margin:0;background:#fbf8f1;font-family:'DejaVu Sans',Arial,"
               "sans-serif}#t{position:absolute;left:12px;top:12px;height:48px;font-size:20px;"
               "font-style:italic;color:#1d3b4f;line-height:48px}"
               "#p{position:absolute;left:12px;top:72px;width:%2px;height:%3px;border:0}"
               "</style></head><body>\n<div id=\"t\">%1</div>\n"
               "<img id=\"p\" src=\"%4.gif\" width=\"%2\" height=\"%3\" alt=\"%1\">\n"
               "</body></html>\n")
        // One pass: a name holding "%2" stays as written.
        .arg(escaped(s.name), QString::number(PlateRenderer::kPageWidth / 4),
             QString::number(PlateRenderer::kPageHeight / 4), escaped(code));
}

QString DocumentWriter::drawingPage(const Species& s, const QString& lang) const {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\"><title>%2 - %3"
               "</title><style>%4 img{border:1px solid #d8d2c4;background:#fff}</style></head>"
               "<body>\n<h1>%3</h1>\n<div class=\"family\">%2</div>\n"
               "<img src=\"dessin.png\" width=\"800\" height=\"600\" alt=\"%3\">\n"
               "<p>%5</p>\n<nav><a href=\"%6_%1.html\">%3</a></nav>\n</body></html>\n")
        .arg(escaped(lang), word(lang, "drawing"), escaped(s.name), QString::fromLatin1(kStyle),
             escaped(s.legend), escaped(s.code.toLower()));
}

bool DocumentWriter::writeOne(const Species& s, const QString& folder, bool pagePictures) {
    const QDir dir(folder);
    const QString code = s.code.toLower();
    const bool drawn = !m_kb.layers.isEmpty();
    for (const QString& lang : m_kb.documentLanguages) {
        if (!writeText(dir.filePath(code + QLatin1Char('_') + lang + QStringLiteral(".html")),
                       speciesPage(s, lang)) ||
            (drawn &&
             !writeText(dir.filePath(QStringLiteral("dessin_01_") + lang + QStringLiteral(".html")),
                        drawingPage(s, lang))))
            return false;
    }
    if (!drawn) return true;
    if (!writeText(dir.filePath(code + QStringLiteral("_ds.html")), drawingSheet(s))) return false;
    if (!pagePictures) return true;
    if (!m_plates.drawing(s.shows, QSize(800, 600))
             .save(dir.filePath(QStringLiteral("dessin.png")))) {
        m_error = QStringLiteral("cannot write ") + dir.filePath(QStringLiteral("dessin.png"));
        return false;
    }
    return GifWriter::save(m_plates.page(s), dir.filePath(code + QStringLiteral(".gif")), &m_error);
}

bool DocumentWriter::writeSpecies(const QString& documentFolder, bool pagePictures) {
    for (int index : m_layout.speciesOrder) {
        const Species& s = m_kb.species[index];
        const QString folder = QDir(documentFolder).filePath(speciesFolder(s.code));
        if (!QDir().mkpath(folder)) {
            m_error = QStringLiteral("cannot create ") + folder;
            return false;
        }
        if (!writeOne(s, folder, pagePictures)) return false;
    }
    return true;
}

bool DocumentWriter::writeErrorPages(const QString& dataFolder) {
    for (const QString& lang : {QStringLiteral("en"), QStringLiteral("fr"), QStringLiteral("es")}) {
        const QString html = QStringLiteral(
                                 "<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\">"
                                 "<title>%2</title><style>%3</style></head><body>\n<h1>%2</h1>\n"
                                 "<p>%4</p>\n</body></html>\n")
                                 .arg(lang, word(lang, "missing"), QString::fromLatin1(kStyle),
                                      word(lang, "missingText"));
        if (!writeText(QDir(dataFolder)
                           .filePath(QStringLiteral("error_") + lang + QStringLiteral(".html")),
                       html))
            return false;
    }
    return true;
}

}  // namespace authoring
