#pragma once
// One property table per stored class: name, kind, declared default, storage
// condition, reader and writer, in declaration order. The component stream,
// the property dialogs and the formula functions all read these tables, so
// the order of a class's properties is written down exactly once.
#include "report/propvalue.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace cm {

class Persistent;

enum class PropKind {
    Integer,
    Boolean,
    Enum,        // identifier by ordinal
    Set,         // member names
    Float,
    String,
    Color,       // integer with named values
    Cursor,
    Charset,
    Reference,   // another component
    Event,       // handler name
    Object,      // owned sub-object, streamed under a dotted path
};

struct EnumType {
    const char* name;
    QStringList members;   // by ordinal
    int ordinalOf(QStringView ident) const;   // -1 when unknown (case-insensitive)
};

struct ClassInfo;

struct PropInfo {
    const char* name = "";
    PropKind kind = PropKind::Integer;
    const EnumType* enumType = nullptr;        // Enum and Set
    std::optional<int64_t> defaultValue;       // declared default of ordinal kinds
    bool neverStored = false;                  // Name, HasChild ...
    bool shortString = false;                  // String kind held and stored with at most 255 characters
    std::function<bool(const Persistent&)> storedWhen;   // storage condition; empty: always
    std::function<PropValue(const Persistent&)> get;
    // Returns false when the value cannot be taken; the property then keeps its value.
    std::function<bool(Persistent&, const PropValue&)> set;
    // Object kind: the owned sub-object.
    std::function<Persistent*(Persistent&)> subObject;
    const ClassInfo* subClass = nullptr;
};

// Value of a property stored in its own form: a list of extended values
// ("Size.Values"), a list of strings ("Lines.Strings"), binary data
// ("Picture.Data") or an integer ("FontSize").
struct DefinedValue {
    enum class Kind { Reals, Lines, Binary, Integer };
    Kind kind = Kind::Integer;
    std::vector<Extended> reals;
    QStringList lines;
    QByteArray binary;
    int64_t integer = 0;
};

struct DefinedProp {
    const char* name = "";
    // Nothing when there is nothing to store.
    std::function<std::optional<DefinedValue>(const Persistent&)> get;
    // False when the value does not fit.
    std::function<bool(Persistent&, const DefinedValue&)> set;
};

class Container;
class Component;

struct ClassInfo {
    const char* name = "";
    std::vector<PropInfo> props;          // declaration order
    std::vector<DefinedProp> defined;     // after the published properties
    // Creates a component of this class owned by the container (components only).
    std::function<Component*(Container*)> create;

    const PropInfo* find(QStringView propName) const;   // case-insensitive
    const DefinedProp* findDefined(QStringView propName) const;
};

// Base of everything that has a property table: components and their owned
// sub-objects (font, frame, size, pen, brush, picture, string lists).
class Persistent {
public:
    virtual ~Persistent() = default;
    virtual const ClassInfo& classInfo() const = 0;
};

// Property access by (dotted) name: "Caption", "Font.Name", "Frame.DrawTop".
// The lookup walks sub-objects; names compare without regard to case.
struct PropertyPath {
    Persistent* object = nullptr;
    const PropInfo* info = nullptr;
    explicit operator bool() const { return object && info; }
};
PropertyPath resolveProperty(Persistent& root, QStringView dottedName);
bool hasProperty(Persistent& root, QStringView dottedName);
std::optional<PropValue> getProperty(Persistent& root, QStringView dottedName);
bool setProperty(Persistent& root, QStringView dottedName, const PropValue& value);

// Whether the writer stores this property of this object now.
bool isPropertyStored(const PropInfo& info, const Persistent& object);

} // namespace cm
