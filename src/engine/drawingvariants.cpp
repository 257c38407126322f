#include "engine/drawingvariants.h"

#include "platform/paths.h"

namespace engine {

ConditionTest testConditions(const VariantRow& row, const std::vector<platform::i16>& choice,
                             QString* unknownCode) {
    for (const Condition& c : row.conditions) {
        switch (c.kind) {
            case Condition::Kind::End:
                return ConditionTest::Holds;
            case Condition::Kind::Missing:
                return ConditionTest::Fails;
            case Condition::Kind::Unknown:
                if (unknownCode) *unknownCode = c.code;
                return ConditionTest::UnknownCode;
            case Condition::Kind::State:
                if (c.state < 0 || c.state >= int(choice.size()) || choice[size_t(c.state)] != 1)
                    return ConditionTest::Fails;
                break;
        }
    }
    return ConditionTest::Fails;
}

const VariantRow* matchingVariant(const std::vector<VariantRow>& rows, int drawing,
                                  const std::vector<platform::i16>& choice,
                                  const std::function<void(const QString&)>& onUnknown) {
    for (const VariantRow& row : rows) {
        if (row.drawing != drawing) continue;
        QString unknown;
        const ConditionTest test = testConditions(row, choice, &unknown);
        if (test == ConditionTest::UnknownCode && onUnknown) onUnknown(unknown);
        if (test == ConditionTest::Holds) return &row;
    }
    return nullptr;
}

QStringList layerPaths(const std::vector<VariantRow>& rows, int count,
                       const std::vector<platform::i16>& choice, const QString& drawingDir) {
    QStringList paths;
    QString suffix;  // set by drawing 0, followed by the others
    for (int d = 0; d < count; ++d) {
        const VariantRow* row = matchingVariant(rows, d, choice);
        QString path = row ? variantPath(drawingDir, d, row->name, suffix) : QString();
        if (!path.isEmpty() && !platform::staysInside(drawingDir, path)) path.clear();
        paths << path;
    }
    return paths;
}

QString variantPath(const QString& drawingDir, int drawing, const QString& name, QString& suffix) {
    const QString base = drawingDir + QStringLiteral("%1").arg(drawing, 2, 10, QLatin1Char('0')) +
                         QLatin1Char('\\') + name;
    if (name.right(3) == QLatin1String("WMF")) {
        if (drawing == 0) suffix = variantSuffix(name);
        return base;
    }
    return base + suffix;
}

QString variantSuffix(const QString& name) {
    return name.right(6);
}

QString contradictionLayerPath(const QString& drawingDir, const QString& popup,
                               const QString& suffix) {
    return drawingDir + QStringLiteral("CONTRA\\") + popup + suffix;
}

QString contradictionIconPath(const QString& drawingDir, const QString& popup) {
    return drawingDir + QStringLiteral("CONTRA\\") + popup + QStringLiteral(".ico");
}

}  // namespace engine
