#include "expr/evelements.h"

#include "expr/environment.h"
#include "expr/formatsettings.h"
#include "expr/datetimeformat.h"
#include "expr/safeformat.h"
#include "report/dataset.h"

#include <QDateTime>
#include <cmath>

namespace cm {

QString evMessage(QStringView messageTemplate, const QString& a)
{
    return substituteArgs(messageTemplate, {a});
}

QString evMessage(QStringView messageTemplate, const QString& a, const QString& b)
{
    return substituteArgs(messageTemplate, {a, b});
}

int compareCodes(const QString& a, const QString& b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a.at(i) != b.at(i))
            return a.at(i).unicode() < b.at(i).unicode() ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

static const char16_t* operatorText(EvOperator op)
{
    switch (op) {
    case EvOperator::Less: return u"<";
    case EvOperator::LessEqual: return u"<=";
    case EvOperator::Greater: return u">";
    case EvOperator::GreaterEqual: return u">=";
    case EvOperator::Equal: return u"=";
    case EvOperator::NotEqual: return u"<>";
    case EvOperator::Plus: return u"+";
    case EvOperator::Minus: return u"-";
    case EvOperator::Multiply: return u"*";
    case EvOperator::Divide: return u"/";
    case EvOperator::Or: return u"OR";
    case EvOperator::And: return u"AND";
    }
    return u"";
}

static void notCompatible(EvOperator op, const char16_t* kind, EvResult& out)
{
    out.setError(evMessage(u"Operator %s is not compatible with %s expressions",
                           QString::fromUtf16(operatorText(op)), QString::fromUtf16(kind)));
}

static void cannot(const char16_t* verb, const char16_t* kind, EvResult& out)
{
    out.setError(evMessage(u"Cannot %s %s expressions", QString::fromUtf16(verb), QString::fromUtf16(kind)));
}

template <typename T>
static bool compareWith(EvOperator op, T a, T b)
{
    switch (op) {
    case EvOperator::Less: return a < b;
    case EvOperator::LessEqual: return a <= b;
    case EvOperator::Greater: return a > b;
    case EvOperator::GreaterEqual: return a >= b;
    case EvOperator::Equal: return a == b;
    default: return a != b;
    }
}

static bool isComparison(EvOperator op) { return op <= EvOperator::NotEqual; }

static int32_t wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }

void applyOperator(EvOperator op, EvResult& left, EvResult& right, EvResult& out)
{
    // Coercion: errors propagate, Integer meets Float as Float, any other
    // mixture compares and combines as texts.
    if (left.isError()) { out = std::move(left); return; }
    if (right.isError()) { out = std::move(right); return; }
    if (left.kind != right.kind) {
        if (left.isNumeric() && right.isNumeric()) {
            left.setFloat(left.toDouble());
            right.setFloat(right.toDouble());
        } else {
            left.setString(ValueToText(left));
            right.setString(ValueToText(right));
        }
    }
    switch (left.kind) {
    case ResultKind::Integer: {
        const int64_t a = left.intResult, b = right.intResult;
        if (isComparison(op)) { out.setBoolean(compareWith(op, a, b)); return; }
        switch (op) {
        case EvOperator::Plus: out.setInteger(wrap(a + b)); return;
        case EvOperator::Minus: out.setInteger(wrap(a - b)); return;
        case EvOperator::Multiply: out.setInteger(wrap(int64_t(uint64_t(a) * uint64_t(b)))); return;
        case EvOperator::Divide:
            if (b == 0) out.setError(QStringLiteral("Cannot divide by 0"));
            else out.setFloat(double(a) / double(b));
            return;
        case EvOperator::Or: out.setInteger(int32_t(a | b)); return;
        case EvOperator::And: out.setInteger(int32_t(a & b)); return;
        default: return;
        }
    }
    case ResultKind::Float: {
        const double a = left.dblResult, b = right.dblResult;
        if (isComparison(op)) { out.setBoolean(compareWith(op, a, b)); return; }
        switch (op) {
        case EvOperator::Plus: out.setFloat(a + b); return;
        case EvOperator::Minus: out.setFloat(a - b); return;
        case EvOperator::Multiply: out.setFloat(a * b); return;
        case EvOperator::Divide:
            if (b == 0.0) out.setError(QStringLiteral("Cannot divide by 0"));
            else out.setFloat(a / b);
            return;
        default: notCompatible(op, u"numeric", out); return;
        }
    }
    case ResultKind::String: {
        if (op == EvOperator::Equal || op == EvOperator::NotEqual) {
            out.setBoolean((left.strResult == right.strResult) == (op == EvOperator::Equal));
            return;
        }
        if (isComparison(op)) { out.setBoolean(compareWith(op, compareCodes(left.strResult, right.strResult), 0)); return; }
        switch (op) {
        case EvOperator::Plus: {
            QString sum = std::move(left.strResult);
            sum.append(right.strResult);
            out.setString(std::move(sum));
            return;
        }
        case EvOperator::Minus: cannot(u"subtract", u"string", out); return;
        case EvOperator::Multiply: cannot(u"multiply", u"string", out); return;
        case EvOperator::Divide: cannot(u"divide", u"string", out); return;
        default: notCompatible(op, u"string", out); return;
        }
    }
    case ResultKind::Boolean: {
        const bool a = left.booResult, b = right.booResult;
        switch (op) {
        case EvOperator::Equal: out.setBoolean(a == b); return;
        case EvOperator::NotEqual: out.setBoolean(a != b); return;
        case EvOperator::Plus: cannot(u"add", u"boolean", out); return;
        case EvOperator::Minus: cannot(u"subtract", u"boolean", out); return;
        case EvOperator::Multiply: cannot(u"multiply", u"boolean", out); return;
        case EvOperator::Divide: cannot(u"divide", u"boolean", out); return;
        case EvOperator::Or: out.setBoolean(a || b); return;
        case EvOperator::And: out.setBoolean(a && b); return;
        default: notCompatible(op, u"boolean", out); return;
        }
    }
    case ResultKind::Error:
        break;
    }
}

void TQREvElementOperator::Value(TQRFiFo& list, EvResult& out)
{
    EvResult left;
    EvResult right;
    list.evaluateNext(left);
    list.evaluateNext(right);   // no short-circuit: side effects on both sides run
    applyOperator(m_op, left, right, out);
}

void TQREvElementNot::Value(TQRFiFo& list, EvResult& out)
{
    list.evaluateNext(out);
    if (out.kind == ResultKind::Boolean)
        out.booResult = !out.booResult;
    else if (!out.isError())
        out.setError(QStringLiteral("Invalid use of NOT"));
}

void TQREvElementDataField::Value(TQRFiFo&, EvResult& out)
{
    if (m_index < 0 || m_index >= m_dataSet->fieldCount()) {
        out.setError();
        return;
    }
    const FieldDef& def = m_dataSet->field(m_index);
    const bool null = m_dataSet->isNull(m_index);
    const FieldType t = def.type;
    if (t == FieldType::String) {
        if (null) out.setString(QString());
        else out.setString(m_dataSet->text(m_index));
    } else if (isIntegerField(t)) {
        out.setInteger(null ? 0 : int32_t(uint32_t(uint64_t(m_dataSet->toInteger(m_index)))));
    } else if (isFloatField(t)) {
        out.setFloat(null ? 0.0 : m_dataSet->toFloat(m_index));
    } else if (t == FieldType::Boolean) {
        out.setBoolean(null ? false : m_dataSet->toBoolean(m_index));
    } else if (isDateTimeField(t)) {
        if (null) {
            out.setString(QString());
            return;
        }
        const FormatSettings& fs = FormatSettings::current();
        const QDateTime dt = m_dataSet->toDateTime(m_index);
        if (t == FieldType::Date)
            out.setString(formatDateTime(fs.shortDateFormat, dt, fs));
        else if (t == FieldType::Time)
            out.setString(formatDateTime(fs.longTimeFormat, dt, fs));
        else
            out.setString(formatDateTime(u"c", dt, fs));
    } else {
        out.setError(evMessage(u"Field %s is of unknown type", def.name));
    }
}

void TQREvElementWrapper::Value(TQRFiFo& list, EvResult& out) { m_entry->Value(list, out); }

void TQREvElementFunction::collectArguments(TQRFiFo& list)
{
    m_args.clear();
    for (;;) {
        TQREvElement* e = list.Get();
        if (!e || e->tag() == ElementTag::ArgumentEnd)
            break;
        m_args.emplace_back();
        e->Value(list, m_args.back());
    }
}

void TQREvElementFunction::Value(TQRFiFo& list, EvResult& out)
{
    collectArguments(list);
    if (list.aggregating)
        Aggregate();
    Calculate(out);
    m_args.clear();
}

} // namespace cm
