#pragma once

#include <QString>
#include <functional>

namespace authoring {

// Cleans a species document for publication on a static site that anyone may open: what is
// left can neither run code nor reach anything outside the site. Elements and attributes
// are kept from a short list of harmless ones; scripts, frames, objects, forms, external
// style sheets, event attributes and comments go, with the content of the elements that
// would run or fetch something. Style sheets and style attributes that could fetch (url(),
// image-set() and its prefixed forms, image(), cross-fade(), element(), @import, a font's
// src:) or run (expression) are dropped whole, however they are spelled: any case, spaces,
// comments, or escapes.
//
// Every link (a href) and picture (img src) goes through mapLink, which returns the address
// to write, or an empty text to drop it: a link then stays as plain text, a picture goes.
// Fragment-only links ("#part") are kept without asking.
class HtmlSanitizer {
public:
    enum class LinkKind { Link, Picture };
    using LinkMapper = std::function<QString(const QString& address, LinkKind kind)>;

    explicit HtmlSanitizer(LinkMapper mapLink) : mapLink_(std::move(mapLink)) {}

    QString sanitize(const QString& html) const;

    // True when a style text could fetch or run something.
    static bool isUnsafeStyle(const QString& css);

private:
    LinkMapper mapLink_;
};

}  // namespace authoring
