#include "expr/evaluator.h"

#include "expr/environment.h"
#include "expr/functionlibrary.h"
#include "report/dataset.h"

namespace cm {

namespace {

// Deeper nesting than this is refused with an error element: a hostile
// formula must not exhaust the stack while compiling or evaluating.
constexpr int MaxCompileDepth = 400;

struct ScanState {
    bool inString = false;
    bool inBrackets = false;
    int depth = 0;

    void step(QChar c)
    {
        if (c == u'\'') {
            if (!inBrackets) inString = !inString;
        } else if (c == u'[') {
            if (!inString && !inBrackets) inBrackets = true;
        } else if (c == u']') {
            if (inBrackets && !inString) inBrackets = false;
        } else if (c == u'(') {
            if (!inString && !inBrackets) ++depth;
        } else if (c == u')') {
            if (!inString && !inBrackets) --depth;
        }
    }
    bool topLevel(qsizetype index) const { return depth == 0 && !inString && !inBrackets && index >= 1; }
};

// Swaps two operator characters where they are at top level, so that the
// right operand of '-' or '/' keeps left-to-right evaluation.
QString swapTopLevel(const QString& text, QChar a, QChar b)
{
    QString out = text;
    ScanState st;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        st.step(c);
        if (st.depth == 0 && !st.inString && !st.inBrackets) {
            if (c == a) out[i] = b;
            else if (c == b) out[i] = a;
        }
    }
    return out;
}

bool wordAt(const QString& text, qsizetype i, QStringView word)
{
    // A blank, the word, a blank.
    if (text.at(i) != u' ' || i + 1 + word.size() + 1 > text.size())
        return false;
    for (qsizetype k = 0; k < word.size(); ++k) {
        if (text.at(i + 1 + k).toLower() != word[k]) return false;
    }
    return text.at(i + 1 + word.size()) == u' ';
}

QString trimBlanks(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b).unicode() <= 0x20) ++b;
    while (e > b && text.at(e - 1).unicode() <= 0x20) --e;
    return text.mid(b, e - b);
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
};

std::unique_ptr<TQREvElement> errorElement(QStringView messageTemplate, const QString& arg)
{
    return std::make_unique<TQREvElementError>(evMessage(messageTemplate, arg));
}

} // namespace

TQREvaluator::TQREvaluator() = default;

TQREvaluator::~TQREvaluator()
{
    if (m_prepared)
        Unprepare();
}

void TQREvaluator::SetDataSets(DataSetList* list)
{
    if (list != m_ownDataSets.get())
        m_ownDataSets.reset();
    m_dataSets = list;
}

DataSetList* TQREvaluator::DataSets()
{
    if (!m_dataSets) {
        m_ownDataSets = std::make_unique<DataSetList>();
        m_dataSets = m_ownDataSets.get();
    }
    return m_dataSets;
}

void TQREvaluator::Prepare(QStringView formula)
{
    if (m_prepared)
        Unprepare();
    if (m_holdsGlobal)
        globalEnvironment().Prepare();
    m_list = std::make_unique<TQRFiFo>();
    m_depth = 0;
    compileLevel1(formula.isEmpty() ? QStringLiteral("' '") : formula.toString());
    m_prepared = true;
}

void TQREvaluator::Unprepare()
{
    if (!m_prepared)
        return;
    m_list.reset();
    m_prepared = false;
    if (m_holdsGlobal && globalEnvironmentAlive())
        globalEnvironment().Unprepare();
}

void TQREvaluator::Value(EvResult& out)
{
    if (!m_prepared)
        throw EvaluatorException(QStringLiteral("Evaluator not prepared"));
    m_list->Start();
    m_list->evaluateNext(out);
}

EvResult TQREvaluator::Value()
{
    EvResult r;
    Value(r);
    return r;
}

void TQREvaluator::Reset()
{
    if (!m_list) return;
    for (size_t i = 0; i < m_list->size(); ++i)
        m_list->at(i)->Reset();
}

void TQREvaluator::DoAggregate()
{
    if (!m_prepared)
        throw EvaluatorException(QStringLiteral("Evaluator not prepared"));
    struct FlagGuard {
        TQRFiFo& l;
        ~FlagGuard() { l.aggregating = false; }
    } guard{*m_list};
    m_list->aggregating = true;
    EvResult discarded;
    Value(discarded);
}

bool TQREvaluator::IsAggregate() const
{
    if (!m_list) return false;
    for (size_t i = 0; i < m_list->size(); ++i) {
        if (m_list->at(i)->aggregate) return true;
    }
    return false;
}

EvResult TQREvaluator::Calculate(QStringView formula)
{
    Prepare(formula);
    struct UnprepareGuard {
        TQREvaluator& e;
        ~UnprepareGuard() { e.Unprepare(); }
    } guard{*this};
    return Value();
}

TQREvElement* TQREvaluator::FirstElement() const
{
    return m_list && !m_list->empty() ? m_list->at(0) : nullptr;
}

void TQREvaluator::put(std::unique_ptr<TQREvElement> element) { m_list->Put(std::move(element)); }

// Formulas nested deeper than the limit compile to an error instead of
// exhausting the stack.
bool TQREvaluator::tooDeep(const QString& text)
{
    if (m_depth <= MaxCompileDepth)
        return false;
    put(errorElement(u"Error in expression : %s", text.left(MaxResultText)));
    return true;
}

// Level 1: one comparison per parenthesis level.
void TQREvaluator::compileLevel1(const QString& text)
{
    DepthGuard g(m_depth);
    if (tooDeep(text))
        return;
    ScanState st;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const QChar c = text.at(i);
        st.step(c);
        if (!st.topLevel(i)) continue;
        EvOperator op;
        qsizetype len = 1;
        const QChar next = text.at(i + 1);
        if (c == u'<') {
            if (next == u'>') { op = EvOperator::NotEqual; len = 2; }
            else if (next == u'=') { op = EvOperator::LessEqual; len = 2; }
            else op = EvOperator::Less;
        } else if (c == u'=') {
            op = EvOperator::Equal;
        } else if (c == u'>') {
            if (next == u'=') { op = EvOperator::GreaterEqual; len = 2; }
            else op = EvOperator::Greater;
        } else {
            continue;
        }
        put(std::make_unique<TQREvElementOperator>(op));
        compileLevel2(text.left(i));
        compileLevel2(text.mid(i + len));
        return;
    }
    compileLevel2(text);
}

// Levels 2 (+ - OR) and 3 (* / AND) share one shape: the first top-level
// operator splits the text; the left side goes one level down, the right
// side recurses at this level (with its operators swapped after - and /).
struct TQREvaluator::BinaryLevel {
    QChar plainOp;                 // + or *
    QChar swappingOp;              // - or /
    EvOperator plain;
    EvOperator swapping;
    QStringView word;              // "or" / "and"
    EvOperator wordOp;
    void (TQREvaluator::*lower)(const QString&);
    void (TQREvaluator::*same)(const QString&);
};

void TQREvaluator::compileBinaryLevel(const QString& text, const BinaryLevel& lv)
{
    DepthGuard g(m_depth);
    if (tooDeep(text))
        return;
    ScanState st;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const QChar c = text.at(i);
        st.step(c);
        if (!st.topLevel(i)) continue;
        if (c == lv.plainOp || c == lv.swappingOp) {
            put(std::make_unique<TQREvElementOperator>(c == lv.plainOp ? lv.plain : lv.swapping));
            (this->*lv.lower)(text.left(i));
            const QString right = text.mid(i + 1);
            (this->*lv.same)(c == lv.swappingOp ? swapTopLevel(right, lv.plainOp, lv.swappingOp) : right);
            return;
        }
        if (wordAt(text, i, lv.word)) {
            put(std::make_unique<TQREvElementOperator>(lv.wordOp));
            (this->*lv.lower)(text.left(i + 1));
            (this->*lv.same)(text.mid(i + lv.word.size() + 1));
            return;
        }
    }
    (this->*lv.lower)(text);
}

void TQREvaluator::compileLevel2(const QString& text)
{
    static const BinaryLevel level{u'+', u'-', EvOperator::Plus, EvOperator::Minus, u"or", EvOperator::Or,
                                   &TQREvaluator::compileLevel3, &TQREvaluator::compileLevel2};
    compileBinaryLevel(text, level);
}

void TQREvaluator::compileLevel3(const QString& text)
{
    static const BinaryLevel level{u'*', u'/', EvOperator::Multiply, EvOperator::Divide, u"and", EvOperator::And,
                                   &TQREvaluator::compileFactor, &TQREvaluator::compileLevel3};
    compileBinaryLevel(text, level);
}

// Level 4: a factor.
void TQREvaluator::compileFactor(const QString& rawText)
{
    DepthGuard g(m_depth);
    const QString text = trimBlanks(rawText);
    if (tooDeep(text))
        return;
    if (text.size() >= 3 && text.left(3).toLower() == QLatin1String("not")) {
        put(std::make_unique<TQREvElementNot>());
        compileLevel2(text.mid(3));
        return;
    }
    const QChar first = text.isEmpty() ? QChar() : text.at(0);
    const QChar last = text.isEmpty() ? QChar() : text.at(text.size() - 1);
    const ushort u = first.unicode();
    if (first == u'\'') {
        if (last != u'\'')
            put(errorElement(u"Missing %s", QStringLiteral("'")));
        else
            put(std::make_unique<TQREvElementString>(text.size() >= 2 ? text.mid(1, text.size() - 2) : QString()));
    } else if (first == u'(') {
        if (last != u')' || text.size() < 2)
            put(errorElement(u"Missing %s", QStringLiteral(")")));
        else
            compileLevel1(text.mid(1, text.size() - 2));
    } else if (first == u'+') {
        compileFactor(text.mid(1));
    } else if (first == u'-') {
        compileLevel2(QStringLiteral("0-") + text.mid(1));
    } else if (u >= '0' && u <= '9') {
        compileNumber(text);
    } else if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) {
        CompileFunction(text);
    } else if (first == u'[') {
        if (last != u']' || text.size() < 2)
            put(errorElement(u"Missing %s", QStringLiteral("]")));
        else
            CompileIdentifier(text.mid(1, text.size() - 2));
    } else {
        put(errorElement(u"Error in expression : %s", text.left(MaxResultText)));
    }
}

void TQREvaluator::compileNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') ++i;
    const auto illegal = [&] {
        put(errorElement(u"Illegal character in numeric contant \"%s\"", text.left(MaxResultText)));
    };
    bool ok = false;
    if (i == text.size()) {
        const int v = text.toInt(&ok);
        if (ok) {
            put(std::make_unique<TQREvElementConstant>(EvResult::integer(v)));
            return;
        }
    } else {
        for (qsizetype k = i; k < text.size(); ++k) {
            const ushort c = text.at(k).unicode();
            if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e')) {
                illegal();
                return;
            }
        }
    }
    // The formula always writes '.' as its decimal point, whatever the locale.
    const double d = text.toDouble(&ok);
    if (!ok) {
        illegal();
        return;
    }
    put(std::make_unique<TQREvElementConstant>(EvResult::number(d)));
}

void TQREvaluator::CompileFunction(const QString& text)
{
    QString name;
    QString args;
    bool hasArgs = false;
    const qsizetype open = text.indexOf(u'(');
    if (open < 0) {
        name = text;
    } else if (text.endsWith(u')')) {
        name = text.left(open);
        args = text.mid(open + 1, text.size() - open - 2);
        hasArgs = true;
    }
    const QString upper = name.toUpper();
    std::unique_ptr<TQREvElementFunction> fn = functionLibrary().create(upper);
    if (!fn) {
        if (hasArgs && !args.isEmpty())
            put(errorElement(u"Unknown function : %s", upper.left(MaxResultText)));
        else
            CompileIdentifier(name);
        return;
    }
    // Cut the argument text at top-level commas outside quotes.
    QStringList pieces;
    bool inString = false;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        const QChar c = args.at(i);
        if (c == u'\'') inString = !inString;
        else if (!inString && c == u'(') ++depth;
        else if (!inString && c == u')') --depth;
        else if (!inString && depth == 0 && c == u',') {
            pieces.append(args.mid(start, i - start));
            start = i + 1;
        }
    }
    if (start < args.size())
        pieces.append(args.mid(start));
    fn->reserveArguments(int(pieces.size()));
    put(std::move(fn));
    for (const QString& piece : pieces)
        compileLevel1(piece);
    put(std::make_unique<TQREvElementArgumentEnd>());
}

void TQREvaluator::CompileIdentifier(const QString& text)
{
    if (m_dataSets) {
        const qsizetype dot = text.indexOf(u'.');
        const QString setName = dot < 0 ? QString() : text.left(dot);
        const QString fieldName = dot < 0 ? text : text.mid(dot + 1);
        for (DataSet* ds : *m_dataSets) {
            if (!ds) continue;
            if (!setName.isEmpty()) {
                if (ds->name().compare(setName, Qt::CaseInsensitive) != 0) continue;
                const int index = ds->fieldIndex(fieldName);
                if (index >= 0) {
                    put(std::make_unique<TQREvElementDataField>(ds, index));
                    return;
                }
                break;   // only the first data set of that name is searched
            }
            const int index = ds->fieldIndex(fieldName);
            if (index >= 0) {
                put(std::make_unique<TQREvElementDataField>(ds, index));
                return;
            }
        }
    }
    put(lookupEnvironment(text));
}

std::unique_ptr<TQREvElement> TQREvaluator::lookupEnvironment(const QString& name) const
{
    if (m_environment && m_environment->contains(name))
        return m_environment->lookup(name);
    return globalEnvironment().lookup(name);
}

} // namespace cm
