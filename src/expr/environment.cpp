#include "expr/environment.h"

#include "expr/datetimeformat.h"
#include "expr/formatsettings.h"
#include "expr/functionlibrary.h"

#include <QCoreApplication>
#include <QDateTime>

namespace cm {

TQREvEmbeddedFunction::TQREvEmbeddedFunction(QString formula, bool global) : m_formula(std::move(formula))
{
    m_evaluator.setHoldsGlobalEnvironment(!global);
}

void TQREvEmbeddedFunction::Value(TQRFiFo&, EvResult& out)
{
    if (m_busy) {
        out.setError(QStringLiteral("Recursive calls not allowed"));
        return;
    }
    struct BusyGuard {
        bool& b;
        ~BusyGuard() { b = false; }
    } guard{m_busy};
    m_busy = true;
    m_evaluator.Value(out);
}

void TQREvEmbeddedFunction::Reset() { m_evaluator.Reset(); }

TQREvEnvironment::TQREvEnvironment(bool global) : m_global(global) {}

static bool s_globalAlive = true;

bool globalEnvironmentAlive() { return s_globalAlive; }

TQREvEnvironment::~TQREvEnvironment()
{
    if (m_global)
        s_globalAlive = false;
    // Entries' evaluators release their references while the count is cleared.
    m_prepareCount = 0;
    m_entries.clear();
}

TQREvEmbeddedFunction* TQREvEnvironment::find(const QString& name) const
{
    const QString upper = name.toUpper();
    for (const Entry& e : m_entries) {
        if (e.name == upper) return e.entry.get();
    }
    return nullptr;
}

void TQREvEnvironment::compile(TQREvEmbeddedFunction& entry)
{
    TQREvaluator& ev = entry.evaluator();
    ev.SetDataSets(DataSets());
    ev.SetEnvironment(this);
    ev.Prepare(entry.formula());
}

void TQREvEnvironment::Add(const QString& name, const QString& formula)
{
    const QString upper = name.toUpper();
    if (find(upper))
        return;
    m_entries.push_back({upper, std::make_unique<TQREvEmbeddedFunction>(formula, m_global)});
    if (m_prepareCount > 0)
        compile(*m_entries.back().entry);
}

void TQREvEnvironment::Delete(const QString& name)
{
    const QString upper = name.toUpper();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->name == upper) {
            m_entries.erase(it);
            return;
        }
    }
}

bool TQREvEnvironment::RenameAt(int i, const QString& name)
{
    const QString upper = name.toUpper();
    if (i < 0 || i >= Count() || upper.isEmpty())
        return false;
    if (const TQREvEmbeddedFunction* other = find(upper); other && other != m_entries[size_t(i)].entry.get())
        return false;
    m_entries[size_t(i)].name = upper;
    return true;
}

bool TQREvEnvironment::SetFormulaAt(int i, const QString& formula)
{
    if (i < 0 || i >= Count() || Prepared())
        return false;
    m_entries[size_t(i)].entry = std::make_unique<TQREvEmbeddedFunction>(formula, m_global);
    return true;
}

void TQREvEnvironment::Clear() { m_entries.clear(); }

std::unique_ptr<TQREvElement> TQREvEnvironment::lookup(const QString& name)
{
    if (TQREvEmbeddedFunction* e = find(name))
        return std::make_unique<TQREvElementWrapper>(e);
    return std::make_unique<TQREvElementError>(evMessage(u"Unknown function : %s", name.left(MaxResultText)));
}

EvResult TQREvEnvironment::ValueOf(const QString& name)
{
    EvResult r;
    if (TQREvEmbeddedFunction* e = find(name)) {
        TQRFiFo unused;
        e->Value(unused, r);
    }
    return r;
}

TQREvElement* TQREvEnvironment::ElementOf(const QString& name)
{
    TQREvEmbeddedFunction* e = find(name);
    if (!e || !e->evaluator().Prepared())
        return nullptr;
    return e->evaluator().FirstElement();
}

void TQREvEnvironment::SetString(TQREvElement* element, const QString& text)
{
    if (element && element->tag() == ElementTag::String)
        static_cast<TQREvElementString*>(element)->setText(text);
}

void TQREvEnvironment::SetInteger(TQREvElement* element, int32_t value)
{
    if (element && element->tag() == ElementTag::Constant)
        static_cast<TQREvElementConstant*>(element)->setValue(EvResult::integer(value));
}

void TQREvEnvironment::SetValue(TQREvElement* element, const EvResult& value)
{
    if (!element) return;
    if (element->tag() == ElementTag::Constant)
        static_cast<TQREvElementConstant*>(element)->setValue(value);
    else if (element->tag() == ElementTag::String && value.kind == ResultKind::String)
        static_cast<TQREvElementString*>(element)->setText(value.strResult);
}

void TQREvEnvironment::Prepare()
{
    if (m_prepareCount++ > 0)
        return;
    for (Entry& e : m_entries)
        compile(*e.entry);
}

void TQREvEnvironment::Unprepare()
{
    if (m_prepareCount <= 0)
        return;
    if (--m_prepareCount > 0)
        return;
    for (Entry& e : m_entries)
        e.entry->evaluator().Unprepare();
}

void TQREvEnvironment::SetDataSets(DataSetList* list)
{
    if (list != m_ownDataSets.get())
        m_ownDataSets.reset();
    m_dataSets = list;
}

DataSetList* TQREvEnvironment::DataSets()
{
    if (!m_dataSets) {
        m_ownDataSets = std::make_unique<DataSetList>();
        m_dataSets = m_ownDataSets.get();
    }
    return m_dataSets;
}

static QString quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

TQREvEnvironment& globalEnvironment()
{
    functionLibrary();   // the registry is filled before the environment exists
    static TQREvEnvironment env(true);
    static const bool filled = [] {
        TQREvEnvironment* e = &env;
        const QDateTime now = QDateTime::currentDateTime();
        const FormatSettings& fs = FormatSettings::current();
        QString title = QCoreApplication::applicationName();
        if (title.isEmpty()) title = QStringLiteral("Cardmint");
        e->Add(QStringLiteral("AppStartTime"), quoted(formatDateTime(fs.longTimeFormat, now, fs)));
        e->Add(QStringLiteral("AppStartDate"), quoted(formatDateTime(fs.shortDateFormat, now, fs)));
        e->Add(QStringLiteral("AppName"), quoted(title));
        return true;
    }();
    Q_UNUSED(filled);
    return env;
}

std::unique_ptr<TQREvEnvironment> makeReportEnvironment()
{
    auto env = std::make_unique<TQREvEnvironment>();
    env->Add(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    env->Add(QStringLiteral("COLUMNNUMBER"), QStringLiteral("0"));
    env->Add(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
    return env;
}

} // namespace cm
