#include "platform/stringtable.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>

namespace platform {

namespace {

constexpr int FirstEntry = 1000;
constexpr int LastEntry = 3999;
constexpr int LanguageCount = 3;

std::optional<QString> unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i].unicode()) {
            case u't':
                out += u'\t';
                break;
            case u'n':
                out += u'\n';
                break;
            case u'\\':
                out += u'\\';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

}  // namespace

bool StringTable::load(const QString& path) {
    entries_.clear();
    error_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString content = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        error_ = QStringLiteral("%1 is not UTF-8 text").arg(path);
        return false;
    }
    if (!parse(content)) {
        error_ = path + QStringLiteral(": ") + error_;
        entries_.clear();
        return false;
    }
    return true;
}

bool StringTable::parse(const QString& content) {
    const QStringList lines = content.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line(lines[n]);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const auto where = QStringLiteral("line %1: ").arg(n + 1);
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab < 0 ? 0 : line.left(tab).toInt(&ok);
        if (!ok || id < FirstEntry || id > LastEntry) {
            error_ = where + QStringLiteral("expected an entry number from 1000 to 3999 and a tab");
            return false;
        }
        const std::optional<QString> text = unescape(line.mid(tab + 1));
        if (!text) {
            error_ = where + QStringLiteral("bad escape (only \\t, \\n and \\\\ are known)");
            return false;
        }
        if (entries_.contains(id)) {
            error_ = where + QStringLiteral("entry %1 is given twice").arg(id);
            return false;
        }
        entries_.insert(id, *text);
    }
    return true;
}

std::optional<QString> StringTable::text(int key, int languageCode) const {
    if (key < FirstEntry || key > FirstEntry + 999) return std::nullopt;
    if (languageCode < 0 || languageCode >= LanguageCount) return std::nullopt;
    return entry(languageCode * 1000 + key);
}

QString StringTable::textOr(int key, const QString& fallback) const {
    return text(key).value_or(fallback);
}

std::optional<QString> StringTable::entry(int id) const {
    const auto it = entries_.constFind(id);
    if (it == entries_.constEnd()) return std::nullopt;
    return *it;
}

QList<int> StringTable::entries() const {
    QList<int> ids = entries_.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace platform
