#include "memorykey.h"

#include "platform/stringtable.h"

namespace testing_support {

MemoryKey::MemoryKey(int species, const std::vector<int>& statesPerObject, int drawings) {
    int states = 0;
    for (int n : statesPerObject) states += n;
    model.SpeciesCount = platform::i16(species);
    model.StateCount = platform::i16(states);
    model.FrameCount = platform::i16(statesPerObject.size());
    model.DrawingCount = platform::i16(drawings);
    model.ConstraintCount = 3;
    for (int i = 0; i < species; ++i) model.SpeciesName.push_back(QStringLiteral("Sp%1").arg(i));
    model.StateWeight.assign(size_t(states), 1);
    model.Matrix.assign(size_t(species) * size_t(states), 0);
    int first = 0;
    for (int r = 0; r < int(statesPerObject.size()); ++r) {
        engine::ObjectRow o;
        o.key = objectKey(r);
        o.rows = 1;
        o.columns = statesPerObject[size_t(r)];
        o.firstState = first;
        o.stateCount = statesPerObject[size_t(r)];
        o.descriptor = r;
        o.frame = r;
        o.tipText = QStringLiteral("Question %1").arg(r);
        o.picture = QStringLiteral("q%1.bmp").arg(r);
        o.joker = true;
        tables.objects.push_back(o);
        first += o.stateCount;
    }
    for (int j = 0; j < states; ++j) tables.addCharacter(stateCode(j), j);
    finish();
}

QString MemoryKey::objectKey(int r) {
    return QStringLiteral("O%1").arg(r, 2, 10, QLatin1Char('0'));
}
QString MemoryKey::stateCode(int j) {
    return QStringLiteral("E%1").arg(j);
}

void MemoryKey::depend(int object, int parentState) {
    tables.dependencies.push_back({stateCode(parentState), objectKey(object)});
}

void MemoryKey::variant(int drawing, const QString& name, const QStringList& codes) {
    engine::VariantRow row;
    row.drawing = drawing;
    row.name = name;
    for (int i = 0; i < model.ConstraintCount; ++i) {
        engine::Condition c;
        c.code = i < codes.size() ? codes[i] : (i == codes.size() ? QStringLiteral("Fin") : "");
        row.conditions.push_back(c);
    }
    tables.variants.push_back(row);
}

void MemoryKey::finish() {
    tables.index();
    model.ObjectCount = int(tables.objects.size());
    model.JokerFlag.assign(tables.objects.size(), false);
    for (const auto& o : tables.objects)
        if (o.descriptor >= 0 && o.descriptor < int(model.JokerFlag.size()))
            model.JokerFlag[size_t(o.descriptor)] = o.joker;
}

std::unique_ptr<MemoryKey> randomKey(std::mt19937& rng, bool singleStates) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<int> shape(size_t(pick(1, 10)));
    for (int& n : shape) n = singleStates && pick(0, 4) == 0 ? 1 : pick(2, 5);
    auto key = std::make_unique<MemoryKey>(pick(1, 40), shape);
    const int states = key->model.StateCount;
    for (int j = 0; j < states; ++j) key->weight(j, pick(-1, 6));
    for (int s = 0; s < key->model.SpeciesCount; ++s)
        for (int j = 0; j < states; ++j) key->set(s, j, pick(0, 20) == 0 ? 2 : pick(0, 1));
    for (auto& o : key->tables.objects) o.joker = pick(0, 5) != 0;
    // Each question may depend on a state of an earlier one, so the chains end.
    for (int r = 1; r < int(shape.size()); ++r) {
        if (pick(0, 2) == 0) continue;
        const int parent = pick(0, r - 1);
        key->depend(r, key->firstState(parent) + pick(0, shape[size_t(parent)] - 1));
    }
    key->finish();
    return key;
}

engine::TextLookup englishTexts() {
    static const platform::StringTable table = [] {
        platform::StringTable t;
        t.loadBuiltIn();
        return t;
    }();
    return [](int k) { return table.text(k, 0); };
}

}  // namespace testing_support
