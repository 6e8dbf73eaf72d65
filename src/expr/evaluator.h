#pragma once
// The formula evaluator: Prepare compiles a formula once into a prefix list;
// Value walks that list against the current records of the data sets.
#include "expr/evelements.h"

#include <QString>
#include <memory>
#include <vector>

namespace cm {

class DataSet;
class TQREvEnvironment;

using DataSetList = std::vector<DataSet*>;

class TQREvaluator {
public:
    TQREvaluator();
    virtual ~TQREvaluator();
    TQREvaluator(const TQREvaluator&) = delete;
    TQREvaluator& operator=(const TQREvaluator&) = delete;

    // Data sets and environment are read at Prepare time only.
    void SetDataSets(DataSetList* list);
    DataSetList* DataSets();
    void SetEnvironment(TQREvEnvironment* environment) { m_environment = environment; }
    TQREvEnvironment* Environment() const { return m_environment; }

    void Prepare(QStringView formula);
    void Unprepare();
    bool Prepared() const { return m_prepared; }

    // Throws EvaluatorException("Evaluator not prepared") when not prepared.
    EvResult Value();
    void Value(EvResult& out);   // the same without a returned copy
    void Reset();
    void DoAggregate();
    bool IsAggregate() const;
    EvResult Calculate(QStringView formula);

    // The first compiled element, for overwriting constants in place.
    TQREvElement* FirstElement() const;
    // The compiled list (null before Prepare); filled while compiling.
    const TQRFiFo* compiled() const { return m_list.get(); }

    // Evaluators of the global environment's own entries must not hold a
    // reference on that environment (it would never be released).
    void setHoldsGlobalEnvironment(bool holds) { m_holdsGlobal = holds; }

protected:
    // The two compile steps a subclass may replace.
    virtual void CompileFunction(const QString& text);
    virtual void CompileIdentifier(const QString& text);

    void put(std::unique_ptr<TQREvElement> element);

private:
    void compileLevel1(const QString& text);
    bool tooDeep(const QString& text);
    struct BinaryLevel;
    void compileBinaryLevel(const QString& text, const BinaryLevel& level);
    void compileLevel2(const QString& text);
    void compileLevel3(const QString& text);
    void compileFactor(const QString& text);
    void compileNumber(const QString& text);
    std::unique_ptr<TQREvElement> lookupEnvironment(const QString& name) const;

    bool m_prepared = false;
    bool m_holdsGlobal = true;
    int m_depth = 0;   // compile nesting, bounded so hostile input cannot exhaust the stack
    std::unique_ptr<TQRFiFo> m_list;
    TQREvEnvironment* m_environment = nullptr;
    DataSetList* m_dataSets = nullptr;
    std::unique_ptr<DataSetList> m_ownDataSets;
};

} // namespace cm
