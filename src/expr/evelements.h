#pragma once
// Compiled formula elements. A formula compiles to a flat list in prefix
// order; evaluating walks the list once, each element reading the elements
// of its operands or arguments after it.
#include "expr/evresult.h"

#include <memory>
#include <vector>

namespace cm {

class DataSet;
class TQRFiFo;
class TQREvEmbeddedFunction;

// Lets the list and the environment recognise elements without RTTI.
enum class ElementTag : uint8_t { Other, Constant, String, ArgumentEnd, Function };

class TQREvElement {
public:
    explicit TQREvElement(ElementTag tag = ElementTag::Other) : m_tag(tag) {}
    virtual ~TQREvElement() = default;
    TQREvElement(const TQREvElement&) = delete;
    TQREvElement& operator=(const TQREvElement&) = delete;

    virtual void Value(TQRFiFo& list, EvResult& out) = 0;
    virtual void Reset() {}

    ElementTag tag() const { return m_tag; }
    bool aggregate = false;

private:
    ElementTag m_tag;
};

// The element list of one compiled formula, with its read cursor.
class TQRFiFo {
public:
    void Put(std::unique_ptr<TQREvElement> element) { m_items.push_back(std::move(element)); }
    void Start() { m_pos = 0; }
    TQREvElement* Get() { return m_pos < m_items.size() ? m_items[m_pos++].get() : nullptr; }
    // Evaluates the next element; a list that ends early gives an empty Error.
    void evaluateNext(EvResult& out)
    {
        TQREvElement* e = Get();
        if (e && e->tag() != ElementTag::ArgumentEnd)
            e->Value(*this, out);
        else
            out.setError();
    }
    bool empty() const { return m_items.empty(); }
    size_t size() const { return m_items.size(); }
    TQREvElement* at(size_t i) const { return m_items[i].get(); }

    bool aggregating = false;

private:
    std::vector<std::unique_ptr<TQREvElement>> m_items;
    size_t m_pos = 0;
};

class TQREvElementConstant : public TQREvElement {
public:
    explicit TQREvElementConstant(const EvResult& value) : TQREvElement(ElementTag::Constant), m_value(value) {}
    void Value(TQRFiFo&, EvResult& out) override { out = m_value; }
    void setValue(const EvResult& value) { m_value = value; }

private:
    EvResult m_value;
};

class TQREvElementString : public TQREvElement {
public:
    explicit TQREvElementString(QString text) : TQREvElement(ElementTag::String), m_value(EvResult::string(std::move(text))) {}
    void Value(TQRFiFo&, EvResult& out) override { out = m_value; }
    void setText(QString text) { m_value.setString(std::move(text)); }

private:
    EvResult m_value;
};

class TQREvElementError : public TQREvElement {
public:
    explicit TQREvElementError(QString message) : m_value(EvResult::error(std::move(message))) {}
    void Value(TQRFiFo&, EvResult& out) override { out = m_value; }
    const QString& message() const { return m_value.strResult; }

private:
    EvResult m_value;
};

class TQREvElementArgumentEnd : public TQREvElement {
public:
    TQREvElementArgumentEnd() : TQREvElement(ElementTag::ArgumentEnd) {}
    void Value(TQRFiFo&, EvResult& out) override { out.setError(); }
};

enum class EvOperator : uint8_t { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual,
                                  Plus, Minus, Multiply, Divide, Or, And };

class TQREvElementOperator : public TQREvElement {
public:
    explicit TQREvElementOperator(EvOperator op) : m_op(op) {}
    void Value(TQRFiFo& list, EvResult& out) override;

private:
    EvOperator m_op;
};

// NOT is kept as its own one-operand element.
class TQREvElementNot : public TQREvElement {
public:
    void Value(TQRFiFo& list, EvResult& out) override;
};

class TQREvElementDataField : public TQREvElement {
public:
    TQREvElementDataField(DataSet* dataSet, int index) : m_dataSet(dataSet), m_index(index) {}
    void Value(TQRFiFo& list, EvResult& out) override;

private:
    DataSet* m_dataSet;
    int m_index;
};

// Refers to an environment entry it does not own.
class TQREvElementWrapper : public TQREvElement {
public:
    explicit TQREvElementWrapper(TQREvEmbeddedFunction* entry) : m_entry(entry) {}
    void Value(TQRFiFo& list, EvResult& out) override;

private:
    TQREvEmbeddedFunction* m_entry;
};

// Base of every function. Value collects the arguments up to the argument
// end, lets aggregates step when the list is aggregating, then calculates.
class TQREvElementFunction : public TQREvElement {
public:
    TQREvElementFunction() : TQREvElement(ElementTag::Function) {}
    void Value(TQRFiFo& list, EvResult& out) override;
    virtual void Aggregate() {}
    virtual void Calculate(EvResult& out) { out.setError(); }

    int ArgCount() const { return int(m_args.size()); }
    const EvResult& Arg(int i) const { return m_args[size_t(i)]; }
    // Called by the compiler so that collecting arguments never allocates.
    void reserveArguments(int count) { m_args.reserve(size_t(count)); }

protected:
    void collectArguments(TQRFiFo& list);
    void clearArguments() { m_args.clear(); }

private:
    std::vector<EvResult> m_args;
};

// Replaces %s in our own message templates.
QString evMessage(QStringView messageTemplate, const QString& a);
QString evMessage(QStringView messageTemplate, const QString& a, const QString& b);

// Operand coercion and the operator table, shared with the aggregates.
void applyOperator(EvOperator op, EvResult& left, EvResult& right, EvResult& out);
// String comparison by character codes; a proper prefix is smaller.
int compareCodes(const QString& a, const QString& b);

} // namespace cm
