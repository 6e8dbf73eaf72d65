#include "layout/layoutjson.h"

#include "layout/componentstream.h"
#include "layout/loader.h"
#include "layout/namedvalues.h"
#include "layout/storedprops.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonDocument>

namespace cm {

namespace {

// JSON objects that keep their keys in insertion order (QJsonObject sorts them).
struct Ordered {
    std::vector<std::pair<QString, QJsonValue>> plain;
    std::vector<std::pair<QString, Ordered>> nested;   // written after plain members
    std::vector<std::pair<QString, std::vector<Ordered>>> lists;
    std::vector<QString> order;                         // keys in insertion order

    void add(const QString& k, const QJsonValue& v) { plain.emplace_back(k, v); order.push_back(k); }
    void add(const QString& k, Ordered o) { nested.emplace_back(k, std::move(o)); order.push_back(k); }
    void add(const QString& k, std::vector<Ordered> l) { lists.emplace_back(k, std::move(l)); order.push_back(k); }

    // Declared here and defaulted below: the type is incomplete inside its own members.
    Ordered();
    ~Ordered();
    Ordered(Ordered&&) noexcept;
};
Ordered::Ordered() = default;
Ordered::~Ordered() = default;
Ordered::Ordered(Ordered&&) noexcept = default;

QByteArray encodeValue(const QJsonValue& v)
{
    QByteArray text = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

void write(QByteArray& out, const Ordered& o, int indent);

void writeList(QByteArray& out, const std::vector<Ordered>& list, int indent)
{
    if (list.empty()) {
        out += "[]";
        return;
    }
    out += "[\n";
    for (size_t i = 0; i < list.size(); ++i) {
        out += QByteArray(indent + 2, ' ');
        write(out, list[i], indent + 2);
        out += i + 1 < list.size() ? ",\n" : "\n";
    }
    out += QByteArray(indent, ' ') + "]";
}

void write(QByteArray& out, const Ordered& o, int indent)
{
    if (o.order.empty()) {
        out += "{}";
        return;
    }
    out += "{\n";
    size_t n = 0;
    for (const QString& key : o.order) {
        out += QByteArray(indent + 2, ' ') + encodeValue(key) + ": ";
        bool done = false;
        for (const auto& [k, v] : o.plain) {
            if (k == key) { out += encodeValue(v); done = true; break; }
        }
        for (size_t i = 0; !done && i < o.nested.size(); ++i) {
            if (o.nested[i].first == key) { write(out, o.nested[i].second, indent + 2); done = true; }
        }
        for (size_t i = 0; !done && i < o.lists.size(); ++i) {
            if (o.lists[i].first == key) { writeList(out, o.lists[i].second, indent + 2); done = true; }
        }
        out += ++n < o.order.size() ? ",\n" : "\n";
    }
    out += QByteArray(indent, ' ') + "}";
}

QJsonValue namedOrNumber(NamedValueKind kind, int64_t v)
{
    if (auto name = nameOfValue(kind, static_cast<int32_t>(v)))
        return *name;
    return static_cast<double>(v);
}

QJsonArray setMembers(const EnumType& type, uint32_t bits)
{
    QJsonArray out;
    for (int i = 0; i < type.members.size() && i < 32; ++i) {
        if (bits & (1u << i))
            out.append(type.members[i]);
    }
    return out;
}

QJsonValue propToJson(const StoredProp& sp, const Container* root)
{
    if (sp.defined) {
        const DefinedValue& d = *sp.defined;
        switch (d.kind) {
        case DefinedValue::Kind::Reals: {
            QJsonArray a;
            for (Extended e : d.reals)
                a.append(static_cast<double>(e));
            return a;
        }
        case DefinedValue::Kind::Lines: return QJsonArray::fromStringList(d.lines);
        case DefinedValue::Kind::Binary: return QJsonObject{{"bytes", d.binary.size()}};
        case DefinedValue::Kind::Integer: return static_cast<double>(d.integer);
        }
        return {};
    }
    const PropInfo& p = *sp.info;
    const PropValue& v = sp.value;
    switch (p.kind) {
    case PropKind::Integer: return static_cast<double>(std::get<int64_t>(v));
    case PropKind::Boolean: return std::get<bool>(v);
    case PropKind::Enum: {
        const int64_t ord = std::get<int64_t>(v);
        if (p.enumType && ord >= 0 && ord < p.enumType->members.size())
            return p.enumType->members[static_cast<int>(ord)];
        return static_cast<double>(ord);
    }
    case PropKind::Set: return p.enumType ? setMembers(*p.enumType, std::get<SetBits>(v).bits) : QJsonArray();
    case PropKind::Float: return static_cast<double>(std::get<Extended>(v));
    case PropKind::String: return std::get<QString>(v);
    case PropKind::Color: return namedOrNumber(NamedValueKind::Color, std::get<int64_t>(v));
    case PropKind::Cursor: return namedOrNumber(NamedValueKind::Cursor, std::get<int64_t>(v));
    case PropKind::Charset: return namedOrNumber(NamedValueKind::Charset, std::get<int64_t>(v));
    case PropKind::Reference: return referenceName(std::get<Component*>(v), root);
    case PropKind::Event: return std::get<EventName>(v).handler;
    case PropKind::Object: return {};
    }
    return {};
}

Ordered componentToJson(Component& c, const Container* root)
{
    Ordered props;
    visitStoredProperties(c, [&](const StoredProp& sp) {
        if (sp.info && sp.info->kind == PropKind::Reference &&
            referenceName(std::get<Component*>(sp.value), root).isEmpty())
            return;
        props.add(sp.path, propToJson(sp, root));
    });
    std::vector<Ordered> children;
    for (Component* child : c.childControls()) {
        if (child->owner() == root)
            children.push_back(componentToJson(*child, root));
    }
    Ordered o;
    o.add(QStringLiteral("class"), QString::fromLatin1(c.classInfo().name));
    o.add(QStringLiteral("name"), c.name());
    o.add(QStringLiteral("props"), std::move(props));
    o.add(QStringLiteral("children"), std::move(children));
    return o;
}

QJsonObject fontToJson(const TQRFont& f)
{
    return QJsonObject{
        {"name", f.name()},
        {"size", f.size()},
        {"height", f.height()},
        {"color", namedOrNumber(NamedValueKind::Color, f.color())},
        {"charset", namedOrNumber(NamedValueKind::Charset, f.charset())},
        {"pitch", enums::fontPitch.members[static_cast<int>(f.pitch())]},
        {"style", setMembers(enums::fontStyle, f.style().bits)},
    };
}

} // namespace

QByteArray layoutToJson(TQRDLoader& loader)
{
    TQRDesignReport* r = loader.report();
    if (!r)
        return "{}\n";
    const Container* root = loader.owner();
    const TQRPage& p = r->page;
    QJsonObject native;
    const char* const pageNames[] = {"bottomMargin", "length", "topMargin", "width",
                                     "leftMargin", "rightMargin", "columnSpace"};
    for (int i = 0; i < 7; ++i)
        native.insert(QLatin1StringView(pageNames[i]), static_cast<double>(p.values[i]));
    const TQRFrame& fr = r->frame;
    QJsonObject report{
        {"title", r->reportTitle},
        {"units", enums::unit.members[static_cast<int>(r->units())]},
        {"zoom", r->zoom()},
        {"snapToGrid", r->snapToGrid},
        {"options", setMembers(enums::reportOptions, r->options.bits)},
        {"frame", QJsonObject{{"color", namedOrNumber(NamedValueKind::Color, fr.color)},
                              {"drawTop", fr.drawTop},
                              {"drawBottom", fr.drawBottom},
                              {"drawLeft", fr.drawLeft},
                              {"drawRight", fr.drawRight},
                              {"style", enums::penStyle.members[static_cast<int>(fr.style)]},
                              {"width", fr.width}}},
        {"page", QJsonObject{{"paperSize", enums::paperSize.members[static_cast<int>(p.paperSize())]},
                             {"orientation", enums::orientation.members[static_cast<int>(p.orientation())]},
                             {"columns", p.columns()},
                             {"ruler", p.ruler()},
                             {"native", native}}},
        {"printer", QJsonObject{{"copies", r->printerSettings.copies},
                                {"duplex", r->printerSettings.duplex},
                                {"outputBin", enums::outputBin.members[static_cast<int>(r->printerSettings.outputBin)]}}},
        {"font", fontToJson(r->font())},
        {"description", QJsonArray::fromStringList(r->description.lines)},
        {"hint", r->hint},
        {"script", QJsonArray::fromStringList(loader.script.lines)},
        {"dataSet", referenceName(r->dataSet(), root)},
    };
    std::vector<Ordered> components;
    for (Component* c : r->childControls()) {
        if (c->owner() == root)
            components.push_back(componentToJson(*c, root));
    }
    Ordered top;
    Ordered reportOrdered;
    for (const char* key : {"title", "units", "zoom", "snapToGrid", "options", "frame", "page", "printer",
                            "font", "description", "hint", "script", "dataSet"})
        reportOrdered.add(QString::fromLatin1(key), report.value(QLatin1StringView(key)));
    top.add(QStringLiteral("report"), std::move(reportOrdered));
    top.add(QStringLiteral("components"), std::move(components));
    QByteArray out;
    write(out, top, 0);
    out += '\n';
    return out;
}

} // namespace cm
