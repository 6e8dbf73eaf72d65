#include "expr/formulacheck.h"

#include "expr/environment.h"

#include <algorithm>

namespace cm {

namespace {

// Notes where each name was compiled, so that its lookup failure can be told
// apart from a fault in the formula's form. An empty name (what is left of
// "F(1" without its parenthesis) or one with blanks in it (two words without
// an operator) is such a fault, not a name.
class NameNotingEvaluator : public TQREvaluator {
public:
    std::vector<size_t> nameElements;

protected:
    void CompileIdentifier(const QString& text) override
    {
        const bool looksLikeName =
            !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
        if (looksLikeName && compiled())
            nameElements.push_back(compiled()->size());
        TQREvaluator::CompileIdentifier(text);
    }
};

} // namespace

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

QString formulaFault(const QString& formula, DataSetList* dataSets, TQREvEnvironment* local, bool namesMustResolve)
{
    NameNotingEvaluator evaluator;
    if (dataSets)
        evaluator.SetDataSets(dataSets);
    evaluator.SetEnvironment(local);
    try {
        evaluator.Prepare(joinFormulaLines(formula));
    } catch (const EvaluatorException& e) {
        return e.message();
    }
    const TQRFiFo* list = evaluator.compiled();
    for (size_t i = 0; list && i < list->size(); ++i) {
        const auto* error = dynamic_cast<const TQREvElementError*>(list->at(i));
        if (!error)
            continue;
        const auto& names = evaluator.nameElements;
        if (!namesMustResolve && std::find(names.begin(), names.end(), i) != names.end())
            continue;
        return error->message().isEmpty() ? QStringLiteral("Error in expression") : error->message();
    }
    return QString();
}

} // namespace cm
