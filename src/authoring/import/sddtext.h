#pragma once

#include <QString>

// Texts of an SDD file, once the XML parser has decoded its entities. Some programs put HTML
// typesetting in labels (`&lt;i&gt;Viola&lt;/i&gt;`), others angle brackets as words
// (`Achenes &lt;length&gt;`): only the tags of HTML are markup, every other `<...>` is part of
// the text.
namespace authoring::sddtext {

// The text without HTML tags, blanks collapsed.
QString plain(const QString& text);

// The text as HTML: italics, bold, subscripts and superscripts kept as <i>, <b>, <sub> and
// <sup> (each opened one closed), other tags left out, everything else escaped.
QString html(const QString& text);

}  // namespace authoring::sddtext
