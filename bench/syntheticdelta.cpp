#include "syntheticdelta.h"

#include <QDir>
#include <QFile>
#include <random>

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

enum Kind { Multi, Numeric, Text, Huge };

Kind kindOf(int c) {
    if (c % 20 == 19) return Huge;
    if (c % 10 == 4) return Text;
    if (c % 3 == 1) return Numeric;
    return Multi;
}

}  // namespace

void writeSyntheticDelta(const QString& folder, int items, int characters, unsigned seed) {
    QDir().mkpath(folder);
    std::mt19937 rng(seed);
    QList<int> states(characters);
    QByteArray types, counts, keys, list;
    for (int c = 0; c < characters; ++c) {
        const QByteArray n = QByteArray::number(c + 1);
        const Kind k = kindOf(c);
        states[c] = k == Huge ? 60 : k == Multi ? 2 + int(rng() % 11) : 0;
        if (k == Numeric) types += " " + n + ",RN";
        if (k == Text) types += " " + n + ",TE";
        if (states[c]) counts += " " + n + "," + QByteArray::number(states[c]);
        if (k == Numeric && c % 2 == 0) keys += " " + n + ",~10/10-50/50-200/200~";
        list += "#" + n + ". character \\i{}" + n + "\\i0{} <of the synthetic set>/\n";
        for (int s = 1; s <= states[c]; ++s)
            list += "   " + QByteArray::number(s) + ". state " + QByteArray::number(s) + " of " +
                    n + "/\n";
        if (k == Numeric) list += "   mm long/\n";
    }
    write(folder + "/specs", "*NUMBER OF CHARACTERS " + QByteArray::number(characters) +
                                 "\n*CHARACTER TYPES" + types + "\n*NUMBERS OF STATES" + counts +
                                 "\n");
    write(folder + "/chars", "*CHARACTER LIST\n" + list);
    write(folder + "/tokey", "*KEY STATES" + keys + "\n");
    QByteArray data = "*ITEM DESCRIPTIONS\n";
    for (int i = 0; i < items; ++i) {
        data += "# \\i{}Genus" + QByteArray::number(i / 7) + " species" + QByteArray::number(i) +
                "\\i0{} <Auth.>/\n";
        for (int c = 0; c < characters; ++c) {
            if (rng() % 5 == 0) continue;
            const QByteArray n = QByteArray::number(c + 1);
            const unsigned r = rng() % 20;
            if (r == 0) {
                data += n + ",U ";
            } else if (r == 1) {
                data += n + ",- ";
            } else if (kindOf(c) == Text) {
                data += n + "<free text " + QByteArray::number(rng() % 1000) + "> ";
            } else if (kindOf(c) == Numeric) {
                const int lo = 1 + int(rng() % 300);
                data += n + ",(" + QByteArray::number(lo / 2) + "-)" + QByteArray::number(lo) +
                        "-" + QByteArray::number(lo + int(rng() % 100)) + " ";
            } else {
                const int a = 1 + int(rng() % unsigned(states[c])),
                          b = 1 + int(rng() % unsigned(states[c]));
                data += n + "," + QByteArray::number(a) +
                        (r < 6 ? "/" + QByteArray::number(b) : QByteArray()) +
                        (r == 7 ? "<rarely>" : "") + " ";
            }
        }
        data += "\n";
    }
    write(folder + "/items", data);
}
