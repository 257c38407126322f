#include "authoring/webexport/webkeydata.h"

#include "kb/model.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace engine {

using platform::i16;

namespace {

// Bits written from the lowest, bit i of the stream in byte i/8 at bit i%8.
class BitWriter {
public:
    void put(unsigned value, int bits) {
        for (int b = 0; b < bits; ++b, ++bit_) {
            if ((bit_ >> 3) >= size_t(bytes_.size())) bytes_.append('\0');
            if ((value >> b) & 1u) bytes_[qsizetype(bit_ >> 3)] |= char(1u << (bit_ & 7));
        }
    }
    QByteArray take() { return std::move(bytes_); }

private:
    QByteArray bytes_;
    size_t bit_ = 0;
};

int bitsFor(unsigned largest) {
    int bits = 0;
    while ((largest >> bits) != 0) ++bits;
    return bits;
}

// Whether every species holds `low` in each state of the range but at most one, which holds
// low + 1.
bool oneAtATime(const i16* values, size_t species, int first, int count, int low) {
    for (size_t s = 0; s < species; ++s) {
        int raised = 0;
        for (int k = 0; k < count; ++k) {
            const int v = values[size_t(first + k) * species + s];
            if (v == low + 1)
                ++raised;
            else if (v != low)
                return false;
            if (raised > 1) return false;
        }
    }
    return true;
}

}  // namespace

PackedMatrix packMatrix(const kb::Model& model, const KeyTables* tables) {
    PackedMatrix packed;
    const size_t species = size_t(std::max<int>(model.SpeciesCount, 0));
    const int states = std::max<int>(model.StateCount, 0);
    const size_t cells = species * size_t(states);
    if (cells == 0 || model.Matrix.size() < cells) return packed;
    const i16* values = model.Matrix.data();
    const auto [lo, hi] = std::minmax_element(values, values + cells);
    packed.offset = *lo;
    packed.bits = bitsFor(unsigned(int(*hi) - int(*lo)));
    if (packed.bits == 0) return packed;

    // The questions written as one number per species; each state is covered once at most.
    std::vector<bool> covered(size_t(states), false);
    BitWriter choices;
    if (tables) {
        for (size_t r = 0; r < tables->objects.size(); ++r) {
            const ObjectRow& o = tables->objects[r];
            if (o.stateCount < 2 || o.firstState < 0 || o.firstState > states - o.stateCount)
                continue;
            const auto from = covered.begin() + o.firstState;
            if (std::any_of(from, from + o.stateCount, [](bool c) { return c; })) continue;
            if (!oneAtATime(values, species, o.firstState, o.stateCount, packed.offset)) continue;
            std::fill(from, from + o.stateCount, true);
            packed.choiceObjects.push_back(int(r));
            const int width = bitsFor(unsigned(o.stateCount));
            for (size_t s = 0; s < species; ++s) {
                unsigned position = 0;
                for (int k = 0; k < o.stateCount && position == 0; ++k)
                    if (values[size_t(o.firstState + k) * species + s] != packed.offset)
                        position = unsigned(k + 1);
                choices.put(position, width);
            }
        }
    }
    packed.choices = choices.take();
    BitWriter rest;
    for (int state = 0; state < states; ++state) {
        if (covered[size_t(state)]) continue;
        for (size_t s = 0; s < species; ++s)
            rest.put(unsigned(int(values[size_t(state) * species + s]) - packed.offset),
                     packed.bits);
    }
    packed.bytes = rest.take();
    return packed;
}

namespace {

QJsonValue orNull(const std::optional<QString>& text) {
    return text ? QJsonValue(*text) : QJsonValue();
}

QJsonObject measureOf(const kb::Measure& m) {
    const auto bound = [](const std::optional<double>& v) {
        return v ? QJsonValue(*v) : QJsonValue();
    };
    QJsonArray ranges;
    for (const kb::MeasureRange& r : m.ranges)
        ranges.append(QJsonObject{{"state", r.state},
                                  {"low", bound(r.low)},
                                  {"high", bound(r.high)},
                                  {"lowIncluded", r.lowIncluded},
                                  {"highIncluded", r.highIncluded}});
    return QJsonObject{{"unit", m.unit}, {"ranges", ranges}};
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
        if (const kb::Measure* measure = tables.measures.of(o.key))
            row.insert("measure", measureOf(*measure));
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
    const PackedMatrix packed = packMatrix(model, &tables);
    if (packed.bytes.size() + packed.choices.size() > WebMatrixLimit) return {};
    QJsonObject matrix{{"offset", packed.offset},
                       {"bits", packed.bits},
                       {"data", QString::fromLatin1(packed.bytes.toBase64())}};
    if (!packed.choiceObjects.empty()) {
        QJsonArray objects;
        for (int r : packed.choiceObjects) objects.append(r);
        matrix.insert("choices",
                      QJsonObject{{"objects", objects},
                                  {"data", QString::fromLatin1(packed.choices.toBase64())}});
    }
    key.insert("matrix", matrix);
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
    // Only a base with a record of uncoded cells has it: one species list per question.
    if (tables.uncoded.present) {
        QJsonArray uncoded;
        for (const std::vector<int>& list : tables.uncoded.speciesByObject) {
            QJsonArray ids;
            for (int s : list) ids.append(s);
            uncoded.append(ids);
        }
        key.insert("uncoded", uncoded);
    }
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
