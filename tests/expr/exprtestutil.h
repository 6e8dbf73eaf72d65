#pragma once
// Helpers shared by the formula tests.
#include "expr/evaluator.h"
#include "expr/formatsettings.h"

#include <QString>
#include <gtest/gtest.h>
#include <ostream>

namespace cm::test {

// "Kind:text" for a value; errors show their message.
inline QString describe(const EvResult& r)
{
    static const char* const names[] = {"Integer", "Float", "String", "Boolean", "Error"};
    const QString text = r.isError() ? r.strResult : ValueToText(r);
    return QString::fromLatin1(names[int(r.kind)]) + u':' + text;
}

inline QString evaluate(const QString& formula, DataSetList* dataSets = nullptr)
{
    TQREvaluator ev;
    if (dataSets) ev.SetDataSets(dataSets);
    return describe(ev.Calculate(formula));
}

// Every test starts from the same English settings, whatever the machine's locale.
class ExprTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings::setCurrent(FormatSettings()); }
    void TearDown() override { FormatSettings::setCurrent(FormatSettings()); }
};

} // namespace cm::test

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE
