#pragma once
// What an element needs from the run while it prints: the page output, the
// band it sits on (for stretching), page and record counters, and the
// formula environment of the report.
#include "expr/evaluator.h"
#include "report/rounding.h"

#include <QString>

class QPainter;

namespace cm {

class TQRPrinter;
class TQREvEnvironment;
class ExprPrinter;
class Component;

class PrintContext {
public:
    virtual ~PrintContext() = default;

    virtual TQRPrinter& output() = 0;
    // The open page's surface.
    virtual QPainter& canvas() = 0;
    virtual int zoom() const = 0;

    // Stretching of the band being printed (native units).
    virtual bool canStretch(Extended amount) const = 0;
    // Grows the band by `amount` when the page has room; see the element's growth rules.
    virtual void stretchBand(Extended amount, Extended& growth, bool& hasGrown) = 0;
    virtual Extended bandExpansion() const = 0;

    virtual int pageNumber() const = 0;
    virtual QString reportTitle() const = 0;
    virtual int detailCount() const = 0;    // records of the report's data set
    virtual int detailNumber() const = 0;   // the report controller's counter

    virtual DataSetList* dataSets() = 0;
    virtual TQREvEnvironment* environment() = 0;
    // Expression elements that aggregate ask to be told of every detail record.
    virtual void registerAggregate(ExprPrinter* client, Component* master) = 0;
    // A text element's text did not fit its box and was clipped on this page.
    virtual void noteTextClipped(const Component&) {}
};

} // namespace cm
