#pragma once
// Formatting with user-supplied texts. A user's text must never reach a
// printf-style formatter, so the few format rules we honour are parsed here.
#include <QString>
#include <QStringList>
#include <optional>

namespace cm {

// Replaces each "%s" in a message template, in order, with the next argument.
// Used for our own string table; arguments are inserted verbatim.
QString substituteArgs(QStringView messageTemplate, const QStringList& args);

// Formats a user's text with text arguments: "%s" (optionally with an index
// "%0:s", left-justify "-", width and precision) takes a text argument and
// "%%" gives "%". Any specifier that needs another kind of value, a missing
// argument or a malformed specifier gives nullopt.
std::optional<QString> formatWithTexts(QStringView format, const QStringList& args);

} // namespace cm
