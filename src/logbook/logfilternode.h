#pragma once
// The parsed form of a filter text, shared by the filter's evaluation in
// memory and its translation into a logbook query.
#include "logbook/logfilter.h"

namespace cm {

namespace filternode {

enum class Op { Eq, Ne, Le, Ge, Lt, Gt, In, IsNull, NotNull };

struct Constant {
    QString text;         // text fields (a prefix when `prefix`)
    qint64 integer = 0;   // integer, boolean, date, time, date-time fields
    double real = 0.0;    // float fields
    bool prefix = false;
};

} // namespace filternode

struct LogFilter::Node {
    enum class Kind { And, Or, Not, Cond } kind = Kind::Cond;
    std::vector<std::unique_ptr<Node>> children;
    int column = -1;
    StoreKind storeKind = StoreKind::Text;
    filternode::Op op = filternode::Op::Eq;
    std::vector<filternode::Constant> values;
};

} // namespace cm
