// The standard functions: conditions, conversions, text, date and time,
// arithmetic and the five aggregates.
#include "expr/datetimeformat.h"
#include "expr/formatsettings.h"
#include "expr/functionhelpers.h"
#include "expr/numberformat.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace cm {

namespace {

QString wrongArguments(const char* name) { return evMessage(u"Wrong arguments for %s", QString::fromLatin1(name)); }

bool fitsInt32(double v)
{
    return std::isfinite(v) && v >= double(std::numeric_limits<int32_t>::min()) &&
           v <= double(std::numeric_limits<int32_t>::max());
}

void fnIf(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 3 || f.Arg(0).kind != ResultKind::Boolean) {
        out.setError(wrongArguments("IF"));
        return;
    }
    out = f.Arg(f.Arg(0).booResult ? 1 : 2);
}

void fnStr(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() == 1) {
        const EvResult& a = f.Arg(0);
        if (a.kind == ResultKind::Integer || a.kind == ResultKind::Float || a.kind == ResultKind::Boolean) {
            out.setString(ValueToText(a));
            return;
        }
    }
    out.setError(QStringLiteral("Conversion error"));
}

template <QString (*Convert)(const QString&)>
void caseFunction(const TQREvElementFunction& f, EvResult& out, const char* name)
{
    if (f.ArgCount() != 1) {
        out.setError(evMessage(u"Missing argument for %s", QString::fromLatin1(name)));
        return;
    }
    const EvResult& a = f.Arg(0);
    if (a.kind == ResultKind::String) out.setString(Convert(a.strResult));
    else if (a.isError()) out = a;
    else out.setError(wrongArguments(name));
}

QString toUpperText(const QString& s) { return QLocale().toUpper(s); }
QString toLowerText(const QString& s) { return QLocale().toLower(s); }
QString prettyText(const QString& s)
{
    if (s.isEmpty()) return s;
    const qsizetype firstLen = (s.at(0).isHighSurrogate() && s.size() > 1) ? 2 : 1;
    return QLocale().toUpper(s.left(firstLen)) + QLocale().toLower(s.mid(firstLen));
}

void fnUpper(const TQREvElementFunction& f, EvResult& out) { caseFunction<toUpperText>(f, out, "UPPER"); }
void fnLower(const TQREvElementFunction& f, EvResult& out) { caseFunction<toLowerText>(f, out, "LOWER"); }
void fnPretty(const TQREvElementFunction& f, EvResult& out) { caseFunction<prettyText>(f, out, "PRETTY"); }

void fnTime(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 0) { out.setError(); return; }
    const FormatSettings& fs = FormatSettings::current();
    out.setString(formatDateTime(fs.longTimeFormat, QDateTime::currentDateTime(), fs));
}

void fnDate(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 0) { out.setError(); return; }
    const FormatSettings& fs = FormatSettings::current();
    out.setString(formatDateTime(fs.shortDateFormat, QDateTime::currentDateTime(), fs));
}

void fnCopy(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SII")) { out.setError(); return; }
    const QString& s = f.Arg(0).strResult;
    const int64_t start = qMax<int64_t>(f.Arg(1).intResult, 1);
    const int64_t len = f.Arg(2).intResult;
    if (start > s.size() || len < 0) { out.setString(QString()); return; }
    out.setString(s.mid(qsizetype(start - 1), qsizetype(qMin<int64_t>(len, s.size()))));
}

void fnTrue(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 0) out.setError(QStringLiteral("Too many arguments"));
    else out.setBoolean(true);
}

void fnFalse(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 0) out.setError(QStringLiteral("Too many arguments"));
    else out.setBoolean(false);
}

void fnInt(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "I")) { out = f.Arg(0); return; }
    if (argsMatch(f, "F")) {
        const double t = std::trunc(f.Arg(0).dblResult);
        if (fitsInt32(t)) out.setInteger(int32_t(t));
        else out.setError(wrongArguments("INT"));   // beyond 32 bits: no silent wrap
        return;
    }
    out.setError(wrongArguments("INT"));
}

void fnFrac(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "I")) out.setFloat(0.0);
    else if (argsMatch(f, "F")) out.setFloat(f.Arg(0).dblResult - std::trunc(f.Arg(0).dblResult));
    else out.setError();
}

void fnSqrt(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "N") && f.Arg(0).toDouble() >= 0) out.setFloat(std::sqrt(f.Arg(0).toDouble()));
    else out.setError(QStringLiteral("Invalid argument to SQRT function"));
}

void fnDiv(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "NN")) { out.setError(wrongArguments("DIV")); return; }
    int64_t v[2];
    for (int i = 0; i < 2; ++i) {
        const EvResult& a = f.Arg(i);
        if (a.kind == ResultKind::Integer) {
            v[i] = a.intResult;
        } else {
            const double r = std::nearbyint(a.dblResult);   // halves to the even neighbour
            if (!fitsInt32(r)) { out.setError(wrongArguments("DIV")); return; }
            v[i] = int64_t(r);
        }
    }
    if (v[1] == 0) { out.setError(QStringLiteral("Division by Zero")); return; }
    out.setInteger(int32_t(uint32_t(uint64_t(v[0] / v[1]))));   // MIN / -1 wraps like the CPU's 32-bit result
}

void fnTypeOf(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 1) { out.setError(wrongArguments("TypeOf")); return; }
    out.setString(kindName(f.Arg(0).kind));
}

void fnFormatNumeric(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SN")) { out.setError(); return; }
    if (auto text = tryFormatFloat(f.Arg(0).strResult, f.Arg(1).toDouble(), FormatSettings::current()))
        out.setString(*text);
    else
        out.setError(QStringLiteral("Invalid format or value specified"));
}

// SUM's step, shared with AVERAGE.
struct SumState {
    EvResult total;
    bool started = false;

    void step(const TQREvElementFunction& f)
    {
        if (f.ArgCount() != 1) { total.setError(); started = true; return; }
        const EvResult& a = f.Arg(0);
        if (!started) {
            started = true;
            if (a.isNumeric()) total = a;
            else total.setError();
            return;
        }
        if (total.isError()) return;
        if (a.kind == ResultKind::String) { total.setError(); return; }
        if (a.kind != total.kind) return;   // Booleans, Errors and the other numeric kind
        if (a.kind == ResultKind::Integer)
            total.intResult = int32_t(uint32_t(uint64_t(int64_t(total.intResult) + a.intResult)));
        else
            total.dblResult += a.dblResult;
    }
};

class TQREvSumFunction : public TQREvElementFunction {
public:
    TQREvSumFunction() { aggregate = true; }
    void Aggregate() override { m_sum.step(*this); }
    void Calculate(EvResult& out) override
    {
        if (m_sum.started) out = m_sum.total;
        else out.setInteger(0);
    }
    void Reset() override { m_sum = SumState(); }

private:
    SumState m_sum;
};

class TQREvAverageFunction : public TQREvElementFunction {
public:
    TQREvAverageFunction() { aggregate = true; m_average.setInteger(0); }
    void Aggregate() override
    {
        m_sum.step(*this);
        ++m_count;
        if (m_sum.total.isNumeric()) m_average.setFloat(m_sum.total.toDouble() / double(m_count));
        else m_average.setError();
    }
    void Calculate(EvResult& out) override { out = m_average; }
    void Reset() override
    {
        m_sum = SumState();
        m_count = 0;
        m_average.setFloat(0.0);
    }

private:
    SumState m_sum;
    int64_t m_count = 0;
    EvResult m_average;
};

template <bool Max>
class TQREvMinMaxFunction : public TQREvElementFunction {
public:
    TQREvMinMaxFunction() { aggregate = true; }
    void Aggregate() override
    {
        if (ArgCount() != 1) { m_kept.setError(); m_started = true; return; }
        const EvResult& a = Arg(0);
        if (!m_started) { m_kept = a; m_started = true; return; }
        if (m_kept.isError()) return;
        int cmp = 0;
        if (m_kept.isNumeric() && a.isNumeric()) {
            const double x = a.toDouble(), y = m_kept.toDouble();
            cmp = x < y ? -1 : (x > y ? 1 : 0);
        } else if (a.kind != m_kept.kind) {
            return;   // the first value's kind fixes the comparison
        } else if (a.kind == ResultKind::String) {
            cmp = compareCodes(a.strResult, m_kept.strResult);
        } else if (a.kind == ResultKind::Boolean) {
            cmp = int(a.booResult) - int(m_kept.booResult);
        }
        if ((Max && cmp > 0) || (!Max && cmp < 0)) m_kept = a;
    }
    void Calculate(EvResult& out) override
    {
        if (m_started) out = m_kept;
        else out.setInteger(0);
    }
    void Reset() override { m_started = false; m_kept = EvResult(); }

private:
    EvResult m_kept;
    bool m_started = false;
};

class TQREvCountFunction : public TQREvElementFunction {
public:
    TQREvCountFunction() { aggregate = true; }
    void Value(TQRFiFo& list, EvResult& out) override
    {
        collectArguments(list);
        if (ArgCount() > 0) out.setError(QStringLiteral("COUNT - ") + QStringLiteral("Too many arguments"));
        else {
            if (list.aggregating) ++m_count;
            out.setInteger(m_count);
        }
        clearArguments();
    }
    void Reset() override { m_count = 0; }

private:
    int32_t m_count = 0;
};

} // namespace

void registerStandardFunctions(TQRFunctionLibrary& lib)
{
    const QString v = QString::fromLatin1(CardmintVendorTag);
    auto reg = [&](FunctionFactory f, const char* name, const char* description, const char* data) {
        lib.RegisterFunction(std::move(f), QString::fromLatin1(name), QString::fromUtf8(description), v,
                             QString::fromLatin1(data));
    };
    reg(simpleFunction(fnIf), "IF", "IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>", "5BVV");
    reg(simpleFunction(fnStr), "STR", "STR(<X>)|Convert a numeric <X> to a string", "7N");
    reg(simpleFunction(fnUpper), "UPPER", "UPPER(<X>)|Converts a string to upper case letters", "7S");
    reg(simpleFunction(fnLower), "LOWER", "LOWER(<X>)|Converts a string to lower case letters", "7S");
    reg(simpleFunction(fnPretty), "PRETTY", "PRETTY(<X>)|Makes the first character upper case and the rest lower case", "7S");
    reg(simpleFunction(fnTime), "TIME", "TIME|Return current time as a string", "1");
    reg(simpleFunction(fnDate), "DATE", "DATE|Return current date as a string", "1");
    reg(simpleFunction(fnCopy), "COPY", "COPY(<X>, <St>,<Len>)|Returns a substring of string X", "7SNN");
    reg(functionClass<TQREvSumFunction>(), "SUM", "SUM(<X>)|Sums the numeric <X>", "3N");
    reg(functionClass<TQREvCountFunction>(), "COUNT", "COUNT|Increments for each iteration", "3");
    reg(functionClass<TQREvMinMaxFunction<true>>(), "MAX", "MAX(<X>)|Returns the highest <X>", "3V");
    reg(functionClass<TQREvMinMaxFunction<false>>(), "MIN", "MIN(<X>)|Returns the lowest <X>", "3V");
    reg(functionClass<TQREvAverageFunction>(), "AVERAGE", "AVERAGE(<X>)|Returns the average of numeric <X>", "3N");
    reg(simpleFunction(fnTrue), "TRUE", "TRUE|boolean value", "5");
    reg(simpleFunction(fnFalse), "FALSE", "FALSE|boolean value", "5");
    reg(simpleFunction(fnInt), "INT", "INT(<X>)|Returns the integer part of <X>", "2N");
    reg(simpleFunction(fnFrac), "FRAC", "FRAC(<X>)|Returns the fractional part of <X>", "2N");
    reg(simpleFunction(fnSqrt), "SQRT", "SQRT(<X>)|Returns square root of <X>", "2N");
    reg(simpleFunction(fnDiv), "DIV", "DIV(<X>, <Y>) | Integer division of <X> by <Y>", "2NN");
    reg(simpleFunction(fnTypeOf), "TYPEOF", "TYPEOF(<Exp>)|Returns the data type of <Exp>", "6N");
    reg(simpleFunction(fnFormatNumeric), "FORMATNUMERIC", "FORMATNUMERIC(<F>,<N>)|Formats numeric <N> using the mask in <F>", "7SN");
}

} // namespace cm
