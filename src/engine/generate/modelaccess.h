#pragma once
// The formula functions' view of one open layout: components found by name
// across the containers of its scope, their properties read and written
// through the property tables, its variables, and during a run the
// generator's page state.
#include "expr/services.h"

#include <map>
#include <memory>
#include <vector>

namespace cm {

class Persistent;
class Component;
class ComponentScope;
class Container;
class ReportGenerator;

// A component (or an owned sub-object such as its font) seen through its property table.
class PropertyObject final : public ReportObject {
public:
    PropertyObject(Persistent& object, Kind kind);
    Kind kind() const override { return kind_; }
    bool hasProperty(QStringView property) const override;
    qint64 ordinalProperty(QStringView property) const override;
    double floatProperty(QStringView property) const override;
    QString textProperty(QStringView property) const override;
    ReportObject* objectProperty(QStringView property) override;
    void setOrdinalProperty(QStringView property, qint64 value) override;
    void setFloatProperty(QStringView property, double value) override;
    void setTextProperty(QStringView property, const QString& value) override;

private:
    Persistent& object_;
    Kind kind_;
    std::map<Persistent*, std::unique_ptr<PropertyObject>> children_;
};

ReportObject::Kind reportObjectKind(Component& component);

// ReportAccess and EngineHooks over the containers of one scope and, during
// a run, its generator. Without a scope nothing is found.
class ModelAccess final : public ReportAccess, public EngineHooks {
public:
    explicit ModelAccess(ComponentScope* scope, ReportGenerator* generator = nullptr)
        : scope_(scope), generator_(generator) {}

    ReportObject* findElement(QStringView name, Scope scope) override;
    ReportObject* findCaptionHolder(QStringView name) override;
    DataSet* findDataSet(QStringView name, QStringView fieldName) override;
    void resetExpression(QStringView name) override;
    std::optional<bool> groupPrinted(QStringView bandName) override;

    bool newPage() override;
    std::optional<int> verticalPrintPosition() override;
    std::optional<int> pageNumber() override;

private:
    ReportObject* wrap(Component* component);
    bool hasCardReport() const;
    const std::vector<Container*>& containers() const;

    ComponentScope* scope_;
    ReportGenerator* generator_;
    std::map<Component*, std::unique_ptr<PropertyObject>> objects_;
};

// Installs the access and the scope's variables for the lifetime of this
// object and restores the previous services after. A run uses the scope of
// its report's container; outside a run the scope is given.
class ScopedModelAccess {
public:
    explicit ScopedModelAccess(ReportGenerator* generator);
    explicit ScopedModelAccess(ComponentScope& scope);
    ~ScopedModelAccess();
    ScopedModelAccess(const ScopedModelAccess&) = delete;
    ScopedModelAccess& operator=(const ScopedModelAccess&) = delete;

private:
    ScopedModelAccess(ComponentScope* scope, ReportGenerator* generator);
    ModelAccess access_;
    ExprServices previous_;
};

} // namespace cm
