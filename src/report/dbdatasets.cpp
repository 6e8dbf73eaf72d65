#include "report/dbdatasets.h"

#include "logbook/logfields.h"
#include "logbook/logtable.h"
#include "logbook/sqlquery.h"
#include "report/propbuilder.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>

namespace cm {

using namespace props;

// ---------------------------------------------------------------- data sets

TEDBDataSet::TEDBDataSet(Container* owner)
    : TDataSetComponent(owner), records_(*this)
{
    records_.opener = [this](QString* error) { return openRecords(error); };
    records_.calculate = [this] {
        if (onCalcFields)
            onCalcFields(*this);
    };
}

std::vector<TDBField*> TEDBDataSet::fields() const
{
    std::vector<TDBField*> out;
    if (!owner())
        return out;
    for (auto* f : owner()->componentsOf<TDBField>()) {
        if (f->dataSet == this)
            out.push_back(f);
    }
    return out;
}

bool TEDBDataSet::openRecords(QString* error)
{
    std::unique_ptr<DataSet> source = openSource(error);
    if (!source)
        return false;
    records_.attach(std::move(source));
    refreshFieldDefs();
    return true;
}

void TEDBDataSet::refreshFieldDefs()
{
    std::vector<FieldDef> defs;
    if (const DataSet* source = records_.source()) {
        for (int i = 0; i < source->fieldCount(); ++i)
            defs.push_back(source->field(i));
    } else {
        defs = fieldDefs();
    }
    const std::vector<TDBField*> stored = fields();
    for (FieldDef& def : defs) {
        for (const TDBField* f : stored) {
            if (f->fieldName.compare(def.name, Qt::CaseInsensitive) != 0)
                continue;
            if (!f->displayLabel.isEmpty())
                def.displayLabel = f->displayLabel;
            def.visible = f->visible;
            break;
        }
    }
    std::vector<ComputedField> computed;
    for (const TDBField* f : stored) {
        const auto named = [f](const FieldDef& d) { return d.name.compare(f->fieldName, Qt::CaseInsensitive) == 0; };
        if ((!f->calculated && !f->lookup) || f->fieldName.isEmpty() || std::any_of(defs.begin(), defs.end(), named))
            continue;
        ComputedField c;
        c.def.name = f->fieldName;
        c.def.type = f->fieldType();
        c.def.size = f->size;
        c.def.displayLabel = f->displayLabel;
        c.def.visible = f->visible;
        c.lookup = f->lookup;
        c.keyFields = f->keyFields.split(u';', Qt::SkipEmptyParts);
        c.lookupDataSet = f->lookupDataSet;
        c.lookupKeyFields = f->lookupKeyFields.split(u';', Qt::SkipEmptyParts);
        c.resultField = f->lookupResultField;
        computed.push_back(std::move(c));
    }
    records_.setDefs(std::move(defs), std::move(computed));
}

// ---------------------------------------------------------------- table

namespace {

bool hasFolderSeparator(const QString& s)
{
    return s.contains(u'/') || s.contains(u'\\');
}

} // namespace

QString TEDBTable::filePath() const
{
    // A database name without a folder is an alias (the logbook folder).
    if (databaseName.isEmpty() || !hasFolderSeparator(databaseName))
        return tableName;
    QString folder = databaseName;
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    return folder + tableName;
}

std::vector<FieldDef> TEDBTable::fieldDefs() const
{
    return logFieldDefs();
}

std::unique_ptr<DataSet> TEDBTable::openSource(QString* error)
{
    if (tableName.isEmpty()) {
        if (error)
            *error = QStringLiteral("the table has no table name");
        return nullptr;
    }
    auto table = std::make_unique<LogTable>(name());
    // A layout only reads; the logbook it names stays as it is.
    table->setQueryOnly(true);
    table->setTableName(filePath());
    if (!table->open(error))
        return nullptr;
    return table;
}

const ClassInfo& TEDBTable::staticClassInfo()
{
    using C = TEDBTable;
    static const ClassInfo info{
        "TEDBTable",
        {
            member<C>("DatabaseName", PropKind::String, [](C& c) -> QString& { return c.databaseName; }),
            member<C>("TableName", PropKind::String, [](C& c) -> QString& { return c.tableName; }),
        },
        {},
        [](Container* owner) -> Component* { return new C(owner); },
    };
    return info;
}
const ClassInfo& TEDBTable::classInfo() const { return staticClassInfo(); }

// ---------------------------------------------------------------- parameters

namespace {

const QStringList& paramTypeNames()
{
    static const QStringList names{QStringLiteral("String"), QStringLiteral("Integer"), QStringLiteral("Float"),
                                   QStringLiteral("Boolean"), QStringLiteral("Date")};
    return names;
}

// The ":name" placeholders of an SQL text, outside quotes, in order, once each.
QStringList placeholderNames(const QString& sql)
{
    QStringList names;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar ch = sql[i];
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
            continue;
        }
        if (ch == u'\'' || ch == u'"') {
            quote = ch;
            continue;
        }
        if (ch != u':' || i + 1 >= sql.size())
            continue;
        if (sql[i + 1] == u':') {   // "::" is no placeholder
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == u'_'))
            ++end;
        const QString name = sql.mid(i + 1, end - i - 1);
        if (!name.isEmpty() && !name[0].isDigit() && !names.contains(name, Qt::CaseInsensitive))
            names << name;
        i = end - 1;
    }
    return names;
}

} // namespace

bool QueryParam::setText(const QString& value)
{
    bool ok = true;
    switch (type) {
    case Type::String:
        break;
    case Type::Integer:
        value.trimmed().toLongLong(&ok);
        break;
    case Type::Float:
        value.trimmed().toDouble(&ok);
        break;
    case Type::Boolean: {
        const QString v = value.trimmed();
        ok = v.compare(u"True", Qt::CaseInsensitive) == 0 || v.compare(u"False", Qt::CaseInsensitive) == 0;
        break;
    }
    case Type::Date:
        ok = QDate::fromString(value.trimmed(), Qt::ISODate).isValid();
        break;
    }
    // Only a text may be empty and still be a value.
    if (!ok || (type != Type::String && value.trimmed().isEmpty()))
        return false;
    text = type == Type::String ? value : value.trimmed();
    isNull = false;
    return true;
}

QVariant QueryParam::value() const
{
    if (isNull)
        return QVariant();
    switch (type) {
    case Type::String: return text;
    case Type::Integer: return text.toLongLong();
    case Type::Float: return text.toDouble();
    case Type::Boolean: return text.compare(u"True", Qt::CaseInsensitive) == 0;
    case Type::Date: return QDate::fromString(text, Qt::ISODate).toString(Qt::ISODate);
    }
    return QVariant();
}

// ---------------------------------------------------------------- query

TEDBQuery::TEDBQuery(Container* owner)
    : TEDBDataSet(owner)
{
    sql.onChange = [this] { syncParams(); };
}

QueryParam* TEDBQuery::param(QStringView name)
{
    for (QueryParam& p : params) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

void TEDBQuery::syncParams()
{
    std::vector<QueryParam> next;
    for (const QString& name : placeholderNames(sql.lines.join(u'\n'))) {
        QueryParam p;
        if (const QueryParam* old = param(name))
            p = *old;
        else
            p.name = name;
        next.push_back(p);
    }
    params = std::move(next);
}

QStringList TEDBQuery::paramLines() const
{
    QStringList lines;
    for (const QueryParam& p : params) {
        QString line = p.name + u':' + paramTypeNames()[int(p.type)];
        if (!p.isNull)
            line += u'=' + p.text;
        lines << line;
    }
    return lines;
}

void TEDBQuery::setParamLines(const QStringList& lines)
{
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        const QString head = eq < 0 ? line : line.left(eq);
        const qsizetype colon = head.indexOf(u':');
        const QString name = colon < 0 ? head : head.left(colon);
        QueryParam* p = param(name);
        if (!p) {
            QueryParam added;
            added.name = name;
            params.push_back(added);
            p = &params.back();
        }
        const int type = colon < 0 ? 0 : paramTypeNames().indexOf(head.mid(colon + 1));
        p->type = type < 0 ? QueryParam::Type::String : QueryParam::Type(type);
        p->clear();
        // A stored value was assigned, which binds the parameter.
        if (eq >= 0 && p->setText(line.mid(eq + 1)))
            p->bound = true;
    }
}

QString TEDBQuery::filePath() const
{
    return databaseName;
}

std::unique_ptr<DataSet> TEDBQuery::openSource(QString* error)
{
    std::vector<std::pair<QString, QVariant>> binds;
    for (const QueryParam& p : params)
        binds.emplace_back(p.name, p.value());
    auto records = openSqlQuery(name(), filePath(), sql.lines.join(u'\n'), binds, error);
    if (!records)
        return nullptr;
    lastDefs_.clear();
    for (int i = 0; i < records->fieldCount(); ++i)
        lastDefs_.push_back(records->field(i));
    return records;
}

namespace {

template <class C>
std::vector<PropInfo> queryRows()
{
    return {
        member<C>("DatabaseName", PropKind::String, [](C& c) -> QString& { return c.databaseName; }),
        object<C>("SQL", TQRStrings::staticClassInfo(), [](C& c) { return &c.sql; }),
    };
}

template <class C>
std::vector<DefinedProp> queryDefined()
{
    return {DefinedProp{
        "ParamData",
        [](const Persistent& o) -> std::optional<DefinedValue> {
            const QStringList lines = static_cast<const C&>(o).paramLines();
            if (lines.isEmpty())
                return std::nullopt;
            DefinedValue v;
            v.kind = DefinedValue::Kind::Lines;
            v.lines = lines;
            return v;
        },
        [](Persistent& o, const DefinedValue& v) {
            if (v.kind != DefinedValue::Kind::Lines)
                return false;
            static_cast<C&>(o).setParamLines(v.lines);
            return true;
        },
    }};
}

} // namespace

const ClassInfo& TEDBQuery::staticClassInfo()
{
    using C = TEDBQuery;
    static const ClassInfo info{"TEDBQuery", queryRows<C>(), queryDefined<C>(),
                                [](Container* owner) -> Component* { return new C(owner); }};
    return info;
}
const ClassInfo& TEDBQuery::classInfo() const { return staticClassInfo(); }

const ClassInfo& TQRDWQuery::staticClassInfo()
{
    using C = TQRDWQuery;
    static const ClassInfo info = [] {
        std::vector<PropInfo> rows = queryRows<C>();
        rows.push_back(object<C>("OriginalSQL", TQRStrings::staticClassInfo(), [](C& c) { return &c.originalSQL; }));
        return ClassInfo{"TQRDWQuery", rows, queryDefined<C>(), [](Container* owner) -> Component* { return new C(owner); }};
    }();
    return info;
}
const ClassInfo& TQRDWQuery::classInfo() const { return staticClassInfo(); }

const ClassInfo& TWizQuery::staticClassInfo()
{
    using C = TWizQuery;
    static const ClassInfo info = [] {
        std::vector<PropInfo> rows = queryRows<C>();
        rows.push_back(member<C>("TableName", PropKind::String, [](C& c) -> QString& { return c.tableName; }).shortString());
        rows.push_back(object<C>("OrderFields", TQRStrings::staticClassInfo(), [](C& c) { return &c.orderFields; }));
        rows.push_back(object<C>("SQLSettings", TQRDatabaseSettings::staticClassInfo(), [](C& c) { return &c.sqlSettings; }));
        std::vector<DefinedProp> defined = queryDefined<C>();
        defined.push_back(DefinedProp{
            "Filters",
            [](const Persistent& o) -> std::optional<DefinedValue> {
                const auto& q = static_cast<const C&>(o);
                if (!q.filters)
                    return std::nullopt;
                DefinedValue v;
                v.kind = DefinedValue::Kind::Binary;
                v.binary = encodeWizFilters(*q.filters);
                return v;
            },
            [](Persistent& o, const DefinedValue& v) {
                auto& q = static_cast<C&>(o);
                if (v.kind != DefinedValue::Kind::Binary)
                    return false;
                // The loader refuses the layout when the bytes are damaged.
                q.filters = decodeWizFilters(v.binary, &q.filtersDamage);
                return q.filters.has_value();
            },
        });
        return ClassInfo{"TWizQuery", rows, defined, [](Container* owner) -> Component* { return new C(owner); }};
    }();
    return info;
}
const ClassInfo& TWizQuery::classInfo() const { return staticClassInfo(); }

void TWizQuery::beginLoad()
{
    TEDBQuery::beginLoad();
    sqlSettings.beginRead();
}

void TWizQuery::afterLoad()
{
    sqlSettings.endRead();
    TEDBQuery::afterLoad();
}

// ---------------------------------------------------------------- fields

namespace {

struct FieldClass {
    const char* name;
    FieldType type;
};

constexpr FieldClass kFieldClasses[] = {
    {"TStringField", FieldType::String},     {"TSmallintField", FieldType::SmallInt},
    {"TIntegerField", FieldType::Integer},   {"TWordField", FieldType::Word},
    {"TBooleanField", FieldType::Boolean},   {"TFloatField", FieldType::Float},
    {"TCurrencyField", FieldType::Currency}, {"TBCDField", FieldType::BCD},
    {"TDateField", FieldType::Date},         {"TTimeField", FieldType::Time},
    {"TDateTimeField", FieldType::DateTime}, {"TBytesField", FieldType::Bytes},
    {"TVarBytesField", FieldType::Bytes},    {"TAutoIncField", FieldType::AutoInc},
    {"TBlobField", FieldType::Blob},         {"TMemoField", FieldType::Memo},
    {"TGraphicField", FieldType::Graphic},   {"TWideStringField", FieldType::String},
};

const std::vector<ClassInfo>& fieldClasses()
{
    using C = TDBField;
    static const std::vector<ClassInfo> infos = [] {
        std::vector<ClassInfo> out;
        out.reserve(std::size(kFieldClasses));
        for (size_t i = 0; i < std::size(kFieldClasses); ++i) {
            out.push_back(ClassInfo{
                kFieldClasses[i].name,
                {
                    member<C>("DisplayLabel", PropKind::String, [](C& c) -> QString& { return c.displayLabel; }),
                    member<C>("FieldName", PropKind::String, [](C& c) -> QString& { return c.fieldName; }),
                    member<C>("Calculated", PropKind::Boolean, [](C& c) -> bool& { return c.calculated; }).def(0),
                    member<C>("Lookup", PropKind::Boolean, [](C& c) -> bool& { return c.lookup; }).def(0),
                    member<C>("KeyFields", PropKind::String, [](C& c) -> QString& { return c.keyFields; }),
                    member<C>("LookupDataSet", PropKind::Reference,
                              [](C& c) -> QPointer<TDataSetComponent>& { return c.lookupDataSet; }),
                    member<C>("LookupKeyFields", PropKind::String, [](C& c) -> QString& { return c.lookupKeyFields; }),
                    member<C>("LookupResultField", PropKind::String, [](C& c) -> QString& { return c.lookupResultField; }),
                    member<C>("Size", PropKind::Integer, [](C& c) -> int& { return c.size; }).def(0),
                    member<C>("Visible", PropKind::Boolean, [](C& c) -> bool& { return c.visible; }).def(1),
                },
                {},
                // Called only once the table is complete.
                [i](Container* owner) -> Component* { return new TDBField(owner, fieldClasses()[i]); },
            });
        }
        return out;
    }();
    return infos;
}

} // namespace

FieldType TDBField::fieldType() const
{
    for (const FieldClass& fc : kFieldClasses) {
        if (qstrcmp(fc.name, info_.name) == 0)
            return fc.type;
    }
    return FieldType::String;
}

const std::vector<const ClassInfo*>& dataSetClasses()
{
    static const std::vector<const ClassInfo*> classes = [] {
        std::vector<const ClassInfo*> out{&TEDBTable::staticClassInfo(), &TEDBQuery::staticClassInfo(),
                                          &TQRDWQuery::staticClassInfo(), &TWizQuery::staticClassInfo()};
        for (const ClassInfo& ci : fieldClasses())
            out.push_back(&ci);
        return out;
    }();
    return classes;
}

const ClassInfo& fieldClassFor(FieldType type)
{
    for (size_t i = 0; i < std::size(kFieldClasses); ++i) {
        if (kFieldClasses[i].type == type)
            return fieldClasses()[i];
    }
    return fieldClasses().front();
}

bool isFieldClass(const ClassInfo& info)
{
    for (const ClassInfo& ci : fieldClasses()) {
        if (&ci == &info)
            return true;
    }
    return false;
}

} // namespace cm
