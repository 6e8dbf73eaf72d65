// cardmint-cli eval [--locale NAME] EXPR: evaluates one formula as a report
// outside a print run would (PAGENUMBER and COLUMNNUMBER 0, REPORTTITLE
// empty), with no data sets.
#include "cli.h"

#include "expr/environment.h"
#include "expr/evaluator.h"
#include "expr/formatsettings.h"
#include "expr/services.h"
#include "expr/variablestore.h"

#include <QLocale>

namespace {

QString kindText(cm::ResultKind kind)
{
    switch (kind) {
    case cm::ResultKind::Integer: return QStringLiteral("Integer");
    case cm::ResultKind::Float: return QStringLiteral("Float");
    case cm::ResultKind::String: return QStringLiteral("String");
    case cm::ResultKind::Boolean: return QStringLiteral("Boolean");
    case cm::ResultKind::Error: break;
    }
    return QStringLiteral("Error");
}

int runEval(const QStringList& args, cm::cli::Io& io)
{
    QStringList rest = args;
    if (!rest.isEmpty() && rest.first() == QLatin1String("--locale")) {
        if (rest.size() < 2) {
            io.err << "eval: --locale needs a locale name\n";
            return cm::cli::ExitUsage;
        }
        const QString name = rest.at(1);
        const QLocale locale(name);
        if (locale == QLocale::c() && name != QLatin1String("C") && name != QLatin1String("POSIX")) {
            io.err << "eval: unknown locale \"" << name << "\"\n";
            return cm::cli::ExitUsage;
        }
        cm::FormatSettings::setCurrent(cm::FormatSettings::fromLocale(locale));
        rest = rest.mid(2);
    }
    if (rest.size() != 1) {
        io.err << "usage: cardmint-cli eval [--locale NAME] EXPR\n";
        return cm::cli::ExitUsage;
    }
    try {
        cm::VariableStore variables;   // the formula's own
        const cm::ScopedVariables installed(variables);
        const auto environment = cm::makeReportEnvironment();
        environment->Prepare();
        cm::TQREvaluator evaluator;
        evaluator.SetEnvironment(environment.get());
        const cm::EvResult r = evaluator.Calculate(rest.first());
        const QString text = r.isError() ? r.strResult : cm::ValueToText(r);
        io.out << kindText(r.kind) << '\t' << text << '\n';
        return cm::cli::ExitOk;
    } catch (const cm::EvaluatorException& e) {
        io.err << "eval: " << e.message() << '\n';
        return cm::cli::ExitFailure;
    }
}

cm::cli::CliRegistration reg({"eval", "eval [--locale NAME] EXPR", &runEval,
                              "Evaluates one formula and prints KIND<TAB>TEXT.\n"
                              "  --locale NAME    number and date formats of a locale (de_DE, sl_SI ...)\n"});

} // namespace
