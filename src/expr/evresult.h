#pragma once
// The value every formula computes: a small record passed by value. Only the
// payload of the current kind is meaningful.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <stdexcept>

namespace cm {

enum class ResultKind : uint8_t { Integer = 0, Float = 1, String = 2, Boolean = 3, Error = 4 };

// A value holds at most this many characters of text (code points).
constexpr int MaxResultText = 255;

// Cuts a text to MaxResultText characters without splitting a surrogate pair.
void cutResultText(QString& text);

struct EvResult {
    ResultKind kind = ResultKind::Error;
    int32_t intResult = 0;
    double dblResult = 0.0;
    QString strResult;   // kind String; for kind Error the message
    bool booResult = false;

    static EvResult integer(int32_t v) { EvResult r; r.kind = ResultKind::Integer; r.intResult = v; return r; }
    static EvResult number(double v) { EvResult r; r.kind = ResultKind::Float; r.dblResult = v; return r; }
    static EvResult boolean(bool v) { EvResult r; r.kind = ResultKind::Boolean; r.booResult = v; return r; }
    static EvResult string(QString text);
    static EvResult error(QString message = QString());

    void setInteger(int32_t v) { kind = ResultKind::Integer; intResult = v; }
    void setFloat(double v) { kind = ResultKind::Float; dblResult = v; }
    void setBoolean(bool v) { kind = ResultKind::Boolean; booResult = v; }
    void setString(QString text);
    void setError(QString message = QString());

    bool isError() const { return kind == ResultKind::Error; }
    bool isNumeric() const { return kind == ResultKind::Integer || kind == ResultKind::Float; }
    double toDouble() const { return kind == ResultKind::Integer ? double(intResult) : dblResult; }
};

// Raised by the evaluator's two misuses and by ValueToText of an Error.
class EvaluatorException : public std::runtime_error {
public:
    explicit EvaluatorException(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Float in the general format: up to 15 significant digits, no trailing
// zeros, scientific below 1e-5 or beyond 15 integer digits.
QString formatGeneralFloat(double value, QChar decimalSeparator);

// Integer, Float, String and Boolean as text; an Error raises EvaluatorException.
QString ValueToText(const EvResult& value);

// Kind name as written in messages and TYPEOF ("INTEGER" ...).
QString kindName(ResultKind kind);

} // namespace cm
