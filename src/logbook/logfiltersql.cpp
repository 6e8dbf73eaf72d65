// A filter as a condition of a logbook query. The query only narrows the
// records down; every record it returns is still checked by matches(), so
// a condition here may keep more records than the filter, never fewer.
#include "logbook/logfilter.h"

#include "logbook/logfilternode.h"

namespace cm {

namespace {

using Node = LogFilter::Node;
using filternode::Constant;
using filternode::Op;

void mark(const Node& n, std::vector<bool>& columns)
{
    if (n.column >= 0 && size_t(n.column) < columns.size())
        columns[size_t(n.column)] = true;
    for (const auto& c : n.children)
        mark(*c, columns);
}

// A LIKE pattern that matches at least every text the filter takes as equal
// to `c` (or starting with it). LIKE folds ASCII letters only, and the
// filter's comparison folds every letter: so a character outside ASCII, and
// the letters that non-ASCII characters fold to (K for the Kelvin sign, S
// for the long s), match any one character.
QString likePattern(const Constant& c)
{
    QString p;
    for (const QChar ch : c.text) {
        const ushort u = ch.unicode();
        if (ch.isSurrogate()) {
            if (ch.isHighSurrogate())
                p += u'_';
        } else if (u >= 0x80 || ch.toLower() == u'k' || ch.toLower() == u's') {
            p += u'_';
        } else {
            if (ch == u'\\' || ch == u'%' || ch == u'_')
                p += u'\\';
            p += ch;
        }
    }
    if (c.prefix)
        p += u'%';
    return p;
}

// A text that equals one of the constants; a blob value is left to matches().
QString textCondition(const QString& col, const std::vector<Constant>& values, std::vector<QVariant>& binds)
{
    QStringList likes;
    for (const Constant& c : values) {
        likes << col + QStringLiteral(" LIKE ? ESCAPE '\\'");
        binds.emplace_back(likePattern(c));
    }
    return u'(' + likes.join(QStringLiteral(" OR ")) + QStringLiteral(" OR typeof(") + col +
           QStringLiteral(") = 'blob')");
}

QString integerCondition(const QString& col, const Node& n, std::vector<QVariant>& binds)
{
    const char* op = nullptr;
    switch (n.op) {
    case Op::Eq: op = "="; break;
    case Op::Ne: op = "<>"; break;
    case Op::Le: op = "<="; break;
    case Op::Ge: op = ">="; break;
    case Op::Lt: op = "<"; break;
    case Op::Gt: op = ">"; break;
    case Op::In: {
        QStringList marks;
        for (const Constant& c : n.values) {
            marks << QStringLiteral("?");
            binds.emplace_back(c.integer);
        }
        return col + QStringLiteral(" IN (") + marks.join(u',') + u')';
    }
    case Op::IsNull:
    case Op::NotNull: return {};
    }
    binds.emplace_back(n.values.front().integer);
    return col + u' ' + QLatin1String(op) + QStringLiteral(" ?");
}

// Empty: no condition (every record may match).
QString superset(const Node& n, const std::function<QString(int)>& column, std::vector<QVariant>& binds)
{
    switch (n.kind) {
    case Node::Kind::And: {
        QStringList parts;
        for (const auto& c : n.children) {
            const QString part = superset(*c, column, binds);
            if (!part.isEmpty())
                parts << part;
        }
        return parts.isEmpty() ? QString() : u'(' + parts.join(QStringLiteral(" AND ")) + u')';
    }
    case Node::Kind::Or: {
        // Any branch without a condition lets every record through.
        const size_t bound = binds.size();
        QStringList parts;
        for (const auto& c : n.children) {
            const QString part = superset(*c, column, binds);
            if (part.isEmpty()) {
                binds.resize(bound);
                return {};
            }
            parts << part;
        }
        return u'(' + parts.join(QStringLiteral(" OR ")) + u')';
    }
    case Node::Kind::Not:
        return {};
    case Node::Kind::Cond:
        break;
    }
    const QString col = column(n.column);
    if (col.isEmpty() || n.values.empty())
        return {};
    switch (n.storeKind) {
    case StoreKind::Text:
        if (n.op == Op::Eq || n.op == Op::In)
            return textCondition(col, n.values, binds);
        return {};
    case StoreKind::Integer:
        return integerCondition(col, n, binds);
    case StoreKind::Real:
        return {};
    }
    return {};
}

} // namespace

void LogFilter::markColumns(std::vector<bool>& columns) const
{
    if (root_)
        mark(*root_, columns);
}

QString LogFilter::sqlSuperset(const std::function<QString(int col)>& column, std::vector<QVariant>& binds) const
{
    return root_ ? superset(*root_, column, binds) : QString();
}

} // namespace cm
