#include "shell/reportcontent.h"

#include "documents/documentfolders.h"
#include "documents/speciesdocuments.h"
#include "engine/engine.h"
#include "engine/questionlist.h"
#include "kb/basetexts.h"
#include "kb/model.h"
#include "platform/boundedfile.h"
#include "platform/paths.h"
#include "questions/layerstack.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>

namespace shell {

namespace {

constexpr qint64 MaxDocumentBytes = 4 * 1024 * 1024;
constexpr int DrawingWidth = 1200;

QImage drawingImage(const questions::LayerStack& layers) {
    QSizeF natural;
    for (int i = 0; i < layers.size() && natural.isEmpty(); ++i)
        if (!layers.at(i).isNull()) natural = layers.at(i).naturalSize();
    if (natural.isEmpty()) return {};
    const QSize size = natural.scaled(QSizeF(DrawingWidth, DrawingWidth), Qt::KeepAspectRatio)
                           .toSize()
                           .expandedTo(QSize(1, 1));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int i = 0; i < layers.size(); ++i)
        if (!layers.at(i).isNull())
            layers.at(i).paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// The "Code" of a species, read through a cursor of its own: the kept cursor of "Flore"
// stays on the species whose document is open.
QString speciesCode(kb::Model& model, const QString& name) {
    kb::Table flora = model.KnowledgeBase.openTable(QStringLiteral("Flore"));
    if (!flora.isValid()) return {};
    flora.setIndex(QStringLiteral("PrimaryKey"));
    for (flora.moveFirst(); !flora.eof(); flora.moveNext())
        if (flora.field(QStringLiteral("Espece")).toString().compare(name, Qt::CaseInsensitive) ==
            0)
            return flora.field(QStringLiteral("Code")).toString();
    return {};
}

}  // namespace

QString knowledgeBaseName(kb::Model& model, const QString& dataDir, const QString& language) {
    if (!language.isEmpty())
        if (const auto title = kb::BaseTexts::load(model.KnowledgeBase)
                                   .find(language, kb::BaseTexts::Kind::Title, QString()))
            return *title;
    kb::Table parameters = model.KnowledgeBase.openTable(QStringLiteral("Parametres"));
    if (parameters.isValid() && parameters.setIndex(QStringLiteral("PrimaryKey")) &&
        parameters.seek(QStringLiteral("Titre"))) {
        const QString title = parameters.field(QStringLiteral("Etat")).toString().trimmed();
        if (!title.isEmpty()) return title;
    }
    return QDir(platform::toLocalPath(dataDir)).dirName();
}

namespace {

using Lines = std::vector<commands::ReportContent::Line>;

// A paragraph made of links only (a row of navigation) says nothing on paper.
bool onlyLinks(const QTextBlock& block) {
    bool any = false;
    for (auto f = block.begin(); !f.atEnd(); ++f) {
        const QTextFragment fragment = f.fragment();
        if (!fragment.isValid() || fragment.text().trimmed().isEmpty()) continue;
        if (!fragment.charFormat().isAnchor()) return false;
        any = true;
    }
    return any;
}

// The lines a reader sees: one per paragraph, with its heading level, and one per table row
// with its cells joined, so a document's "character: state" tables keep their pairs.
void appendLines(QTextFrame* frame, Lines& lines) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child)) {
                for (int r = 0; r < table->rows(); ++r) {
                    QStringList cells;
                    for (int c = 0; c < table->columns(); ++c) {
                        const QTextTableCell cell = table->cellAt(r, c);
                        if (cell.row() != r || cell.column() != c) continue;  // spanned
                        QStringList inner;
                        for (auto b = cell.begin(); !b.atEnd(); ++b)
                            if (b.currentBlock().isValid() && !onlyLinks(b.currentBlock()))
                                inner << b.currentBlock().text();
                        const QString text = inner.join(QLatin1Char(' ')).simplified();
                        if (!text.isEmpty()) cells << text;
                    }
                    if (!cells.isEmpty()) lines.push_back({0, cells.join(QStringLiteral(": "))});
                }
            } else {
                appendLines(child, lines);
            }
        } else {
            const QTextBlock block = it.currentBlock();
            const QString text = block.text().simplified();
            if (text.isEmpty() || onlyLinks(block)) continue;
            lines.push_back({block.blockFormat().headingLevel(), text});
        }
    }
}

}  // namespace

std::vector<commands::ReportContent::Line> documentLines(const QString& docAddress,
                                                         const QString& path) {
    if (path.isEmpty() || !platform::staysInside(docAddress, path)) return {};
    QByteArray bytes;
    if (!platform::BoundedFile::read(platform::toLocalPath(path), MaxDocumentBytes, &bytes).ok())
        return {};
    // Only the text is read: the document is never laid out, so none of its pictures load.
    // The rich-text reader knows the blocks of older HTML only: the newer ones (nav, section,
    // header...) would run into the text around them.
    static const QRegularExpression newerBlocks(
        QStringLiteral("<(/?)(nav|section|article|header|footer|aside|main|figure|figcaption)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    QString html = QString::fromUtf8(bytes);
    html.replace(newerBlocks, QStringLiteral("<\\1div"));
    // Links side by side with no space between them would read as one word.
    html.replace(
        QRegularExpression(QStringLiteral("</a>"), QRegularExpression::CaseInsensitiveOption),
        QStringLiteral("</a> "));
    QTextDocument document;
    document.setHtml(html);
    Lines lines;
    appendLines(document.rootFrame(), lines);
    return lines;
}

commands::ReportContent gatherReport(kb::Model& model, const engine::Engine& engine,
                                     const platform::Settings::Values& values,
                                     const questions::LayerStack& layers, const QString& docSuffix,
                                     const QString& language) {
    commands::ReportContent content;
    content.date = QDateTime::currentDateTime();
    content.baseName = knowledgeBaseName(model, values.DataDir, language);
    for (const auto& section : engine::questionSections(engine.tables(), engine.state()))
        for (const auto& entry : section.entries)
            if (entry.answered) content.answers.push_back({entry.text, entry.chosenTexts});
    content.ranked = engine.listLines();
    content.drawing = drawingImage(layers);
    const auto& state = engine.state();
    const auto name = [&](int line) {
        const int species = engine.speciesOfLine(line);
        return species >= 0 && size_t(species) < model.SpeciesName.size()
                   ? model.SpeciesName[size_t(species)]
                   : QString();
    };
    // The species at the best percentage: one is the answer, several are a tie to be said.
    QStringList best;
    const int top = std::min<int>(state.TopSpeciesCount, int(state.RankTable.species.size()));
    for (int line = 0; line < std::max(1, top); ++line)
        if (const QString n = name(line); !n.isEmpty()) best << n;
    if (best.size() > 1) {
        content.tiedSpecies = best;
        content.tiedPercent = state.RankPercent.empty() ? 0 : state.RankPercent[0];
    }
    if (engine.listedCount() == 0 || best.size() > commands::ReportTiedDocuments) return content;
    for (const QString& species : best) {
        commands::ReportContent::Document d;
        d.species = species;
        const QString code = speciesCode(model, species);
        if (values.DocSource == QLatin1String("hd") && documents::isPlainCode(code))
            d.lines = documentLines(values.DocAddress,
                                    documents::SpeciesDocuments::localDocumentPath(
                                        values.DocAddress, code, docSuffix, QLatin1Char('/')));
        content.documents.push_back(d);
    }
    return content;
}

}  // namespace shell
