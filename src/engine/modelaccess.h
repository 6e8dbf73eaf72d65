#pragma once
// The formula functions' view of the report during a run: components found
// by name across the open containers, their properties read and written
// through the property tables, and the generator's page state.
#include "expr/services.h"

#include <map>
#include <memory>

namespace cm {

class Persistent;
class Component;
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

// ReportAccess and EngineHooks over the live containers and one generator.
class ModelAccess final : public ReportAccess, public EngineHooks {
public:
    explicit ModelAccess(ReportGenerator* generator = nullptr) : generator_(generator) {}

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

    ReportGenerator* generator_;
    std::map<Component*, std::unique_ptr<PropertyObject>> objects_;
};

// Installs the access for the lifetime of this object and restores the previous services after.
class ScopedModelAccess {
public:
    explicit ScopedModelAccess(ReportGenerator* generator);
    ~ScopedModelAccess();
    ScopedModelAccess(const ScopedModelAccess&) = delete;
    ScopedModelAccess& operator=(const ScopedModelAccess&) = delete;

private:
    ModelAccess access_;
    ExprServices previous_;
};

} // namespace cm
