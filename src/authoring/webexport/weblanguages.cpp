#include "authoring/webexport/webpictures.h"
#include "kb/basetexts.h"
#include "kb/model.h"

#include <QFileInfo>
#include <QJsonArray>

namespace authoring {

namespace {

using Kind = kb::BaseTexts::Kind;

QJsonArray pictureSize(QSize size) {
    return QJsonArray{size.width(), size.height()};
}

QJsonValue textOrNull(const kb::BaseTexts& texts, const QString& language, Kind kind,
                      const QString& key) {
    const auto found = texts.find(language, kind, key);
    return found ? QJsonValue(*found) : QJsonValue();
}

QJsonArray buttonTexts(kb::Model& model, const kb::BaseTexts& texts, const QString& language,
                       bool questionBar) {
    QJsonArray out;
    const int count = questionBar ? model.QuestionButtonCount : model.DeterButtonCount;
    for (int k = 1; k <= count; ++k) {
        const QString key = kb::BaseTexts::buttonKey(questionBar, k);
        out.append(QJsonObject{{"caption", textOrNull(texts, language, Kind::Caption, key)},
                               {"tip", textOrNull(texts, language, Kind::TipText, key)}});
    }
    return out;
}

}  // namespace

// Each picture of choices drawn in a language, beside the base's own.
QJsonObject WebPictures::localChoices(const QString& language) {
    QJsonObject result;
    kb::Table t = source_.model->ObjectTable;
    if (!t.isValid()) return result;
    int n = 0;
    for (t.moveFirst(); !t.eof(); t.moveNext(), ++n) {
        const QString local =
            kb::BaseTexts::languageFileName(t.field(QStringLiteral("Popup")).toString(), language);
        if (!QFileInfo(source_.descriptorDir + local).isFile()) continue;
        QSize size;
        const QString file =
            writePng(source_.descriptorDir, local,
                     QStringLiteral("media/choices/%1_%2.png").arg(n).arg(language),
                     QSize(2400, 1800), &size);
        if (!file.isEmpty())
            result.insert(t.field(QStringLiteral("Objet")).toString().toUpper(),
                          QJsonObject{{"file", file}, {"size", pictureSize(size)}});
    }
    return result;
}

QJsonObject WebPictures::languages() {
    QJsonObject result;
    kb::Model& model = *source_.model;
    const kb::BaseTexts texts = kb::BaseTexts::load(model.KnowledgeBase);
    if (texts.isEmpty()) return result;
    for (const QString& language : texts.languages()) {
        QJsonObject questions, states, groups;
        for (const kb::BaseTexts::Row& r : texts.rows()) {
            if (r.language != language) continue;
            const auto kind = kb::BaseTexts::kindOf(r.kind);
            const auto text = kind ? texts.find(language, *kind, r.key) : std::nullopt;
            if (!text) continue;
            if (kind == Kind::Question) questions.insert(r.key.toUpper(), *text);
            if (kind == Kind::State) states.insert(r.key.toUpper(), *text);
            if (kind == Kind::Group) groups.insert(r.key, *text);
        }
        QJsonObject entry{{"questions", questions},
                          {"states", states},
                          {"groups", groups},
                          {"deter", buttonTexts(model, texts, language, false)},
                          {"question", buttonTexts(model, texts, language, true)},
                          {"choices", localChoices(language)}};
        if (const auto title = texts.find(language, Kind::Title, QString()))
            entry.insert("title", *title);
        result.insert(language, entry);
    }
    return result;
}

}  // namespace authoring
