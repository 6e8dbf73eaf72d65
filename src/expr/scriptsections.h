#pragma once
// Reading and replacing one section "[Component.Event]" of a layout's script,
// as the script editor does for each of its pages.
#include "expr/script.h"

#include <QStringList>

namespace cm {

// The body lines of the section, without its header; empty when there is none.
QStringList scriptSectionBody(const QStringList& script, const QString& component, const QString& event);

// Removes the section (header and body); a non-empty body is then appended
// as a new section at the end of the script.
void replaceScriptSection(QStringList& script, const QString& component, const QString& event,
                          const QStringList& body);

// The lines of an edit's text: a trailing line break ends the last line
// rather than starting an empty one; an empty text has no lines.
QStringList textLines(const QString& text);

} // namespace cm
