// Compiles and evaluates arbitrary formula text, and runs arbitrary script
// text when the input starts with '['. Neither may crash or hang.
#include "../tests/expr/memorydataset.h"

#include "expr/evaluator.h"
#include "expr/script.h"
#include "expr/services.h"
#include "expr/variablestore.h"

#include <QDateTime>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace {

cm::DataSetList& dataSets()
{
    using cm::FieldType;
    using cm::test::fieldDef;
    static cm::test::MemoryDataSet log(QStringLiteral("Tbl"),
                                       {fieldDef(QStringLiteral("Call"), FieldType::String, 12),
                                        fieldDef(QStringLiteral("Cq"), FieldType::SmallInt),
                                        fieldDef(QStringLiteral("Freq"), FieldType::Float),
                                        fieldDef(QStringLiteral("Datum"), FieldType::Date),
                                        fieldDef(QStringLiteral("Notes"), FieldType::Memo)});
    static cm::DataSetList list = [] {
        log.addRecord({QStringLiteral("DL1ABC"), 14, 14.074, QDateTime(QDate(2001, 3, 7), QTime(0, 0)),
                       QStringLiteral("memo")});
        return cm::DataSetList{&log};
    }();
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    cm::VariableStore variables;   // each input starts with none
    const cm::ScopedVariables installed(variables);
    try {
        if (text.startsWith(u'[')) {
            cm::ScriptRunner runner(text.split(u'\n'));
            runner.setDataSets(&dataSets());
            int steps = 0;
            runner.setCancelCheck([&steps] { return ++steps > 100; });
            const int end = int(text.indexOf(u']'));
            const QString header = end > 1 ? text.mid(1, end - 1) : QString();
            runner.RunScript(header.section(u'.', 0, 0), header.section(u'.', 1));
            return 0;
        }
        cm::TQREvaluator ev;
        ev.SetDataSets(&dataSets());
        ev.Prepare(text);
        cm::EvResult r = ev.Value();
        if (!r.isError())
            (void)cm::ValueToText(r);
        ev.DoAggregate();
        (void)ev.IsAggregate();
        ev.Reset();
        r = ev.Value();
    } catch (const cm::EvaluatorException&) {
        // the two documented misuses; neither may happen here, but they are not crashes
    }
    return 0;
}
