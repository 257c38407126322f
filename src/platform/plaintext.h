#pragma once

#include <QString>

namespace platform {

// Texts that come from a knowledge base, a dataset or a file are shown exactly as written.
// Qt draws a tooltip (and any label left in Qt::AutoText) as rich text when it looks like
// markup, and then loads the pictures it names; these give the form Qt draws as the same
// characters.

// A tooltip: left as it is when Qt would draw it as plain text, else escaped inside a
// paragraph that keeps its spaces and line breaks.
QString plainToolTip(const QString& text);

// A caption of an action or a button: a single '&' would mark a shortcut and vanish.
QString plainCaption(const QString& text);

}  // namespace platform
