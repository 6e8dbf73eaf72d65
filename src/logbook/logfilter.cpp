#include "logbook/logfilter.h"

#include "logbook/logfilternode.h"

#include "logbook/logfields.h"
#include "logbook/logvalueparse.h"

#include <QDateTime>

namespace cm {

namespace {

enum class TokKind { LParen, RParen, Comma, Op, Quoted, Word, End };

struct Token {
    TokKind kind = TokKind::End;
    QString text;
    qsizetype pos = 0;
};

class Lexer {
public:
    explicit Lexer(QStringView text) : t_(text) {}

    // A value without quotes runs to ')' (and to ',' inside a list); outside
    // parentheses it ends at a blank.
    bool bareValue(bool inList, bool toBlank, QString& out)
    {
        skipBlanks();
        const qsizetype start = pos_;
        while (pos_ < t_.size() && t_[pos_] != u')' && !(inList && t_[pos_] == u',') &&
               !(toBlank && t_[pos_].isSpace()))
            ++pos_;
        out = t_.mid(start, pos_ - start).trimmed().toString();
        return !out.isEmpty();
    }

    bool next(Token& tok, QString* error)
    {
        skipBlanks();
        tok = Token{};
        tok.pos = pos_;
        if (pos_ >= t_.size())
            return true;
        const QChar c = t_[pos_];
        if (c == u'(' || c == u')' || c == u',') {
            tok.kind = c == u'(' ? TokKind::LParen : c == u')' ? TokKind::RParen : TokKind::Comma;
            ++pos_;
            return true;
        }
        if (c == u'=' || c == u'<' || c == u'>') {
            tok.kind = TokKind::Op;
            tok.text = c;
            ++pos_;
            if (pos_ < t_.size() && c != u'=' &&
                (t_[pos_] == u'=' || (c == u'<' && t_[pos_] == u'>'))) {
                tok.text += t_[pos_];
                ++pos_;
            }
            return true;
        }
        if (c == u'\'' || c == u'"') {
            // Quoted text; the quote character doubled stands for itself.
            ++pos_;
            QString s;
            while (true) {
                if (pos_ >= t_.size()) {
                    *error = QStringLiteral("Filter: missing closing quote after position %1").arg(tok.pos + 1);
                    return false;
                }
                if (t_[pos_] == c) {
                    if (pos_ + 1 < t_.size() && t_[pos_ + 1] == c) {
                        s += c;
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                s += t_[pos_++];
            }
            tok.kind = TokKind::Quoted;
            tok.text = s;
            return true;
        }
        const qsizetype start = pos_;
        while (pos_ < t_.size() && !t_[pos_].isSpace() && t_[pos_] != u'(' && t_[pos_] != u')' &&
               t_[pos_] != u',' && t_[pos_] != u'=' && t_[pos_] != u'<' && t_[pos_] != u'>' &&
               t_[pos_] != u'\'' && t_[pos_] != u'"')
            ++pos_;
        tok.kind = TokKind::Word;
        tok.text = t_.mid(start, pos_ - start).toString();
        return true;
    }

    qsizetype pos() const { return pos_; }
    void reset(qsizetype pos) { pos_ = pos; }

private:
    void skipBlanks()
    {
        while (pos_ < t_.size() && t_[pos_].isSpace())
            ++pos_;
    }

    QStringView t_;
    qsizetype pos_ = 0;
};

bool isWord(const Token& t, const char* word)
{
    return t.kind == TokKind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

} // namespace

namespace {

using Node = LogFilter::Node;
using filternode::Constant;
using filternode::Op;

class Parser {
public:
    Parser(QStringView text, const LogStore& store, QString* error)
        : lex_(text), store_(store), error_(error) {}

    std::unique_ptr<Node> parseAll()
    {
        if (!advance())
            return nullptr;
        auto root = parseOr();
        if (!root)
            return nullptr;
        if (tok_.kind != TokKind::End)
            return fail(QStringLiteral("unexpected '%1'").arg(tokenText()));
        return root;
    }

private:
    bool advance() { return lex_.next(tok_, error_); }

    QString tokenText() const
    {
        switch (tok_.kind) {
        case TokKind::LParen: return QStringLiteral("(");
        case TokKind::RParen: return QStringLiteral(")");
        case TokKind::Comma: return QStringLiteral(",");
        case TokKind::End: return QStringLiteral("end of text");
        default: return tok_.text;
        }
    }

    std::unique_ptr<Node> fail(const QString& message)
    {
        if (error_ && error_->isEmpty())
            *error_ = QStringLiteral("Filter: %1 at position %2").arg(message).arg(tok_.pos + 1);
        return nullptr;
    }

    std::unique_ptr<Node> join(Node::Kind kind, std::unique_ptr<Node> left, std::unique_ptr<Node> right)
    {
        if (left->kind == kind) {
            left->children.push_back(std::move(right));
            return left;
        }
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->children.push_back(std::move(left));
        n->children.push_back(std::move(right));
        return n;
    }

    // Operands of `next` joined by the word: OR over AND over the rest.
    std::unique_ptr<Node> parseJoined(const char* word, Node::Kind kind, std::unique_ptr<Node> (Parser::*next)())
    {
        auto left = (this->*next)();
        while (left && isWord(tok_, word)) {
            if (!advance())
                return nullptr;
            auto right = (this->*next)();
            if (!right)
                return nullptr;
            left = join(kind, std::move(left), std::move(right));
        }
        return left;
    }

    std::unique_ptr<Node> parseOr() { return parseJoined("OR", Node::Kind::Or, &Parser::parseAnd); }
    std::unique_ptr<Node> parseAnd() { return parseJoined("AND", Node::Kind::And, &Parser::parseUnary); }

    std::unique_ptr<Node> parseUnary()
    {
        if (++depth_ > 200)
            return fail(QStringLiteral("too deeply nested"));
        std::unique_ptr<Node> result;
        if (isWord(tok_, "NOT")) {
            if (!advance())
                return nullptr;
            auto inner = parseUnary();
            if (!inner)
                return nullptr;
            result = std::make_unique<Node>();
            result->kind = Node::Kind::Not;
            result->children.push_back(std::move(inner));
        } else if (tok_.kind == TokKind::LParen) {
            ++parens_;
            if (!advance())
                return nullptr;
            result = parseOr();
            if (!result)
                return nullptr;
            if (tok_.kind != TokKind::RParen)
                return fail(QStringLiteral("')' expected instead of '%1'").arg(tokenText()));
            --parens_;
            if (!advance())
                return nullptr;
        } else {
            result = parseCondition();
        }
        --depth_;
        return result;
    }

    std::unique_ptr<Node> parseCondition()
    {
        if (tok_.kind != TokKind::Word && tok_.kind != TokKind::Quoted)
            return fail(QStringLiteral("field name expected instead of '%1'").arg(tokenText()));
        const QString fieldName = tok_.text;
        int column = -1;
        for (int i = 0; i < store_.fieldCount(); ++i) {
            if (store_.field(i).name.compare(fieldName, Qt::CaseInsensitive) == 0) {
                column = i;
                break;
            }
        }
        if (column < 0) {
            // The ADIF name of a persistent field (QSO_DATE for Datum ...).
            const int field = findLogField(fieldName);
            if (field >= 0 && field < store_.fieldCount()
                && store_.field(field).name.compare(logFieldDefs()[size_t(field)].name, Qt::CaseInsensitive) == 0)
                column = field;
        }
        if (column < 0) {
            const bool reported = error_ && error_->isEmpty();
            fail(QStringLiteral("unknown field '%1'").arg(fieldName));
            if (reported)
                *error_ += QStringLiteral("; the fields are ") + logFieldNameList();
            return nullptr;
        }
        auto n = std::make_unique<Node>();
        n->column = column;
        n->storeKind = store_.kind(column);
        if (!advance())
            return nullptr;

        if (isWord(tok_, "IS") || isWord(tok_, "NOT")) {
            // "IS NULL", "IS NOT NULL", and "NOT IS NULL" (a not-null test).
            bool negate = isWord(tok_, "NOT");
            if (negate && !advance())
                return nullptr;
            if (!isWord(tok_, "IS")) {
                if (negate && isWord(tok_, "IN"))
                    return parseIn(std::move(n), true);
                return fail(QStringLiteral("IS expected instead of '%1'").arg(tokenText()));
            }
            if (!advance())
                return nullptr;
            if (isWord(tok_, "NOT")) {
                negate = !negate;
                if (!advance())
                    return nullptr;
            }
            if (!isWord(tok_, "NULL"))
                return fail(QStringLiteral("NULL expected instead of '%1'").arg(tokenText()));
            n->op = negate ? Op::NotNull : Op::IsNull;
            if (!advance())
                return nullptr;
            return n;
        }
        if (isWord(tok_, "IN"))
            return parseIn(std::move(n), false);
        if (tok_.kind != TokKind::Op)
            return fail(QStringLiteral("comparison expected instead of '%1'").arg(tokenText()));
        const QString op = tok_.text;
        n->op = op == u"=" ? Op::Eq : op == u"<>" ? Op::Ne : op == u"<=" ? Op::Le
              : op == u">=" ? Op::Ge : op == u"<" ? Op::Lt : Op::Gt;
        // A value is quoted, or runs up to the closing parenthesis.
        const qsizetype afterOp = lex_.pos();
        if (!advance())
            return nullptr;
        QString value;
        if (tok_.kind == TokKind::Quoted) {
            value = tok_.text;
            if (!advance())
                return nullptr;
        } else {
            lex_.reset(afterOp);
            if (!lex_.bareValue(false, parens_ == 0, value))
                return fail(QStringLiteral("value expected"));
            if (!advance())
                return nullptr;
        }
        const bool allowPrefix = n->op == Op::Eq || n->op == Op::Ne;
        if (!addConstant(*n, value, allowPrefix))
            return nullptr;
        return n;
    }

    std::unique_ptr<Node> parseIn(std::unique_ptr<Node> n, bool negate)
    {
        n->op = Op::In;
        if (!advance())
            return nullptr;
        if (tok_.kind != TokKind::LParen)
            return fail(QStringLiteral("'(' expected after IN"));
        while (true) {
            const qsizetype before = lex_.pos();
            if (!advance())
                return nullptr;
            QString value;
            if (tok_.kind == TokKind::Quoted) {
                value = tok_.text;
                if (!advance())
                    return nullptr;
            } else {
                lex_.reset(before);
                if (!lex_.bareValue(true, false, value))
                    return fail(QStringLiteral("value expected in the list"));
                if (!advance())
                    return nullptr;
            }
            if (!addConstant(*n, value, false))
                return nullptr;
            if (tok_.kind == TokKind::RParen)
                break;
            if (tok_.kind != TokKind::Comma)
                return fail(QStringLiteral("',' or ')' expected in the list"));
        }
        if (!advance())
            return nullptr;
        if (!negate)
            return n;
        auto notNode = std::make_unique<Node>();
        notNode->kind = Node::Kind::Not;
        notNode->children.push_back(std::move(n));
        return notNode;
    }

    bool addConstant(Node& n, const QString& value, bool allowPrefix)
    {
        Constant c;
        const FieldDef& def = store_.field(n.column);
        bool ok = true;
        switch (n.storeKind) {
        case StoreKind::Text:
            c.text = value;
            if (allowPrefix && value.endsWith(u'*')) {
                c.prefix = true;
                c.text.chop(1);
            }
            break;
        case StoreKind::Real:
            if (auto v = parseFloatValue(value))
                c.real = *v;
            else
                ok = false;
            break;
        case StoreKind::Integer:
            if (def.type == FieldType::Date) {
                auto v = parseDateValue(value);
                ok = v.has_value();
                if (ok)
                    c.integer = toStoredDate(*v);
            } else if (def.type == FieldType::Time) {
                auto v = parseTimeValue(value);
                ok = v.has_value();
                if (ok)
                    c.integer = toStoredTime(*v);
            } else if (def.type == FieldType::DateTime) {
                const QDateTime dt = QDateTime::fromString(value.trimmed(), Qt::ISODate);
                ok = dt.isValid();
                if (ok)
                    c.integer = QDateTime(dt.date(), dt.time(), Qt::UTC).toMSecsSinceEpoch();
            } else if (def.type == FieldType::Boolean) {
                auto v = parseBooleanValue(value);
                ok = v.has_value();
                if (ok)
                    c.integer = *v ? 1 : 0;
            } else {
                auto v = parseIntegerValue(value);
                ok = v.has_value();
                if (ok)
                    c.integer = *v;
            }
            break;
        }
        if (!ok) {
            fail(QStringLiteral("'%1' is not a valid value for field %2").arg(value, def.name));
            return false;
        }
        n.values.push_back(std::move(c));
        return true;
    }

    Lexer lex_;
    const LogStore& store_;
    QString* error_;
    Token tok_;
    int depth_ = 0;
    int parens_ = 0;
};

// -1, 0, 1 for a stored value against a constant; the value is not null.
int compareValue(const LogStore& s, int row, const Node& n, const Constant& c)
{
    switch (n.storeKind) {
    case StoreKind::Text: {
        const QString& v = s.text(row, n.column);
        if (c.prefix && v.startsWith(c.text, Qt::CaseInsensitive))
            return 0;
        const int r = v.compare(c.text, Qt::CaseInsensitive);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    case StoreKind::Integer: {
        const qint64 v = s.integer(row, n.column);
        return v < c.integer ? -1 : v > c.integer ? 1 : 0;
    }
    case StoreKind::Real: {
        const double v = s.real(row, n.column);
        return v < c.real ? -1 : v > c.real ? 1 : 0;
    }
    }
    return 0;
}

bool evaluate(const Node& n, const LogStore& s, int row)
{
    switch (n.kind) {
    case Node::Kind::And:
        for (const auto& c : n.children)
            if (!evaluate(*c, s, row))
                return false;
        return true;
    case Node::Kind::Or:
        for (const auto& c : n.children)
            if (evaluate(*c, s, row))
                return true;
        return false;
    case Node::Kind::Not:
        return !evaluate(*n.children.front(), s, row);
    case Node::Kind::Cond:
        break;
    }
    const bool null = s.isNull(row, n.column);
    switch (n.op) {
    case Op::IsNull: return null;
    case Op::NotNull: return !null;
    case Op::Ne:
        // An empty field differs from every value.
        return null || compareValue(s, row, n, n.values.front()) != 0;
    default: break;
    }
    if (null)
        return false;
    switch (n.op) {
    case Op::Eq: return compareValue(s, row, n, n.values.front()) == 0;
    case Op::Le: return compareValue(s, row, n, n.values.front()) <= 0;
    case Op::Ge: return compareValue(s, row, n, n.values.front()) >= 0;
    case Op::Lt: return compareValue(s, row, n, n.values.front()) < 0;
    case Op::Gt: return compareValue(s, row, n, n.values.front()) > 0;
    case Op::In:
        for (const Constant& c : n.values)
            if (compareValue(s, row, n, c) == 0)
                return true;
        return false;
    default: return false;
    }
}

} // namespace

LogFilter::LogFilter() = default;
LogFilter::~LogFilter() = default;
LogFilter::LogFilter(LogFilter&&) noexcept = default;
LogFilter& LogFilter::operator=(LogFilter&&) noexcept = default;

std::optional<LogFilter> LogFilter::parse(QStringView text, const LogStore& store, QString* error)
{
    LogFilter f;
    if (text.trimmed().isEmpty())
        return f;
    QString message;
    Parser p(text, store, &message);
    f.root_ = p.parseAll();
    if (!f.root_) {
        if (error)
            *error = message.isEmpty() ? QStringLiteral("Filter: cannot be read") : message;
        return std::nullopt;
    }
    return f;
}

bool LogFilter::matches(const LogStore& store, int row) const
{
    return !root_ || evaluate(*root_, store, row);
}

QString filterPiece(bool firstRow, bool orJoin, const QString& fieldName,
                    FilterCondition condition, const QString& value)
{
    QString s;
    if (!firstRow)
        s = orJoin ? QStringLiteral(" OR  ") : QStringLiteral(" AND ");
    s += u'(' + fieldName + u' ';
    auto quoted = [&](const char* op) {
        QString v = value;
        v.replace(u'\'', QStringLiteral("''"));
        return QLatin1String(op) + QStringLiteral(" '") + v + QStringLiteral("')");
    };
    switch (condition) {
    case FilterCondition::Equal: return s + quoted("=");
    case FilterCondition::NotEqual: return s + quoted("<>");
    case FilterCondition::NoGreater: return s + quoted("<=");
    case FilterCondition::NoLess: return s + quoted(">=");
    case FilterCondition::LessThan: return s + quoted("<");
    case FilterCondition::GreaterThan: return s + quoted(">");
    case FilterCondition::Empty: return s + QStringLiteral("IS NULL)");
    case FilterCondition::NotEmpty: return s + QStringLiteral("IS NOT NULL)");
    case FilterCondition::InList: return s + QStringLiteral("IN (") + value + QStringLiteral("))");
    case FilterCondition::Between: {
        const QString v = value.trimmed();
        const qsizetype blank = v.indexOf(u' ');
        const QString low = blank < 0 ? v : v.left(blank);
        const QString high = blank < 0 ? QString() : v.mid(blank + 1).trimmed();
        return s + QStringLiteral(" >= ") + low + QStringLiteral(") AND (") + fieldName +
               QStringLiteral(" <= ") + high + u')';
    }
    }
    return s;
}

namespace {

struct Group {
    bool orJoin = false;
    QString inner;
};

// The top-level parenthesised groups and the join word before each.
std::vector<Group> topLevelGroups(QStringView text)
{
    std::vector<Group> groups;
    int depth = 0;
    bool quoted = false;
    qsizetype start = -1;
    qsizetype lastEnd = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == u'(' && depth++ == 0) {
            start = i;
        } else if (c == u')' && depth > 0 && --depth == 0) {
            Group g;
            g.orJoin = text.mid(lastEnd, start - lastEnd).trimmed().compare(u"OR", Qt::CaseInsensitive) == 0;
            g.inner = text.mid(start + 1, i - start - 1).toString();
            groups.push_back(std::move(g));
            lastEnd = i + 1;
        }
    }
    return groups;
}

QString unquote(QStringView v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.front() == u'\'' && v.back() == u'\'') {
        QString s = v.mid(1, v.size() - 2).toString();
        s.replace(QStringLiteral("''"), QStringLiteral("'"));
        return s;
    }
    return v.toString();
}

} // namespace

std::vector<FilterRow> filterRows(QStringView text)
{
    const std::vector<Group> groups = topLevelGroups(text);
    std::vector<FilterRow> rows;
    for (size_t i = 0; i < groups.size(); ++i) {
        const QString& inner = groups[i].inner;
        const qsizetype blank = inner.indexOf(u' ');
        if (blank <= 0)
            continue;
        FilterRow row;
        row.orJoin = groups[i].orJoin && !rows.empty();
        row.fieldName = inner.left(blank);
        const QString afterField = inner.mid(blank);
        const QString rest = afterField.trimmed();
        // "between": "(F  >= low) AND (F <= high)", two blanks before ">=".
        if (afterField.startsWith(QStringLiteral("  >= ")) && i + 1 < groups.size() && !groups[i + 1].orJoin) {
            const QString next = groups[i + 1].inner;
            const QString head = row.fieldName + QStringLiteral(" <= ");
            if (next.startsWith(head)) {
                row.condition = FilterCondition::Between;
                row.value = rest.mid(3).trimmed() + u' ' + next.mid(head.size()).trimmed();
                rows.push_back(row);
                ++i;
                continue;
            }
        }
        static const struct {
            const char* op;
            FilterCondition condition;
        } ops[] = {{"<>", FilterCondition::NotEqual}, {"<=", FilterCondition::NoGreater},
                   {">=", FilterCondition::NoLess}, {"=", FilterCondition::Equal},
                   {"<", FilterCondition::LessThan}, {">", FilterCondition::GreaterThan}};
        const QString upper = rest.toUpper().simplified();
        if (upper == u"IS NULL") {
            row.condition = FilterCondition::Empty;
        } else if (upper == u"IS NOT NULL" || upper == u"NOT IS NULL") {
            row.condition = FilterCondition::NotEmpty;
        } else if (upper.startsWith(u"IN")) {
            row.condition = FilterCondition::InList;
            QString list = rest.mid(2).trimmed();
            if (list.startsWith(u'(') && list.endsWith(u')'))
                list = list.mid(1, list.size() - 2);
            row.value = list;
        } else {
            bool found = false;
            for (const auto& op : ops) {
                if (rest.startsWith(QLatin1String(op.op))) {
                    row.condition = op.condition;
                    row.value = unquote(QStringView(rest).mid(qsizetype(qstrlen(op.op))));
                    found = true;
                    break;
                }
            }
            if (!found)
                continue;
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace cm
