#include "layout/componentstream.h"

#include "layout/namedvalues.h"
#include "layout/storedprops.h"
#include "layout/streamvalue.h"
#include "report/componentscope.h"
#include "report/design.h"

#include <cmath>
#include <cstdint>

namespace cm {

namespace {
constexpr char kSignature[] = "TPF0";
constexpr int kMaxNesting = 64;

std::optional<NamedValueKind> namedKind(PropKind k)
{
    switch (k) {
    case PropKind::Color: return NamedValueKind::Color;
    case PropKind::Cursor: return NamedValueKind::Cursor;
    case PropKind::Charset: return NamedValueKind::Charset;
    default: return std::nullopt;
    }
}
} // namespace

QString referenceName(const Component* target, const Container* root)
{
    if (!target)
        return {};
    if (target->owner() == root)
        return target->name();
    if (!target->owner())
        return {};
    return target->owner()->name() + u'.' + target->name();
}

// ---------------------------------------------------------------- writing

static void writeStoredValue(ByteWriter& out, const StoredProp& sp, Container* root, const CodePage& cp)
{
    out.shortString(sp.path, cp);
    if (sp.defined) {
        const DefinedValue& d = *sp.defined;
        switch (d.kind) {
        case DefinedValue::Kind::Reals: writeExtendedList(out, d.reals); break;
        case DefinedValue::Kind::Lines: writeStringList(out, d.lines, cp); break;
        case DefinedValue::Kind::Binary: writeBinary(out, d.binary); break;
        case DefinedValue::Kind::Integer: writeInteger(out, d.integer); break;
        }
        return;
    }
    const PropInfo& p = *sp.info;
    const PropValue& v = sp.value;
    switch (p.kind) {
    case PropKind::Integer:
        writeInteger(out, std::get<int64_t>(v));
        break;
    case PropKind::Boolean:
        writeBoolean(out, std::get<bool>(v));
        break;
    case PropKind::Enum: {
        const int64_t ord = std::get<int64_t>(v);
        if (p.enumType && ord >= 0 && ord < p.enumType->members.size())
            writeIdent(out, p.enumType->members[static_cast<int>(ord)]);
        else
            writeInteger(out, ord);
        break;
    }
    case PropKind::Set: {
        QStringList members;
        const uint32_t bits = std::get<SetBits>(v).bits;
        for (int i = 0; p.enumType && i < p.enumType->members.size() && i < 32; ++i) {
            if (bits & (1u << i))
                members << p.enumType->members[i];
        }
        writeSet(out, members);
        break;
    }
    case PropKind::Float:
        writeExtended(out, std::get<Extended>(v));
        break;
    case PropKind::String:
        if (p.shortString)
            writeShortString(out, std::get<QString>(v), cp);
        else
            writeString(out, std::get<QString>(v), cp);
        break;
    case PropKind::Color:
    case PropKind::Cursor:
    case PropKind::Charset: {
        const int64_t i = std::get<int64_t>(v);
        if (auto name = nameOfValue(*namedKind(p.kind), static_cast<int32_t>(i)))
            writeIdent(out, *name);
        else
            writeInteger(out, i);
        break;
    }
    case PropKind::Reference:
        writeIdent(out, referenceName(std::get<Component*>(v), root));
        break;
    case PropKind::Event:
        writeIdent(out, std::get<EventName>(v).handler);
        break;
    case PropKind::Object:
        break;
    }
}

void writeComponent(ByteWriter& out, Component& component, Container* root, const CodePage& cp)
{
    out.shortString(QString::fromLatin1(component.classInfo().name), cp);
    out.shortString(component.name(), cp);
    visitStoredProperties(component, [&](const StoredProp& sp) {
        // A reference to a component that cannot be named is not stored.
        if (sp.info && sp.info->kind == PropKind::Reference &&
            referenceName(std::get<Component*>(sp.value), root).isEmpty())
            return;
        writeStoredValue(out, sp, root, cp);
    });
    out.u8(0);
    for (Component* child : component.childControls()) {
        if (child->owner() == root)
            writeComponent(out, *child, root, cp);
    }
    out.u8(0);
}

void writeComponentList(ByteWriter& out, const std::vector<Component*>& components, Container* root,
                        const CodePage& cp)
{
    for (Component* c : components) {
        out.bytes(QByteArrayView(kSignature, 4));
        writeComponent(out, *c, root, cp);
    }
    out.u8(0);
}

// ---------------------------------------------------------------- reading

namespace {

struct Fixup {
    QPointer<Component> component;
    QString path;
    QString target;
};

class ListReader {
public:
    ListReader(ByteReader& in, const ComponentReadOptions& o, const CodePage& cp)
        : in_(in), o_(o), cp_(cp) {}

    std::vector<Component*> run();

private:
    Component* readRecord(Component* parent, int depth);
    void skipRecordRest(int depth);   // after class and name: properties and children
    void readProperty(Component& c, const QString& path);
    void applyValue(Component& c, const QString& path, const StreamValue& v);
    void error(const QString& message);   // throws unless the hook skips it
    void finish();

    ByteReader& in_;
    const ComponentReadOptions& o_;
    const CodePage& cp_;
    std::vector<QPointer<Component>> created_;
    std::vector<Fixup> fixups_;
};

void ListReader::error(const QString& message)
{
    if (!o_.errorHook || !o_.errorHook(message))
        throw StreamError(message);
}

std::vector<Component*> ListReader::run()
{
    std::vector<Component*> top;
    while (true) {
        if (in_.atEnd())
            throw StreamError(QStringLiteral("unexpected end of data in a component list"));
        if (static_cast<uint8_t>(in_.bytes(1)[0]) == 0)
            break;
        in_.seek(in_.pos() - 1);
        if (in_.bytesLeft() < 4 || in_.bytes(4) != QByteArrayView(kSignature, 4))
            throw StreamError(QStringLiteral("component entry without the TPF0 signature"));
        Component* c = readRecord(o_.parent, 0);
        if (c)
            top.push_back(c);
        if (o_.perEntry)
            o_.perEntry(c);
    }
    finish();
    return top;
}

void ListReader::skipRecordRest(int depth)
{
    // Properties: name + value until an empty name.
    for (QByteArray name = in_.shortStringBytes(); !name.isEmpty(); name = in_.shortStringBytes())
        readValue(in_, cp_);
    // Children: whole records until a zero byte.
    while (true) {
        if (in_.atEnd())
            throw StreamError(QStringLiteral("unexpected end of data in a component"));
        if (static_cast<uint8_t>(in_.bytes(1)[0]) == 0)
            return;
        in_.seek(in_.pos() - 1);
        if (depth + 1 > kMaxNesting)
            throw StreamError(QStringLiteral("components nested too deeply"));
        const uint8_t prefix = static_cast<uint8_t>(in_.bytes(1)[0]);
        if ((prefix & 0xF0) == 0xF0) {
            if (prefix & 2)
                readValue(in_, cp_);
        } else {
            in_.seek(in_.pos() - 1);
        }
        in_.shortStringBytes();
        in_.shortStringBytes();
        skipRecordRest(depth + 1);
    }
}

Component* ListReader::readRecord(Component* parent, int depth)
{
    if (depth > kMaxNesting)
        throw StreamError(QStringLiteral("components nested too deeply"));
    const uint8_t prefix = static_cast<uint8_t>(in_.bytes(1)[0]);
    if ((prefix & 0xF0) == 0xF0) {
        if (prefix & 2) {
            const StreamValue pos = readValue(in_, cp_);
            if (!pos.isInteger())
                throw StreamError(QStringLiteral("bad child position in a component record"));
        }
    } else {
        in_.seek(in_.pos() - 1);
    }
    const QString className = in_.shortString(cp_);
    const QString storedName = in_.shortString(cp_);

    const ClassInfo* ci = findLayoutClass(className);
    Component* c = nullptr;
    if (!ci || !ci->create) {
        error(QStringLiteral("unknown class \"%1\"").arg(className));
    } else {
        c = ci->create(o_.owner);
        c->beginLoad();
        if (parent)
            c->setParentControl(parent);
        const QString name = o_.nameHook ? o_.nameHook(storedName) : storedName;
        if (!c->setName(name)) {
            destroyComponent(c);
            c = nullptr;
            error(QStringLiteral("invalid component name \"%1\"").arg(name));
        }
    }
    if (!c) {
        skipRecordRest(depth);
        return nullptr;
    }
    created_.push_back(c);
    QPointer<Component> guard(c);
    for (QString name = in_.shortString(cp_); !name.isEmpty(); name = in_.shortString(cp_))
        readProperty(*c, name);
    while (true) {
        if (in_.atEnd())
            throw StreamError(QStringLiteral("unexpected end of data in a component"));
        if (static_cast<uint8_t>(in_.bytes(1)[0]) == 0)
            break;
        in_.seek(in_.pos() - 1);
        readRecord(c, depth + 1);
    }
    return guard.data();
}

void ListReader::readProperty(Component& c, const QString& path)
{
    const StreamValue v = readValue(in_, cp_);   // structural errors propagate
    applyValue(c, path, v);
}

static std::optional<DefinedValue> toDefined(const StreamValue& v)
{
    DefinedValue d;
    switch (v.type) {
    case ValueType::List: {
        bool allNumbers = !v.items.empty();
        bool allTexts = true;
        for (const StreamValue& item : v.items) {
            allNumbers = allNumbers && item.isNumber();
            allTexts = allTexts && item.isText();
        }
        if (allNumbers) {
            d.kind = DefinedValue::Kind::Reals;
            for (const StreamValue& item : v.items)
                d.reals.push_back(item.toReal());
        } else if (allTexts) {
            d.kind = DefinedValue::Kind::Lines;
            for (const StreamValue& item : v.items)
                d.lines << item.text;
        } else {
            return std::nullopt;
        }
        return d;
    }
    case ValueType::Binary:
        d.kind = DefinedValue::Kind::Binary;
        d.binary = v.binary;
        return d;
    default:
        if (v.isInteger()) {
            d.kind = DefinedValue::Kind::Integer;
            d.integer = v.integer;
            return d;
        }
        return std::nullopt;
    }
}

void ListReader::applyValue(Component& c, const QString& path, const StreamValue& v)
{
    // Every integer property is 32 bits wide: a larger stored number is damage,
    // never a value to cut down to something else.
    if (v.isInteger() && (v.integer < INT32_MIN || v.integer > INT32_MAX))
        throw StreamError(QStringLiteral("property %1 of %2 is out of range (%3)").arg(path, c.name()).arg(v.integer));
    if (v.isNumber() && !std::isfinite(v.toReal()))
        throw StreamError(QStringLiteral("property %1 of %2 is not a finite number").arg(path, c.name()));
    for (const StreamValue& item : v.items) {
        if (item.isNumber() && !std::isfinite(item.toReal()))
            throw StreamError(QStringLiteral("property %1 of %2 holds a number that is not finite").arg(path, c.name()));
    }
    if (PropertyPath pp = resolveProperty(c, path)) {
        const PropInfo& p = *pp.info;
        std::optional<PropValue> value;
        switch (p.kind) {
        case PropKind::Integer:
            if (v.isInteger()) value = v.integer;
            break;
        case PropKind::Boolean:
            if (v.type == ValueType::True || v.type == ValueType::False)
                value = v.type == ValueType::True;
            else if (v.type == ValueType::Ident && v.text.compare(u"True", Qt::CaseInsensitive) == 0)
                value = true;
            else if (v.type == ValueType::Ident && v.text.compare(u"False", Qt::CaseInsensitive) == 0)
                value = false;
            break;
        case PropKind::Enum: {
            QString ident = v.text;
            if (v.type == ValueType::True) ident = QStringLiteral("True");
            if (v.type == ValueType::False) ident = QStringLiteral("False");
            if ((v.type == ValueType::Ident || v.type == ValueType::True || v.type == ValueType::False) && p.enumType) {
                const int ord = p.enumType->ordinalOf(ident);
                if (ord >= 0) value = int64_t(ord);
            }
            break;
        }
        case PropKind::Set:
            if (v.type == ValueType::Set && p.enumType) {
                SetBits bits;
                for (const QString& m : v.setMembers) {
                    const int ord = p.enumType->ordinalOf(m);
                    if (ord >= 0 && ord < 32) bits.bits |= 1u << ord;   // unknown members are dropped
                }
                value = bits;
            }
            break;
        case PropKind::Float:
            if (v.isNumber()) value = v.toReal();
            break;
        case PropKind::String:
            if (v.isText()) value = v.text;
            break;
        case PropKind::Color:
        case PropKind::Cursor:
        case PropKind::Charset:
            if (v.isInteger())
                value = v.integer;
            else if (v.type == ValueType::Ident) {
                if (auto n = valueOfName(*namedKind(p.kind), v.text))
                    value = int64_t(*n);
            }
            break;
        case PropKind::Reference:
            if (v.type == ValueType::Nil) {
                value = static_cast<Component*>(nullptr);
            } else if (v.type == ValueType::Ident) {
                fixups_.push_back(Fixup{&c, path, v.text});
                return;
            }
            break;
        case PropKind::Event:
            if (v.type == ValueType::Nil) value = EventName{};
            else if (v.type == ValueType::Ident) value = EventName{v.text};
            break;
        case PropKind::Object:
            break;
        }
        if (!value || !p.set || !p.set(*pp.object, *value))
            error(QStringLiteral("property %1 of %2 cannot take its value").arg(path, c.name()));
        return;
    }

    // Not published: offer it to the defined properties of the (sub-)object.
    const qsizetype dot = path.lastIndexOf(u'.');
    Persistent* target = &c;
    if (dot >= 0) {
        const QString objectPath = path.left(dot);
        PropertyPath op = resolveProperty(c, objectPath);
        target = (op && op.info->kind == PropKind::Object && op.info->subObject)
                     ? op.info->subObject(*op.object)
                     : nullptr;
    }
    const DefinedProp* d = target ? target->classInfo().findDefined(dot >= 0 ? QStringView(path).mid(dot + 1) : QStringView(path)) : nullptr;
    if (!d) {
        error(QStringLiteral("unknown property %1 of %2").arg(path, c.name()));
        return;
    }
    const std::optional<DefinedValue> dv = toDefined(v);
    if (!dv || !d->set || !d->set(*target, *dv))
        error(QStringLiteral("property %1 of %2 cannot take its value").arg(path, c.name()));
}

void ListReader::finish()
{
    for (const Fixup& f : fixups_) {
        if (!f.component)
            continue;
        Component* target = nullptr;
        const qsizetype dot = f.target.indexOf(u'.');
        if (dot >= 0) {
            Container* other = o_.owner ? o_.owner->scope().find(QStringView(f.target).left(dot)) : nullptr;
            if (other)
                target = other->findComponent(QStringView(f.target).mid(dot + 1));
        } else if (o_.owner) {
            target = o_.owner->findComponent(f.target);
        }
        // A name that resolves to nothing leaves the property empty.
        if (target)
            setProperty(*f.component, f.path, target);
    }
    for (const QPointer<Component>& c : created_) {
        if (c)
            c->afterLoad();
    }
}

} // namespace

std::vector<Component*> readComponentList(ByteReader& in, const ComponentReadOptions& options,
                                          const CodePage& cp)
{
    ListReader reader(in, options, cp);
    return reader.run();
}

} // namespace cm
