#include "expr/formulacheck.h"

#include "expr/environment.h"

namespace cm {

QString joinFormulaLines(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            ++i;   // the line feed (or whatever follows) goes with it
            continue;
        }
        if (c != u'\n')
            out.append(c);
    }
    return out;
}

QString validateFormula(const QString& formula, DataSetList* dataSets, TQREvEnvironment* local)
{
    // Prepared in pairs so that a failure inside leaves the counts as they were.
    struct Prepared {
        TQREvEnvironment* env;
        explicit Prepared(TQREvEnvironment* e) : env(e) { if (env) env->Prepare(); }
        ~Prepared() { if (env) env->Unprepare(); }
        Prepared(const Prepared&) = delete;
        Prepared& operator=(const Prepared&) = delete;
    };
    const Prepared global(&globalEnvironment());
    const Prepared own(local);   // its entries read the data sets it was given

    EvResult result;
    try {
        TQREvaluator evaluator;
        if (dataSets)
            evaluator.SetDataSets(dataSets);
        evaluator.SetEnvironment(local);
        result = evaluator.Calculate(joinFormulaLines(formula));
    } catch (const EvaluatorException& e) {
        result = EvResult::error(e.message());
    }
    if (result.isError() || (result.kind == ResultKind::String && result.strResult.isEmpty()))
        return QStringLiteral("ERROR: ") + result.strResult;
    return QStringLiteral("There are no errors. The result is : ") + ValueToText(result);
}

} // namespace cm
