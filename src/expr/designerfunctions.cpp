// The designer's functions: engine state, data sets, text, settings files,
// dates, variables, dialogs, element properties and colours. Every function
// checks its arguments first and turns any failure into an Error with an
// empty message.
#include "expr/datetimeformat.h"
#include "expr/formatsettings.h"
#include "expr/functionhelpers.h"
#include "expr/safeformat.h"
#include "expr/services.h"
#include "expr/settingsfiles.h"
#include "expr/variablestore.h"
#include "report/codepage.h"
#include "report/dataset.h"

#include <QDateTime>
#include <cmath>

namespace cm {

namespace {

const FormatSettings& fs() { return FormatSettings::current(); }
EngineHooks* engine() { return exprServices().engine; }
ReportAccess* report() { return exprServices().report; }

// Lengths beyond the longest text a value holds only waste memory.
int clampLength(int32_t n) { return qBound(0, n, MaxResultText); }

// ---- engine and report state

void fnNewPage(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 0 || !engine() || !engine()->newPage()) { out.setError(); return; }
    out.setString(QString());
}

void fnVertPrintPos(const TQREvElementFunction& f, EvResult& out)
{
    const std::optional<int> pos = (f.ArgCount() == 0 && engine()) ? engine()->verticalPrintPosition() : std::nullopt;
    if (pos) out.setInteger(*pos);
    else out.setError();
}

void fnPageNumber(const TQREvElementFunction& f, EvResult& out)
{
    const std::optional<int> page = (f.ArgCount() == 0 && engine()) ? engine()->pageNumber() : std::nullopt;
    if (page) out.setInteger(*page);
    else out.setError();
}

// Counts every evaluation, aggregation passes included; not an aggregate.
class TQREvCounterFunction : public TQREvElementFunction {
public:
    void Calculate(EvResult& out) override { out.setInteger(++m_counter); }
    void Reset() override { m_counter = 0; }

private:
    int32_t m_counter = 0;
};

void fnResetExpr(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "S") && report()) report()->resetExpression(f.Arg(0).strResult);
    out.setString(QString());
}

void fnGroupPrinted(const TQREvElementFunction& f, EvResult& out)
{
    const std::optional<bool> printed = (argsMatch(f, "S") && report()) ? report()->groupPrinted(f.Arg(0).strResult) : std::nullopt;
    if (printed) out.setBoolean(*printed);
    else out.setError();
}

void fnPrintDate(const TQREvElementFunction& f, EvResult& out)
{
    if (f.ArgCount() != 0) { out.setError(); return; }
    out.setString(formatDateTime(fs().shortDateFormat, QDateTime::currentDateTime(), fs()));
}

// ---- data sets

// Only the tables and queries a layout carries answer these; the log table does not.
void fnQueryParam(const TQREvElementFunction& f, EvResult& out)
{
    DataSet* ds = argsMatch(f, "SS") && report() ? report()->findDataSet(f.Arg(0).strResult, {}) : nullptr;
    const std::optional<QString> text = ds ? ds->paramText(f.Arg(1).strResult) : std::nullopt;
    if (text) out.setString(*text);
    else out.setError();
}

void fnRecordCount(const TQREvElementFunction& f, EvResult& out)
{
    DataSet* ds = argsMatch(f, "S") && report() ? report()->findDataSet(f.Arg(0).strResult, {}) : nullptr;
    if (ds && ds->isLayoutDataSet()) out.setInteger(ds->recordCount());
    else out.setError();
}

// The data set and field index named by the first two arguments.
bool findField(const TQREvElementFunction& f, DataSet*& ds, int& index)
{
    if (!report()) return false;
    ds = report()->findDataSet(f.Arg(0).strResult, f.Arg(1).strResult);
    index = ds ? ds->fieldIndex(f.Arg(1).strResult) : -1;
    return index >= 0;
}

void fnIsNull(const TQREvElementFunction& f, EvResult& out)
{
    DataSet* ds = nullptr;
    int index = -1;
    if (!argsMatch(f, "SS") || !findField(f, ds, index)) { out.setError(); return; }
    out.setBoolean(ds->isNull(index));
}

void fnFieldLen(const TQREvElementFunction& f, EvResult& out)
{
    DataSet* ds = nullptr;
    int index = -1;
    if (!argsMatch(f, "SS") || !findField(f, ds, index)) { out.setError(); return; }
    out.setInteger(ds->field(index).size);
}

void fnMemoLine(const TQREvElementFunction& f, EvResult& out)
{
    DataSet* ds = nullptr;
    int index = -1;
    if (!argsMatch(f, "SSI") || !findField(f, ds, index)) { out.setError(); return; }
    QString text = ds->text(index);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(u'\n');
    const int n = f.Arg(2).intResult;
    out.setString(n >= 1 && n <= lines.size() ? lines.at(n - 1) : QString());
}

void fnEof(const TQREvElementFunction& f, EvResult& out)
{
    DataSet* ds = (argsMatch(f, "S") && report()) ? report()->findDataSet(f.Arg(0).strResult, {}) : nullptr;
    if (ds) out.setBoolean(ds->eof());
    else out.setError();
}

// ---- conversion and text

void fnCurrency(const TQREvElementFunction&, EvResult& out) { out.setString(fs().currencyString); }

std::optional<int32_t> parseInt32(QStringView text)
{
    // Leading blanks, a sign, then decimal digits or '$' and hexadecimal digits.
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') { base = 16; ++i; }
    else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) { base = 16; i += 2; }
    if (i >= text.size()) return std::nullopt;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        const int d = text[i].unicode() < 128 ? QChar(text[i]).digitValue() : -1;
        const ushort c = text[i].toLower().unicode();
        const int digit = d >= 0 ? d : (base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
        if (digit < 0 || digit >= base) return std::nullopt;
        v = v * base + digit;
        if (v > (base == 16 ? 0xFFFFFFFFLL : 2147483648LL)) return std::nullopt;
    }
    if (base == 16) v = int64_t(int32_t(uint32_t(v)));
    else if (!negative && v > 2147483647LL) return std::nullopt;
    return int32_t(negative ? -v : v);
}

void fnStrToInt(const TQREvElementFunction& f, EvResult& out)
{
    const std::optional<int32_t> v = argsMatch(f, "S") ? parseInt32(f.Arg(0).strResult) : std::nullopt;
    if (v) out.setInteger(*v);
    else out.setError();
}

void fnStrToNum(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "S")) { out.setError(); return; }
    QString text = f.Arg(0).strResult.trimmed();
    if (f.Arg(0).strResult.isEmpty()) { out.setFloat(0.0); return; }
    // Numbers are written with the locale's decimal separator here.
    const QChar sep = fs().decimalSeparator;
    if (sep != u'.') {
        if (text.contains(u'.')) { out.setError(); return; }
        text.replace(sep, u'.');
    }
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (ok && std::isfinite(v)) out.setFloat(v);
    else out.setError();
}

void fnGetCaption(const TQREvElementFunction& f, EvResult& out)
{
    ReportObject* o = (argsMatch(f, "S") && report()) ? report()->findCaptionHolder(f.Arg(0).strResult) : nullptr;
    if (!o) { out.setError(); return; }
    out.setString(o->kind() == ReportObject::Kind::ExpressionElement ? o->textProperty(u"Expression")
                                                                     : o->textProperty(u"Caption"));
}

void fnTrim(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "S")) { out.setError(); return; }
    const QString& s = f.Arg(0).strResult;
    qsizetype b = 0, e = s.size();
    while (e > b && s.at(e - 1).unicode() <= 0x20) --e;
    while (b < e && s.at(b).unicode() <= 0x20) ++b;
    out.setString(s.mid(b, e - b));
}

void fnStrLen(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "S")) { out.setError(); return; }
    int n = 0;
    for (QChar c : f.Arg(0).strResult)
        if (!c.isLowSurrogate()) ++n;
    out.setInteger(n);
}

void fnStretchStr(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SI")) { out.setError(); return; }
    const int gap = clampLength(f.Arg(1).intResult);
    QString r;
    for (QChar c : f.Arg(0).strResult) {
        r.append(c);
        r.append(QString(gap, u' '));
        if (r.size() > 2 * MaxResultText) break;   // the value keeps 255 characters anyway
    }
    while (r.endsWith(u' ')) r.chop(1);
    out.setString(r);
}

void fnChr(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "I")) { out.setError(); return; }
    const char byte = char(uint8_t(f.Arg(0).intResult & 0xFF));
    out.setString(CodePage::layout().decode(QByteArrayView(&byte, 1)));
}

void fnVar(const TQREvElementFunction&, EvResult& out) { out.setError(); }

void fnAbs(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "I")) {
        const int32_t v = f.Arg(0).intResult;
        out.setInteger(v < 0 ? int32_t(0u - uint32_t(v)) : v);   // the smallest Integer stays negative
    } else if (argsMatch(f, "F")) {
        out.setFloat(std::fabs(f.Arg(0).dblResult));
    } else {
        out.setError();
    }
}

void pad(const TQREvElementFunction& f, EvResult& out, bool left, QChar fill, bool acceptInteger)
{
    QString s;
    if (argsMatch(f, "SI")) s = f.Arg(0).strResult;
    else if (acceptInteger && argsMatch(f, "II")) s = QString::number(f.Arg(0).intResult);
    else { out.setError(); return; }
    const int len = clampLength(f.Arg(1).intResult);
    if (s.size() < len) s = left ? QString(len - s.size(), fill) + s : s + QString(len - s.size(), fill);
    out.setString(s);
}

void fnPadLeft(const TQREvElementFunction& f, EvResult& out) { pad(f, out, true, u' ', false); }
void fnPadRight(const TQREvElementFunction& f, EvResult& out) { pad(f, out, false, u' ', false); }
void fnPadLeftZero(const TQREvElementFunction& f, EvResult& out) { pad(f, out, true, u'0', true); }

void fnInsertStr(const TQREvElementFunction& f, EvResult& out)
{
    const std::optional<QString> r = argsMatch(f, "SS") ? formatWithTexts(f.Arg(0).strResult, {f.Arg(1).strResult}) : std::nullopt;
    if (r) out.setString(*r);
    else out.setError();
}

// ---- settings files

void fnReadIni(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SSS")) { out.setError(); return; }
    out.setString(readIniValue(f.Arg(0).strResult, f.Arg(1).strResult, f.Arg(2).strResult).value_or(QString()));
}

void fnReadRegistry(const TQREvElementFunction& f, EvResult& out)
{
    const std::optional<QString> v = argsMatch(f, "SSS")
        ? readRegistryValue(f.Arg(0).strResult, f.Arg(1).strResult, f.Arg(2).strResult) : std::nullopt;
    if (v) out.setString(*v);
    else out.setError();
}

// ---- dates and times

std::optional<QDateTime> dateArg(const TQREvElementFunction& f, int i)
{
    return parseDateTimeText(f.Arg(i).strResult, fs());
}

QString dateText(const QDate& d) { return formatDateTime(fs().shortDateFormat, QDateTime(d, QTime(0, 0)), fs()); }

void fnDateDiff(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SS")) { out.setError(); return; }
    const auto a = dateArg(f, 0), b = dateArg(f, 1);
    if (!a || !b) { out.setError(); return; }
    const QDateTime ua(a->date(), a->time(), Qt::UTC), ub(b->date(), b->time(), Qt::UTC);
    out.setFloat(double(ua.msecsTo(ub)) / 86400000.0);
}

void fnReformatDate(const TQREvElementFunction& f, EvResult& out)
{
    const auto d = argsMatch(f, "SS") ? dateArg(f, 0) : std::nullopt;
    if (d) out.setString(formatDateTime(f.Arg(1).strResult, *d, fs()));
    else out.setError();
}

void fnCalcDate(const TQREvElementFunction& f, EvResult& out)
{
    const auto d = argsMatch(f, "SIII") ? dateArg(f, 0) : std::nullopt;
    if (!d) { out.setError(); return; }
    const QDate date = d->date();
    // Months carry into years; a day beyond the month's length runs on into the next month.
    int64_t month = int64_t(date.month()) + f.Arg(2).intResult;
    int64_t year = int64_t(date.year()) + f.Arg(3).intResult;
    const int64_t carry = (month - 1) >= 0 ? (month - 1) / 12 : -((12 - month) / 12);
    year += carry;
    month -= carry * 12;
    if (year < 1 || year > 9999) { out.setError(); return; }
    const QDate result = QDate(int(year), int(month), 1).addDays(int64_t(date.day()) - 1 + f.Arg(1).intResult);
    if (!result.isValid() || result.year() < 1 || result.year() > 9999) { out.setError(); return; }
    out.setString(dateText(result));
}

template <int Part>
void fnExtract(const TQREvElementFunction& f, EvResult& out)
{
    const auto d = argsMatch(f, "S") ? dateArg(f, 0) : std::nullopt;
    if (!d) { out.setError(); return; }
    const QDate date = d->date();
    switch (Part) {
    case 0: out.setInteger(date.day()); break;
    case 1: out.setInteger(date.month()); break;
    case 2: out.setInteger(date.year()); break;
    default: out.setInteger(date.dayOfWeek() % 7 + 1); break;   // 1 Sunday .. 7 Saturday
    }
}

void fnDayString(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "I") || f.Arg(0).intResult < 1 || f.Arg(0).intResult > 7) { out.setError(); return; }
    out.setString(fs().longDayNames[size_t(f.Arg(0).intResult - 1)]);
}

void fnMonthString(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "I") || f.Arg(0).intResult < 1 || f.Arg(0).intResult > 12) { out.setError(); return; }
    out.setString(fs().longMonthNames[size_t(f.Arg(0).intResult - 1)]);
}

void fnCalcTime(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SIII")) { out.setError(); return; }
    const auto t = parseTimeText(f.Arg(0).strResult, fs());
    if (!t) { out.setError(); return; }
    int64_t secs = int64_t(t->hour()) * 3600 + int64_t(t->minute()) * 60 + t->second() +
                   int64_t(f.Arg(1).intResult) * 3600 + int64_t(f.Arg(2).intResult) * 60 + f.Arg(3).intResult;
    secs %= 86400;   // whole days are dropped
    if (secs < 0) secs += 86400;
    const QTime result(int(secs / 3600), int(secs / 60 % 60), int(secs % 60), t->msec());
    out.setString(formatDateTime(fs().longTimeFormat, QDateTime(QDate(1899, 12, 30), result), fs()));
}

// ---- variables and dialogs

// The variables of the layout being worked on; without any (no layout, as
// in a bare evaluation) SETVAR and GETVAR fail and nothing exists.
VariableStore* vars() { return exprServices().variables; }

void fnSetVar(const TQREvElementFunction& f, EvResult& out)
{
    VariableStore* store = vars();
    if (!store || f.ArgCount() != 2 || f.Arg(0).kind != ResultKind::String) { out.setError(); return; }
    out = store->set(f.Arg(0).strResult, f.Arg(1)).value;
}

void fnGetVar(const TQREvElementFunction& f, EvResult& out)
{
    VariableStore* store = vars();
    const VariableStore::Variable* v = store && argsMatch(f, "S") ? store->find(f.Arg(0).strResult) : nullptr;
    if (v) out = v->value;
    else out.setError();
}

void fnVarExists(const TQREvElementFunction& f, EvResult& out)
{
    VariableStore* store = vars();
    if (argsMatch(f, "S")) out.setBoolean(store && store->find(f.Arg(0).strResult) != nullptr);
    else out.setError();
}

void fnDeleteVar(const TQREvElementFunction& f, EvResult& out)
{
    VariableStore* store = vars();
    if (argsMatch(f, "S")) out.setBoolean(store && store->remove(f.Arg(0).strResult));
    else out.setError();
}

// OKBOX, OKCANCELBOX and YESNOBOX: the answer of the dialog with the text.
template <bool (DialogService::*Box)(const QString&)>
void fnMessageBox(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "S")) out.setBoolean((dialogService().*Box)(f.Arg(0).strResult));
    else out.setError();
}

void fnInputBox(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SSS")) { out.setError(); return; }
    VariableStore* store = vars();
    const QString& name = f.Arg(2).strResult;
    const VariableStore::Variable* v = store ? store->find(name) : nullptr;
    QString text;
    if (v && !v->value.isError()) text = ValueToText(v->value);
    if (!dialogService().inputBox(f.Arg(0).strResult, f.Arg(1).strResult, text)) {
        out.setBoolean(false);
        return;
    }
    if (!store) { out.setError(); return; }   // the answer has nowhere to go
    if (!v) v = &store->set(name, EvResult::string(QString()));
    switch (v->value.kind) {
    case ResultKind::Integer: {
        bool ok = false;
        const int n = text.toInt(&ok);
        store->set(name, ok ? EvResult::integer(n) : EvResult::string(text));
        break;
    }
    case ResultKind::Float: {
        bool ok = false;
        const double d = text.toDouble(&ok);   // '.' as the decimal point
        store->set(name, ok ? EvResult::number(d) : EvResult::string(text));
        break;
    }
    case ResultKind::String:
        store->set(name, EvResult::string(text));
        break;
    case ResultKind::Boolean:
        if (text.compare(u"TRUE", Qt::CaseInsensitive) == 0 || text == u"1") store->set(name, EvResult::boolean(true));
        else if (text.compare(u"FALSE", Qt::CaseInsensitive) == 0 || text == u"0") store->set(name, EvResult::boolean(false));
        else store->set(name, EvResult::string(text));
        break;
    case ResultKind::Error:
        break;
    }
    out.setBoolean(true);
}

// ---- report elements

using Scope = ReportAccess::Scope;
using Kind = ReportObject::Kind;

ReportObject* element(const QString& name, Scope scope)
{
    return report() ? report()->findElement(name, scope) : nullptr;
}

bool isPrintable(const ReportObject* o)
{
    return o && (o->kind() == Kind::PrintableElement || o->kind() == Kind::ExpressionElement);
}

void fnElementExists(const TQREvElementFunction& f, EvResult& out)
{
    if (argsMatch(f, "S")) out.setBoolean(element(f.Arg(0).strResult, Scope::Forms) != nullptr);
    else out.setError();
}

void fnPropExists(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SS")) { out.setError(); return; }
    const ReportObject* o = element(f.Arg(0).strResult, Scope::Forms);
    out.setBoolean(o && o->hasProperty(f.Arg(1).strResult));
}

void fnSetColor(const TQREvElementFunction& f, EvResult& out)
{
    ReportObject* o = argsMatch(f, "SI") ? element(f.Arg(0).strResult, Scope::Forms) : nullptr;
    if (!o || !(isPrintable(o) || o->kind() == Kind::Band || o->kind() == Kind::Report)) { out.setError(); return; }
    o->setOrdinalProperty(u"Color", f.Arg(1).intResult);
    out.setBoolean(true);
}

// The element a SET...PROP may change: found in forms and data modules, not edit-protected.
ReportObject* writableElement(const TQREvElementFunction& f)
{
    ReportObject* o = element(f.Arg(0).strResult, Scope::FormsAndDataModules);
    return (o && !o->booleanProperty(u"BlockEdit")) ? o : nullptr;
}

void fnSetBoolProp(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SSB")) { out.setError(); return; }
    const QString prop = f.Arg(1).strResult.toUpper();
    if (prop == u"BLOCKEDIT" || prop == u"BLOCKCHANGE" || prop == u"BLOCKDELETE" || prop == u"BLOCKMOVE") {
        out.setError();
        return;
    }
    ReportObject* o = writableElement(f);
    if (!o) { out.setError(); return; }
    o->setOrdinalProperty(f.Arg(1).strResult, f.Arg(2).booResult ? 1 : 0);
    out = f.Arg(2);
}

void fnSetIntProp(const TQREvElementFunction& f, EvResult& out)
{
    ReportObject* o = argsMatch(f, "SSI") ? writableElement(f) : nullptr;
    if (!o) { out.setError(); return; }
    o->setOrdinalProperty(f.Arg(1).strResult, f.Arg(2).intResult);
    out = f.Arg(2);
}

void fnSetFloatProp(const TQREvElementFunction& f, EvResult& out)
{
    ReportObject* o = argsMatch(f, "SSF") ? writableElement(f) : nullptr;
    if (!o) { out.setError(); return; }
    o->setFloatProperty(f.Arg(1).strResult, f.Arg(2).dblResult);
    out = f.Arg(2);
}

void fnSetStrProp(const TQREvElementFunction& f, EvResult& out)
{
    ReportObject* o = argsMatch(f, "SSS") ? writableElement(f) : nullptr;
    if (!o || (f.Arg(1).strResult.compare(u"DATAFIELD", Qt::CaseInsensitive) == 0 && o->booleanProperty(u"BlockChange"))) {
        out.setError();
        return;
    }
    o->setTextProperty(f.Arg(1).strResult, f.Arg(2).strResult);
    out = f.Arg(2);
}

ReportObject* readableElement(const TQREvElementFunction& f)
{
    return argsMatch(f, "SS") ? element(f.Arg(0).strResult, Scope::Forms) : nullptr;
}

void fnGetBoolProp(const TQREvElementFunction& f, EvResult& out)
{
    if (ReportObject* o = readableElement(f)) out.setBoolean(o->booleanProperty(f.Arg(1).strResult));
    else out.setError();
}

void fnGetIntProp(const TQREvElementFunction& f, EvResult& out)
{
    if (ReportObject* o = readableElement(f)) out.setInteger(int32_t(o->ordinalProperty(f.Arg(1).strResult)));
    else out.setError();
}

void fnGetFloatProp(const TQREvElementFunction& f, EvResult& out)
{
    if (ReportObject* o = readableElement(f)) out.setFloat(o->floatProperty(f.Arg(1).strResult));
    else out.setError();
}

void fnGetStrProp(const TQREvElementFunction& f, EvResult& out)
{
    if (ReportObject* o = readableElement(f)) out.setString(o->textProperty(f.Arg(1).strResult));
    else out.setError();
}

// The font of the named printable element, or nullptr.
ReportObject* fontOf(const QString& name)
{
    ReportObject* o = element(name, Scope::Forms);
    return isPrintable(o) ? o->objectProperty(u"Font") : nullptr;
}

void fnSetFontColor(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SI")) { out.setError(); return; }
    ReportObject* font = fontOf(f.Arg(0).strResult);
    if (font) font->setOrdinalProperty(u"Color", f.Arg(1).intResult);
    out.setBoolean(font != nullptr);
}

void fnSetFontSize(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SI")) { out.setError(); return; }
    ReportObject* font = fontOf(f.Arg(0).strResult);
    if (font) font->setOrdinalProperty(u"Size", f.Arg(1).intResult);
    out.setBoolean(font != nullptr);
}

void fnSetFont(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SS")) { out.setError(); return; }
    ReportObject* font = fontOf(f.Arg(0).strResult);
    if (font) font->setTextProperty(u"Name", f.Arg(1).strResult);
    out.setBoolean(font != nullptr);
}

void fnSetFontStyle(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "SBBBB")) { out.setError(); return; }
    ReportObject* font = fontOf(f.Arg(0).strResult);
    if (font) {
        qint64 style = 0;   // bold, italic, underline, strike-out as bits 0..3
        for (int i = 0; i < 4; ++i)
            if (f.Arg(1 + i).booResult) style |= qint64(1) << i;
        font->setOrdinalProperty(u"Style", style);
    }
    out.setBoolean(font != nullptr);
}

// ---- colours

template <int32_t Colour>
void fnColour(const TQREvElementFunction&, EvResult& out) { out.setInteger(Colour); }

void fnRgbColor(const TQREvElementFunction& f, EvResult& out)
{
    if (!argsMatch(f, "III")) { out.setError(); return; }
    int32_t c[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = f.Arg(i).intResult;
        if (c[i] < 0 || c[i] > 255) { out.setError(); return; }
    }
    out.setInteger(c[2] * 65536 + c[1] * 256 + c[0]);
}

} // namespace

void registerDesignerFunctions(TQRFunctionLibrary& lib)
{
    const QString v = QString::fromLatin1(CardmintVendorTag);
    auto reg = [&](FunctionFactory f, const char* name, const QString& description, const char* data) {
        const QString upper = QString::fromLatin1(name);
        if (!lib.contains(upper))
            lib.RegisterFunction(std::move(f), upper, description, v, QString::fromLatin1(data));
    };
    auto d = [](const char* text) { return QString::fromUtf8(text); };
    reg(simpleFunction(fnNewPage), "NEWPAGE", d("NEWPAGE|Forces a page feed"), "7");
    reg(simpleFunction(fnVertPrintPos), "VERTPRINTPOS", d("VERPRINTPOS|Returns current vertical printing position"), "7");
    reg(simpleFunction(fnPageNumber), "PAGENUMBER", d("PAGENUMBER|Returns current page number"), "7");
    reg(functionClass<TQREvCounterFunction>(), "COUNTER", d("COUNTER|Counter; will be incremented on each print"), "7");
    reg(simpleFunction(fnResetExpr), "RESETEXPR", d("RESETEXPR(<exprname>)|Resets aggregated function values for expressions"), "7S");
    reg(simpleFunction(fnGroupPrinted), "GROUPPRINTED", d("GROUPPRINTED(<band>)|Returns if group \"band\" has been printed"), "7S");
    reg(simpleFunction(fnCurrency), "CURRENCY", d("CURRENCY|Returns Windows' default currency "), "7");
    reg(simpleFunction(fnQueryParam), "QUERYPARAM",
        d("QUERYPARAM(<Q>,<P>)|Gets parameter value from a query\rExample: QueryParam('CustQuery','MaxAmount')"), "4SS");
    reg(simpleFunction(fnStrToInt), "STRTOINT", d("STRTOINT(<X>)|Converts String to Integer"), "7S");
    reg(simpleFunction(fnStrToNum), "STRTONUM", d("STRTONUM(<X>)|Converts String to number"), "7S");
    reg(simpleFunction(fnGetCaption), "GETCAPTION", d("GETCAPTION(<S>)|Returns a component's caption"), "7S");
    reg(simpleFunction(fnRecordCount), "RECORDCOUNT", d("RECORDCOUNT(<DS>)|Returns a dataset's record count"), "4S");
    reg(simpleFunction(fnReadIni), "READINI", d("READINI(<S1>,<S2>,<S3>)|Reads entry S3 in section S2 from INI file S1"), "7SSS");
    reg(simpleFunction(fnReadRegistry), "READREGISTRY",
        d("READREGISTRY(S1,S2,S3)|Reads entry S3 in section S2 from registry key S1\rExample: ReadRegistry('HKEY_USERS','Software\\Microsoft','Test')"), "7SSS");
    reg(simpleFunction(fnDateDiff), "DATEDIFF", d("DATEDIFF(<D1>,<D2>)|Calculates days from D1 to D2"), "7SS");
    reg(simpleFunction(fnPrintDate), "PRINTDATE", d("PRINTDATE|Returns the printing date"), "1");
    reg(simpleFunction(fnReformatDate), "REFORMATDATE", d("REFORMATDATE(<D>,<F>)|Formats a date (and time)"), "7SS");
    reg(simpleFunction(fnCalcDate), "CALCDATE", d("CALCDATE( DT, D, M, Y )|Adds D days, M months and Y years to a given date DT"), "1SNNN");
    reg(simpleFunction(fnExtract<0>), "EXTRACTDAY", d("EXTRACTDAY(<DATE>)|Gets only the day from a given date."), "1S");
    reg(simpleFunction(fnExtract<1>), "EXTRACTMONTH", d("EXTRACTMONTH(<DATE>)|Gets only the month from a given date."), "1S");
    reg(simpleFunction(fnExtract<2>), "EXTRACTYEAR", d("EXTRACTYEAR(<DATE>)|Gets only the year from a given date."), "1S");
    reg(simpleFunction(fnExtract<3>), "DAYOFWEEK", d("DAYOFWEEK(<DATE>)|Returns the day of the week (1..7) for a given date."), "1S");
    reg(simpleFunction(fnDayString), "DAYSTRING", d("DAYSTRING(<D>)|Returns the day name for the given day (1=Sunday,2=...)."), "1N");
    reg(simpleFunction(fnMonthString), "MONTHSTRING", d("MONTHSTRING(<M>)|Returns the month name for the given month (1..12)."), "1N");
    reg(simpleFunction(fnCalcTime), "CALCTIME", d("CALCTIME( T, H, M, S )|Adds H hours, M minutes and S seconds to a given time T"), "1SNNN");
    reg(simpleFunction(fnTrim), "TRIM", d("TRIM(<S>)|Removes leading and trailing blanks from a string"), "7S");
    reg(simpleFunction(fnStrLen), "STRLEN", d("STRLEN(<S>)|Returns length of S in characters"), "7S");
    reg(simpleFunction(fnStretchStr), "STRETCHSTR", d("STRETCHSTR(<S>,<L>)|Inserts L blanks between each character of S"), "7SN");
    reg(simpleFunction(fnChr), "CHR", d("CHR(<I>)|Converts the ordinal ASCII value to a character"), "7N");
    reg(simpleFunction(fnVar), "VAR", d("VAR(<I>)|Application-calculated variable"), "7N");
    reg(simpleFunction(fnIsNull), "ISNULL", d("ISNULL(TABLE,FIELD)|Checks if a table's field contains no data."), "4SS");
    reg(simpleFunction(fnAbs), "ABS", d("ABS(<I>)|Returns the absolute value of I."), "2N");
    reg(simpleFunction(fnFieldLen), "FIELDLEN", d("FIELDLEN(TABLE,FIELD)|Returns the data field size in characters."), "4SS");
    reg(simpleFunction(fnMemoLine), "MEMOLINE",
        d("MEMOLINE(TABLE,FIELD,LINENO)|Returns a single line (1..n) from a memo field.\rExample: MEMOLINE('CustTable','Info',1)"), "4SS");
    reg(simpleFunction(fnEof), "EOF", d("EOF(TABLE)|Tests whether the current dataset position is the end-of-file"), "4S");
    reg(simpleFunction(fnPadLeft), "PADLEFT", d("PADLEFT(<S>,<Len>)|Fills up the string S to Len characters."), "7SN");
    reg(simpleFunction(fnPadRight), "PADRIGHT", d("PADRIGHT(<S>,<Len>)|Fills up the string S to Len characters"), "7SN");
    reg(simpleFunction(fnPadLeftZero), "PADLEFTZERO", d("PADLEFTZERO(<S>,<Len>)|Fills up the string S to Len characters with 0."), "7SN");
    reg(simpleFunction(fnInsertStr), "INSERTSTR", d("INSERTSTR(<Source>,<Insert>)|Insert string into Source at position %s"), "7SS");
    reg(simpleFunction(fnSetVar), "SETVAR", d("SETVAR(<Name>,<Value>)|Sets an internal variable with a given value"), "7SS");
    reg(simpleFunction(fnGetVar), "GETVAR", d("SETVAR(<Name>)|Returns a variable's value set with \"SetVar\""), "7S");
    reg(simpleFunction(fnVarExists), "VAREXISTS", d("VAREXISTS(<Name>)|Checks if a variable has been created with \"SetVar\""), "7S");
    reg(simpleFunction(fnDeleteVar), "DELETEVAR", d("DELETEVAR(<Name>)|Deletes a variable created with \"SetVar\""), "7S");
    reg(simpleFunction(fnElementExists), "ELEMENTEXISTS", d("ELEMENTEXISTS(<Name>)|Checks if a report element exists on the current report"), "7S");
    reg(simpleFunction(fnPropExists), "PROPEXISTS", d("PROPEXISTS(<Element>,<Property>)|Checks if property exists for a given report element"), "7SS");
    reg(simpleFunction(fnSetColor), "SETCOLOR", d("SETCOLOR(<Element>,<Color>)|Sets an report element's background color"), "7SN");
    reg(simpleFunction(fnSetBoolProp), "SETBOOLPROP", d("SETBOOLPROP(<Element>,<Property>,<Value>)|Sets a report element's boolean property"), "7SSB");
    reg(simpleFunction(fnSetIntProp), "SETINTPROP", d("SETINTPROP(<Element>,<Property>,<Value>)|Sets a report element's numerical property"), "7SSN");
    reg(simpleFunction(fnSetFloatProp), "SETFLOATPROP", d("SETFLOATPROP(<Element>,<Property>,<Value>)|Sets a report element's floating point number property"), "7SSN");
    reg(simpleFunction(fnSetStrProp), "SETSTRPROP", d("SETSTRPROP(<Element>,<Property>,<Value>)|Sets a report element's string property"), "7SSS");
    reg(simpleFunction(fnGetBoolProp), "GETBOOLPROP", d("GETBOOLPROP(<Element>,<Property>)|Gets a report element's boolean property"), "7SS");
    reg(simpleFunction(fnGetIntProp), "GETINTPROP", d("GETINTPROP(<Element>,<Property>)|Gets a report element's numerical property"), "7SS");
    reg(simpleFunction(fnGetFloatProp), "GETFLOATPROP", d("GETFLOATPROP(<Element>,<Property>)|Gets a report element's floating point number property"), "7SS");
    reg(simpleFunction(fnGetStrProp), "GETSTRPROP", d("GETSTRPROP(<Element>,<Property>)|Gets a report element's string property"), "7SS");
    reg(simpleFunction(fnMessageBox<&DialogService::okBox>), "OKBOX", d("OKBOX(<Text>)|Shows a message dialog with OK button"), "7S");
    reg(simpleFunction(fnMessageBox<&DialogService::okCancelBox>), "OKCANCELBOX", d("OKCANCELBOX(<Text>)|Shows a message dialog with OK and CANCEL buttons, returns TRUE or FALSE"), "7S");
    reg(simpleFunction(fnMessageBox<&DialogService::yesNoBox>), "YESNOBOX", d("YESNOBOX(<Text>)|Shows a message dialog with YES and NO buttons, returns TRUE or FALSE"), "7S");
    reg(simpleFunction(fnInputBox), "INPUTBOX", d("INPUTBOX(<TITLE>,<TEXT>,<VARNAME>)|Asks the user for a string and stores it in the VARNAME variable, returns TRUE or FALSE"), "7SSS");
    reg(simpleFunction(fnSetFontColor), "SETFONTCOLOR", d("SETFONTCOLOR(<Element>,<Color>)|Sets an report element's font color"), "7SN");
    reg(simpleFunction(fnSetFontSize), "SETFONTSIZE", d("SETFONTSIZE(<Element>,<Size>)|Sets an report element's font size"), "7SN");
    reg(simpleFunction(fnSetFont), "SETFONT", d("SETFONT(<Element>,<Fontname>)|Sets an report element's font"), "7SS");
    reg(simpleFunction(fnSetFontStyle), "SETFONTSTYLE",
        d("SETFONTSTYLE(<Element>,<Bold>,<Italic>,<Underl>,<Strikeout>)|Sets an report element's font style according to boolean parameters <Bold> etc."), "7SBBBB");

    const QString colourHelp = QStringLiteral("|Color constant for SETCOLOR and SETFONTCOLOR");
    auto colour = [&](CalcFn fn, const char* name) { reg(simpleFunction(fn), name, QString::fromLatin1(name) + colourHelp, "8"); };
    colour(fnColour<0x000000>, "BLACK");
    colour(fnColour<0x000080>, "MAROON");
    colour(fnColour<0x008000>, "GREEN");
    colour(fnColour<0x008080>, "OLIVE");
    colour(fnColour<0x800000>, "NAVY");
    colour(fnColour<0x800080>, "PURPLE");
    colour(fnColour<0x808000>, "TEAL");
    colour(fnColour<0x808080>, "GRAY");
    colour(fnColour<0xC0C0C0>, "SILVER");
    colour(fnColour<0x0000FF>, "RED");
    colour(fnColour<0x00FF00>, "LIME");
    colour(fnColour<0xFF0000>, "BLUE");
    colour(fnColour<0xFF00FF>, "FUCHSIA");
    colour(fnColour<0xFFFF00>, "AQUA");
    colour(fnColour<0xFFFFFF>, "WHITE");
    reg(simpleFunction(fnRgbColor), "RGBCOLOR",
        d("RGBCOLOR(<RED>,<GREEN>,<BLUE>)|Converts RGB color values to a color for SETCOLOR and SETFONTCOLOR. Valid range for each color is 0..255."), "7NNN");
}

} // namespace cm
