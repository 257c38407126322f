#include "authoring/evaluation/keymatrix.h"

#include "kb/model.h"

#include <algorithm>

namespace authoring {

KeyMatrix::KeyMatrix(const kb::Model& model, const engine::KeyTables& tables)
    : model_(model), tables_(tables) {
    speciesCount_ = std::max<int>(0, model.SpeciesCount);
    codes_.assign(size_t(speciesCount_), QString());
    families_.assign(size_t(speciesCount_), QString());
    // A copy of the cursor walks the rows in the order the species were numbered, and leaves
    // the model's own cursor where it was.
    kb::Table flora = model.FloraTable;
    const int code = flora.fieldIndex(QStringLiteral("Code"));
    const int family = flora.fieldIndex(QStringLiteral("Famille"));
    int i = 0;
    for (flora.moveFirst(); !flora.eof() && i < speciesCount_; flora.moveNext(), ++i) {
        codes_[size_t(i)] = flora.fieldAt(code).toString();
        families_[size_t(i)] = flora.fieldAt(family).toString();
    }
    offset_.assign(tables.objects.size(), -1);
    std::int64_t size = 0;
    for (int q = 0; q < questionCount(); ++q) {
        if (question(q).stateCount > CachedStates || question(q).stateCount < 0) continue;
        offset_[size_t(q)] = size;
        size += speciesCount_;
    }
    sets_.assign(size_t(size), 0);
    for (int q = 0; q < questionCount(); ++q) {
        if (!cached(q)) continue;
        const engine::ObjectRow& o = question(q);
        std::uint16_t* column = sets_.data() + offset_[size_t(q)];
        // A state column at a time: the matrix is stored that way.
        for (int l = 0; l < o.stateCount; ++l) {
            const int s = o.firstState + l;
            if (s < 0 || s >= model.StateCount) continue;
            const auto* values = model.stateColumn(s);
            for (int sp = 0; sp < speciesCount_; ++sp)
                if (values[sp] != 0) column[sp] |= std::uint16_t(1u << l);
        }
    }
}

void KeyMatrix::states(int q, int sp, std::uint64_t* out) const {
    const engine::ObjectRow& o = question(q);
    if (cached(q)) {
        out[0] = states64(q, sp);
        return;
    }
    std::fill(out, out + words(q), 0);
    for (int l = 0; l < o.stateCount; ++l) {
        const int s = o.firstState + l;
        if (s < 0 || s >= model_.StateCount) continue;
        if (model_.matrix(sp, s) != 0) out[l / 64] |= std::uint64_t(1) << (l % 64);
    }
}

std::uint64_t KeyMatrix::states64(int q, int sp) const {
    const std::int64_t at = offset_[size_t(q)];
    return at >= 0 ? sets_[size_t(at + sp)] : readStates64(q, sp);
}

std::uint64_t KeyMatrix::readStates64(int q, int sp) const {
    const engine::ObjectRow& o = question(q);
    std::uint64_t m = 0;
    const int k = std::min(o.stateCount, 64);
    for (int l = 0; l < k; ++l) {
        const int s = o.firstState + l;
        if (s >= 0 && s < model_.StateCount && model_.matrix(sp, s) != 0)
            m |= std::uint64_t(1) << l;
    }
    return m;
}

bool KeyMatrix::coded(int q, int sp) const {
    const engine::ObjectRow& o = question(q);
    if (cached(q)) {
        const std::uint64_t m = states64(q, sp);
        return m != 0 && !(o.stateCount >= 2 && m == (std::uint64_t(1) << o.stateCount) - 1);
    }
    int shown = 0;
    for (int l = 0; l < o.stateCount; ++l) {
        const int s = o.firstState + l;
        if (s >= 0 && s < model_.StateCount && model_.matrix(sp, s) != 0) ++shown;
    }
    return shown > 0 && !(o.stateCount >= 2 && shown == o.stateCount);
}

int KeyMatrix::firstShownState(int q, int sp) const {
    const engine::ObjectRow& o = question(q);
    for (int l = 0; l < o.stateCount; ++l) {
        const int s = o.firstState + l;
        if (s >= 0 && s < model_.StateCount && model_.matrix(sp, s) != 0) return s;
    }
    return -1;
}

bool KeyMatrix::separates(int q, int a, int b) const {
    if (!coded(q, a) || !coded(q, b)) return false;
    if (cached(q)) return (states64(q, a) & states64(q, b)) == 0;
    const engine::ObjectRow& o = question(q);
    for (int l = 0; l < o.stateCount; ++l) {
        const int s = o.firstState + l;
        if (s >= 0 && s < model_.StateCount && model_.matrix(a, s) != 0 && model_.matrix(b, s) != 0)
            return false;
    }
    return true;
}

QString KeyMatrix::speciesName(int sp) const {
    return sp >= 0 && sp < int(model_.SpeciesName.size()) ? model_.SpeciesName[size_t(sp)]
                                                          : QString();
}

QString KeyMatrix::questionText(int q) const {
    const engine::ObjectRow& o = question(q);
    return o.tipText.trimmed().isEmpty() ? o.key : o.tipText.trimmed();
}

QString KeyMatrix::stateText(int state) const {
    const QString tip = tables_.stateTexts.value(state).trimmed();
    if (!tip.isEmpty()) return tip;
    if (const auto code = tables_.codeOfState(state)) return *code;
    return QString::number(state);
}

double KeyMatrix::questionWeight(int q) const {
    const engine::ObjectRow& o = question(q);
    double sum = 0;
    int n = 0;
    for (int l = 0; l < o.stateCount; ++l) {
        const int s = o.firstState + l;
        if (s < 0 || s >= int(model_.StateWeight.size())) continue;
        sum += model_.StateWeight[size_t(s)];
        ++n;
    }
    return n ? sum / n : 0.0;
}

bool KeyMatrix::proposable(int q) const {
    const engine::ObjectRow& o = question(q);
    return o.joker && o.stateCount >= 2;
}

}  // namespace authoring
