#include "engine/keytables.h"

namespace engine {

void KeyTables::index() {
    objectByKey_.clear();
    // Seek finds the first of equal keys; insert() keeps the last one inserted.
    for (int i = int(objects.size()) - 1; i >= 0; --i)
        objectByKey_.insert(fold(objects[size_t(i)].key), i);

    dependants_.clear();
    for (const DependencyRow& row : dependencies) {
        const auto object = objectIndex(row.objectKey);
        if (object) dependants_[row.parentCode].push_back(*object);
    }

    for (VariantRow& variant : variants) {
        for (Condition& c : variant.conditions) {
            c.state = -1;
            if (c.missing) {
                c.kind = Condition::Kind::Missing;
            } else if (c.code == QLatin1String("Fin")) {
                c.kind = Condition::Kind::End;
            } else if (const auto state = stateOfCode(c.code)) {
                c.kind = Condition::Kind::State;
                c.state = *state;
            } else {
                c.kind = Condition::Kind::Unknown;
            }
        }
    }
}

void KeyTables::addCharacter(const QString& code, int state) {
    if (!stateCodes.contains(state)) stateCodes.insert(state, code);
    if (!codeStates.contains(fold(code))) codeStates.insert(fold(code), state);
}

std::optional<int> KeyTables::objectIndex(const QString& key) const {
    const auto it = objectByKey_.constFind(fold(key));
    if (it == objectByKey_.cend()) return std::nullopt;
    return *it;
}

std::optional<int> KeyTables::stateOfCode(const QString& code) const {
    const auto it = codeStates.constFind(fold(code));
    if (it == codeStates.cend()) return std::nullopt;
    return *it;
}

std::optional<QString> KeyTables::codeOfState(int state) const {
    const auto it = stateCodes.constFind(state);
    if (it == stateCodes.cend()) return std::nullopt;
    return *it;
}

const ContradictionRow* KeyTables::contradiction(const QString& objectKey) const {
    const auto it = contradictions.constFind(fold(objectKey));
    return it == contradictions.cend() ? nullptr : &*it;
}

const std::vector<int>& KeyTables::dependants(const QString& parentCode) const {
    const auto it = dependants_.constFind(parentCode);
    return it == dependants_.cend() ? none_ : *it;
}

}  // namespace engine
