#include "authoring/webexport/webkeydata.h"

#include "kb/model.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace engine {

using platform::i16;

PackedMatrix packMatrix(const kb::Model& model) {
    PackedMatrix packed;
    const size_t cells =
        size_t(std::max<int>(model.SpeciesCount, 0)) * size_t(std::max<int>(model.StateCount, 0));
    if (cells == 0 || model.Matrix.size() < cells) return packed;
    const i16* values = model.Matrix.data();
    const auto [lo, hi] = std::minmax_element(values, values + cells);
    packed.offset = *lo;
    const unsigned span = unsigned(int(*hi) - int(*lo));
    while ((span >> packed.bits) != 0) ++packed.bits;
    if (packed.bits == 0) return packed;
    packed.bytes = QByteArray(qsizetype((cells * size_t(packed.bits) + 7) / 8), '\0');
    auto* out = reinterpret_cast<unsigned char*>(packed.bytes.data());
    size_t bit = 0;
    for (size_t c = 0; c < cells; ++c) {
        const unsigned v = unsigned(int(values[c]) - packed.offset);
        for (int b = 0; b < packed.bits; ++b, ++bit)
            if ((v >> b) & 1u) out[bit >> 3] |= (unsigned char)(1u << (bit & 7));
    }
    return packed;
}

namespace {

QJsonValue orNull(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue();
}

QJsonArray objectsOf(const KeyTables& tables) {
    QJsonArray objects;
    for (const ObjectRow& o : tables.objects) {
        QJsonObject row{{"key", o.key},          {"rows", o.rows},
                        {"columns", o.columns},  {"first", o.firstState},
                        {"count", o.stateCount}, {"descriptor", o.descriptor},
                        {"frame", o.frame},      {"text", o.tipText},
                        {"picture", o.picture},  {"joker", o.joker}};
        const GroupRow* group = nullptr;
        if (const auto g = tables.groups.constFind(KeyTables::fold(o.key));
            g != tables.groups.cend())
            group = &*g;
        if (group)
            row.insert("group", QJsonObject{{"name", group->group}, {"order", group->order}});
        if (const ContradictionRow* mark = tables.contradiction(o.key))
            row.insert("mark", QJsonObject{{"button", mark->button}, {"popup", mark->popup}});
        objects.append(row);
    }
    return objects;
}

// Evaluation stops at the first condition that is not a state, so the rest is left out.
QJsonArray conditionsOf(const VariantRow& row) {
    QJsonArray conditions;
    for (const Condition& c : row.conditions) {
        switch (c.kind) {
            case Condition::Kind::State:
                conditions.append(c.state);
                continue;
            case Condition::Kind::End:
                conditions.append(QStringLiteral("end"));
                break;
            case Condition::Kind::Missing:
                conditions.append(QStringLiteral("missing"));
                break;
            case Condition::Kind::Unknown:
                conditions.append(QJsonObject{{"unknown", c.code}});
                break;
        }
        break;
    }
    return conditions;
}

QJsonArray variantsOf(const KeyTables& tables) {
    QJsonArray variants;
    for (const VariantRow& v : tables.variants)
        variants.append(
            QJsonObject{{"drawing", v.drawing}, {"name", v.name}, {"conditions", conditionsOf(v)}});
    return variants;
}

// The objects cleared with each state, as the clearing of dependants finds them: through the
// code of the state's first "Caracteres" row, matched exactly.
QJsonObject dependantsOf(const KeyTables& tables, int stateCount) {
    QJsonObject dependants;
    for (int s = 0; s < stateCount; ++s) {
        const auto code = tables.codeOfState(s);
        if (!code) continue;
        const std::vector<int>& objects = tables.dependants(*code);
        if (objects.empty()) continue;
        QJsonArray list;
        for (int o : objects) list.append(o);
        dependants.insert(QString::number(s), list);
    }
    return dependants;
}

// For the questions panel: the states (-1: a code no state has) of which one must be chosen
// before a question can be asked, by object index.
QJsonObject parentsOf(const KeyTables& tables) {
    QJsonObject parents;
    for (const DependencyRow& d : tables.dependencies) {
        const QString folded = KeyTables::fold(d.objectKey);
        for (size_t o = 0; o < tables.objects.size(); ++o) {
            if (KeyTables::fold(tables.objects[o].key) != folded) continue;
            QJsonArray list = parents.value(QString::number(o)).toArray();
            list.append(tables.stateOfCode(d.parentCode).value_or(-1));
            parents.insert(QString::number(o), list);
        }
    }
    return parents;
}

QJsonArray buttonsOf(const KeyTables& tables) {
    QJsonArray buttons;
    for (const auto& b : tables.deterButtons) {
        if (!b) {
            buttons.append(QJsonValue());
            continue;
        }
        QJsonObject button{
            {"key", b->key}, {"file", b->file}, {"caption", b->caption}, {"text", b->tipText}};
        if (const ContradictionRow* mark = tables.contradiction(b->key))
            button.insert("mark", mark->popup);
        buttons.append(button);
    }
    return buttons;
}

}  // namespace

QByteArray webKeyScript(const kb::Model& model, const KeyTables& tables,
                        const LanguageTextLookup& texts) {
    const int states = std::max<int>(model.StateCount, 0);
    QJsonObject key;
    key.insert("format", 1);
    key.insert("counts", QJsonObject{{"species", model.SpeciesCount},
                                     {"states", model.StateCount},
                                     {"frames", model.FrameCount},
                                     {"drawings", model.DrawingCount},
                                     {"deterButtons", model.DeterButtonCount},
                                     {"objects", model.ObjectCount}});
    QJsonArray species;
    for (const QString& name : model.SpeciesName) species.append(name);
    key.insert("species", species);
    QJsonArray weights;
    for (i16 w : model.StateWeight) weights.append(w);
    key.insert("weights", weights);
    const size_t cells = size_t(std::max<int>(model.SpeciesCount, 0)) * size_t(states);
    if (cells / 8 > size_t(WebMatrixLimit)) return {};  // even one bit a cell is too much
    const PackedMatrix packed = packMatrix(model);
    if (packed.bytes.size() > WebMatrixLimit) return {};
    key.insert("matrix", QJsonObject{{"offset", packed.offset},
                                     {"bits", packed.bits},
                                     {"data", QString::fromLatin1(packed.bytes.toBase64())}});
    QJsonArray joker;
    for (bool j : model.JokerFlag) joker.append(j);
    key.insert("joker", joker);
    key.insert("objects", objectsOf(tables));
    QJsonArray codes, stateTexts;
    for (int s = 0; s < states; ++s) {
        codes.append(orNull(tables.codeOfState(s)));
        stateTexts.append(tables.stateTexts.value(s));
    }
    key.insert("stateCodes", codes);
    key.insert("stateTexts", stateTexts);
    key.insert("dependants", dependantsOf(tables, states));
    key.insert("parents", parentsOf(tables));
    key.insert("variants", variantsOf(tables));
    key.insert("deterButtons", buttonsOf(tables));
    QJsonObject interfaceTexts;
    for (int k : WebEngineTexts) {
        QJsonArray languages;
        for (int l = 0; l < 3; ++l) languages.append(texts ? orNull(texts(k, l)) : QJsonValue());
        interfaceTexts.insert(QString::number(k), languages);
    }
    key.insert("texts", interfaceTexts);
    return QByteArrayLiteral("globalThis.VIREKA_KEY = ") +
           QJsonDocument(key).toJson(QJsonDocument::Compact) + QByteArrayLiteral(";\n");
}

}  // namespace engine
