#pragma once

#include <QString>

namespace authoring {

// A name as a dataset typesets it, made safe to write into a page: the tags <i>, <b>, <sub>
// and <sup> are kept and balanced, complete entities are kept, and every other character that
// HTML reads as markup is escaped. Whatever the dataset holds, the result opens no other tag.
QString inlineHtml(const QString& markup);

}  // namespace authoring
