#include "expr/functionhelpers.h"

#include <cstring>

namespace cm {

void TQREvSimpleFunction::Calculate(EvResult& out)
{
    try {
        m_fn(*this, out);
    } catch (...) {
        out.setError();
    }
}

bool argsMatch(const TQREvElementFunction& f, const char* kinds)
{
    const int n = int(std::strlen(kinds));
    if (f.ArgCount() != n)
        return false;
    for (int i = 0; i < n; ++i) {
        const ResultKind k = f.Arg(i).kind;
        switch (kinds[i]) {
        case 'N': if (k != ResultKind::Integer && k != ResultKind::Float) return false; break;
        case 'I': if (k != ResultKind::Integer) return false; break;
        case 'F': if (k != ResultKind::Float) return false; break;
        case 'S': if (k != ResultKind::String) return false; break;
        case 'B': if (k != ResultKind::Boolean) return false; break;
        default: break;
        }
    }
    return true;
}

} // namespace cm
