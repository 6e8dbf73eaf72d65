#include "engine/output/cardfilenames.h"

#include <QFileInfo>
#include <QSet>

namespace cm {

std::optional<CardFileNamePattern> CardFileNamePattern::parse(const QString& pattern,
                                                              const std::function<bool(const QString&)>& isField,
                                                              QString* error)
{
    CardFileNamePattern p;
    QString text;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'{') {
            text += pattern[i];
            continue;
        }
        const qsizetype close = pattern.indexOf(u'}', i + 1);
        if (close < 0) {
            if (error)
                *error = QStringLiteral("The file name pattern \"%1\" has a '{' without '}'").arg(pattern);
            return std::nullopt;
        }
        const QString field = pattern.mid(i + 1, close - i - 1).trimmed();
        if (!isField(field)) {
            if (error)
                *error = QStringLiteral("The file name pattern names an unknown field {%1}").arg(field);
            return std::nullopt;
        }
        p.parts_ << text << field;
        p.fields_ << field;
        text.clear();
        i = close;
    }
    p.parts_ << text;
    return p;
}

QString CardFileNamePattern::nameFor(const std::function<QString(const QString& field)>& value) const
{
    QString name;
    for (qsizetype i = 0; i < parts_.size(); ++i)
        name += i % 2 == 0 ? parts_[i] : fileNameSafe(value(parts_[i]));
    return name;
}

QString fileNameSafe(const QString& value)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (refused.contains(c))
            out += u'-';
        else if (c.category() != QChar::Other_Control)
            out += c;
    }
    while (!out.isEmpty() && (out.front() == u'.' || out.front().isSpace()))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back() == u'.' || out.back().isSpace()))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("_") : out;
}

QStringList uniqueFileNames(const QStringList& names)
{
    QSet<QString> taken;
    for (const QString& n : names)
        taken.insert(n.toCaseFolded());
    QSet<QString> used;
    QStringList out;
    out.reserve(names.size());
    for (const QString& name : names) {
        QString candidate = name;
        if (used.contains(candidate.toCaseFolded())) {
            const QFileInfo info(name);
            const QString suffix = info.suffix();
            const QString stem = suffix.isEmpty() ? name : name.left(name.size() - suffix.size() - 1);
            // A number no other name of the run has, so that a later "W1AW-2"
            // given by the pattern itself keeps its name.
            for (int n = 2;; ++n) {
                candidate = stem + QStringLiteral("-%1").arg(n) + (suffix.isEmpty() ? QString() : u'.' + suffix);
                const QString key = candidate.toCaseFolded();
                if (!used.contains(key) && !taken.contains(key))
                    break;
            }
        }
        used.insert(candidate.toCaseFolded());
        out << candidate;
    }
    return out;
}

} // namespace cm
