#include "platform/textcompare.h"

#include <algorithm>

namespace platform {

int compareIgnoringCase(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = x[i], d = y[i];
        if (c >= 0x80 || d >= 0x80) {
            // The units before i are plain ASCII and equal once folded, so the general
            // comparison of what is left gives the answer; it starts before any surrogate
            // pair, which folds as one character.
            const int r = a.sliced(i).compare(b.sliced(i), Qt::CaseInsensitive);
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
        if (c == d) continue;
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        if (d >= 'A' && d <= 'Z') d += 'a' - 'A';
        if (c != d) return c < d ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace platform
