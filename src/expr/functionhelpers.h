#pragma once
// Shared pieces of the function libraries: a function element that runs a
// plain calculation, and small argument checks.
#include "expr/evelements.h"
#include "expr/functionlibrary.h"

#include <memory>

namespace cm {

using CalcFn = void (*)(const TQREvElementFunction& args, EvResult& out);

// A function whose whole behaviour is one calculation over its arguments.
// Any exception inside becomes an Error value with an empty message.
class TQREvSimpleFunction final : public TQREvElementFunction {
public:
    explicit TQREvSimpleFunction(CalcFn fn) : m_fn(fn) {}
    void Calculate(EvResult& out) override;

private:
    CalcFn m_fn;
};

inline FunctionFactory simpleFunction(CalcFn fn)
{
    return [fn] { return std::make_unique<TQREvSimpleFunction>(fn); };
}

template <typename T>
FunctionFactory functionClass()
{
    return [] { return std::make_unique<T>(); };
}

// True when the arguments have exactly these kinds ('N' Integer or Float,
// 'I' Integer, 'F' Float, 'S' String, 'B' Boolean, 'V' any).
bool argsMatch(const TQREvElementFunction& f, const char* kinds);

} // namespace cm
