// The data sets a layout carries: tables and queries with their data
// sources and fields (record 257), the marks on query parameters (record
// 104), and asking for query parameters before an output.
#include "layout/componentstream.h"
#include "layout/loader.h"

#include "expr/evaluator.h"
#include "expr/textmacros.h"
#include "report/dbdatasets.h"

#include <QDir>
#include <QFileInfo>
#include <map>
#include <set>

namespace cm {

namespace {

constexpr uint16_t kTagDataSets = 257;
constexpr uint16_t kTagQueryParams = 104;

const QString NullMark = QStringLiteral("{QRDNULL}");
const QString BlankMark = QStringLiteral("{QRDBLANK}");

bool isInternal(const Component* c) { return c->name().startsWith(QLatin1String("__")); }

// The owner's data sources that count: not internal, in component order.
std::vector<TDataSource*> dataSources(Container& owner)
{
    std::vector<TDataSource*> out;
    for (auto* src : owner.componentsOf<TDataSource>()) {
        if (!isInternal(src))
            out.push_back(src);
    }
    return out;
}

TEDBDataSet* definedSet(TDataSource* src)
{
    return src ? dynamic_cast<TEDBDataSet*>(src->dataSet.data()) : nullptr;
}

void destroyWithFields(TEDBDataSet* ds)
{
    for (TDBField* f : ds->fields())
        destroyComponent(f);
    destroyComponent(ds);
}

QString fileNameOf(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

// The stored value of a parameter in the saved-values list.
QString savedValue(const QueryParam& p)
{
    if (!p.bound || p.isNull)
        return NullMark;
    return p.text.isEmpty() ? BlankMark : p.text;
}

QString fieldComponentName(const TEDBDataSet& ds, const QString& fieldName)
{
    QString name = ds.name();
    for (QChar ch : fieldName) {
        if (ch.isLetterOrNumber() || ch == u'_')
            name += ch;
    }
    return isValidIdent(name) ? name : QString();
}

} // namespace

// ---------------------------------------------------------------- writing

void TQRDLoader::writeDataSets(ByteWriter& out)
{
    Container& owner = *this->owner();
    // Everything written has a name, so that references and marks can find it.
    for (Component* c : owner.components()) {
        if (!c->name().isEmpty() || (!dynamic_cast<TEDBDataSet*>(c) && !dynamic_cast<TDataSource*>(c)))
            continue;
        c->setName(owner.nextFreeName(QString::fromLatin1(c->classInfo().name).mid(1)));
    }
    std::vector<Component*> entries;
    std::set<const Component*> written;
    for (TDataSource* src : dataSources(owner)) {
        if (!src->dataSet)
            continue;
        entries.push_back(src);
        TEDBDataSet* ds = definedSet(src);
        if (!ds || ds->owner() != &owner || !written.insert(ds).second)
            continue;
        entries.push_back(ds);
        for (TDBField* f : ds->fields())
            entries.push_back(f);
    }
    QByteArray block;
    ByteWriter list(block);
    writeComponentList(list, entries, &owner);
    out.u16(kTagDataSets);
    out.u32(static_cast<uint32_t>(block.size()));
    out.bytes(block);
}

void TQRDLoader::writeQueryParamRecord(ByteWriter& out)
{
    out.u16(kTagQueryParams);
    for (auto* q : owner()->componentsOf<TEDBQuery>()) {
        for (const QueryParam& p : q->params) {
            if (p.bound)
                out.shortString(q->name() + u'\\' + p.name);
        }
    }
    out.shortStringBytes("\\");
}

// ---------------------------------------------------------------- reading

void TQRDLoader::readDataSets(const QByteArray& block)
{
    Container* owner = this->owner();
    lastDataSet_ = nullptr;
    ByteReader in(block);
    ComponentReadOptions options;
    options.owner = owner;
    options.nameHook = [owner](const QString& name) {
        return name.isEmpty() || owner->isNameFree(name) ? name : owner->nextFreeName(name);
    };
    options.errorHook = [](const QString&) { return true; };
    options.perEntry = [this](Component* c) { readDataSetComponent(c); };
    try {
        readComponentList(in, options);
    } catch (const StreamError&) {
        // A damaged block keeps whatever was read from it.
    }
    lastDataSet_ = nullptr;
    // Filter bytes that cannot be read would be written back as fewer
    // filters, so the layout is refused rather than cut down.
    for (const TWizQuery* w : owner->componentsOf<TWizQuery>()) {
        if (!w->filtersDamage.isEmpty())
            throw StreamError(QStringLiteral("the filters of the query %1 cannot be read: %2").arg(w->name(), w->filtersDamage));
    }
    if (beforeOpenDatasets)
        beforeOpenDatasets();
    openDataSets();
}

void TQRDLoader::readDataSetComponent(Component* c)
{
    if (auto* f = dynamic_cast<TDBField*>(c)) {
        f->dataSet = lastDataSet_;
        return;
    }
    auto* ds = dynamic_cast<TEDBDataSet*>(c);
    if (!ds)
        return;
    lastDataSet_ = ds;
    relocate(*ds);
    if (auto* q = dynamic_cast<TQRDWQuery*>(ds)) {
        if (q->originalSQL.lines.isEmpty())
            q->originalSQL.setLines(q->sql.lines);
        else
            q->sql.setLines(expandMacros(q->originalSQL.lines));
    }
    if (beforeOpenDataset)
        beforeOpenDataset(*ds);
}

void TQRDLoader::relocate(TEDBDataSet& ds) const
{
    // Only a folder given as a path can have moved; a bare name is looked
    // up by the logbook rules when the data set opens.
    const QString& folderName = ds.databaseName;
    if (!folderName.contains(u'/') && !folderName.contains(u'\\'))
        return;
    QString folder = folderName;
    QString file;
    if (auto* t = dynamic_cast<TEDBTable*>(&ds)) {
        file = t->tableName;
    } else if (auto* w = dynamic_cast<TWizQuery*>(&ds); w && !w->tableName.isEmpty()) {
        file = w->tableName;
    } else {
        // A query names its logbook file itself.
        file = fileNameOf(folderName);
        folder = folderName.left(folderName.size() - file.size());
    }
    if (file.isEmpty())
        return;
    const auto holds = [&file](const QString& dir) {
        return !dir.isEmpty() && QFileInfo(QDir(dir).filePath(file)).isFile();
    };
    const QString nativeFolder = QString(folder).replace(u'\\', u'/');
    if (holds(nativeFolder))
        return;
    const QString layoutFolder = loadedFileName.isEmpty() ? QString() : QFileInfo(loadedFileName).absolutePath();
    for (const QString& candidate : {layoutFolder, programFolder}) {
        if (!holds(candidate))
            continue;
        const QString moved = QDir(candidate).absolutePath() + u'/';
        ds.databaseName = dynamic_cast<TEDBTable*>(&ds) || dynamic_cast<TWizQuery*>(&ds) ? moved : moved + file;
        return;
    }
}

QStringList TQRDLoader::expandMacros(const QStringList& lines) const
{
    DataSetList sets;
    for (auto* d : owner()->componentsOf<TDataSetComponent>()) {
        if (DataSet* ds = d->dataSet())
            sets.push_back(ds);
    }
    const auto evaluate = [&sets](const QString& formula) -> QString {
        try {
            TQREvaluator evaluator;
            evaluator.SetDataSets(&sets);
            const EvResult r = evaluator.Calculate(formula);
            if (r.kind == ResultKind::String)
                return r.strResult;
            if (r.kind == ResultKind::Integer)
                return QString::number(r.intResult);
        } catch (...) {
        }
        return QString();
    };
    return expandMacroLines(lines, OpenMacro::RunsToLineEnd, evaluate);
}

void TQRDLoader::makeFields(TEDBDataSet& ds, bool opened)
{
    std::vector<FieldDef> all;
    if (opened) {
        for (int i = 0; i < ds.dataSet()->fieldCount(); ++i)
            all.push_back(ds.dataSet()->field(i));
    } else {
        all = ds.fieldDefs();
    }
    const auto defined = [&all](const QString& fieldName) {
        return std::any_of(all.begin(), all.end(), [&fieldName](const FieldDef& def) {
            return def.name.compare(fieldName, Qt::CaseInsensitive) == 0;
        });
    };
    // Plain fields are made again from the definitions. What the user set
    // on one outlives that unless the display labels say otherwise; and
    // whatever no definition can make again (calculated and lookup fields,
    // the fields of a data set that did not open) stays as it was stored.
    struct Stored {
        QString label;
        bool visible = true;
    };
    std::map<QString, Stored> stored;
    for (TDBField* f : ds.fields()) {
        if (f->calculated || f->lookup || (!opened && !defined(f->fieldName)))
            continue;
        stored[f->fieldName.toCaseFolded()] = Stored{f->displayLabel, f->visible};
        destroyComponent(f);
    }
    const std::vector<TDBField*> kept = ds.fields();
    const auto table = dynamic_cast<TEDBTable*>(&ds);
    const auto label = [this, table](const QString& fieldName) -> std::optional<QString> {
        for (const QString& line : fieldDisplayLabels) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0)
                continue;
            const QString key = line.left(eq);
            if (key.compare(fieldName, Qt::CaseInsensitive) == 0 ||
                (table && key.compare(u'"' + table->tableName + QStringLiteral("\".") + fieldName,
                                      Qt::CaseInsensitive) == 0))
                return line.mid(eq + 1);
        }
        return std::nullopt;
    };
    Container* owner = ds.owner();
    for (const FieldDef& def : all) {
        const bool exists = std::any_of(kept.begin(), kept.end(), [&def](const TDBField* f) {
            return f->fieldName.compare(def.name, Qt::CaseInsensitive) == 0;
        });
        if (exists)
            continue;
        const ClassInfo& ci = fieldClassFor(def.type);
        auto* f = static_cast<TDBField*>(ci.create(owner));
        const QString base = fieldComponentName(ds, def.name);
        if (!base.isEmpty())
            f->setName(owner->isNameFree(base) ? base : owner->nextFreeName(base));
        f->dataSet = &ds;
        f->fieldName = def.name;
        f->size = def.size;
        const auto it = stored.find(def.name.toCaseFolded());
        if (it != stored.end())
            f->visible = it->second.visible;
        if (const std::optional<QString> given = label(def.name))
            f->displayLabel = *given;
        else if (it != stored.end())
            f->displayLabel = it->second.label;
    }
    ds.refreshFieldDefs();
}

void TQRDLoader::openDataSets()
{
    std::vector<TDataSource*> sources = dataSources(*owner());
    for (auto it = sources.rbegin(); it != sources.rend(); ++it) {
        TEDBDataSet* ds = definedSet(*it);
        if (!ds || ds->isOpen())
            continue;
        QString error;
        const bool opened = ds->open(&error);
        makeFields(*ds, opened);
        if (!opened)
            showErrorWithCause(dynamic_cast<TEDBQuery*>(ds) ? u"Error opening database-query" : u"Error opening database",
                               error, ds->name());
    }
}

void TQRDLoader::applyParamMarks(const QList<QByteArray>& marks)
{
    for (const QByteArray& mark : marks) {
        const QString text = CodePage::layout().decode(mark);
        const qsizetype cut = text.indexOf(u'\\');
        if (cut < 0)
            continue;
        auto* q = dynamic_cast<TEDBQuery*>(owner()->findComponent(QStringView(text).left(cut)));
        if (QueryParam* p = q ? q->param(QStringView(text).mid(cut + 1)) : nullptr)
            p->bound = true;
    }
}

void TQRDLoader::destroyDataSets()
{
    Container& owner = *this->owner();
    for (bool found = true; found;) {
        found = false;
        const std::vector<TDataSource*> sources = dataSources(owner);
        for (auto it = sources.rbegin(); it != sources.rend(); ++it) {
            if (TEDBDataSet* ds = definedSet(*it)) {
                destroyComponent(*it);
                destroyWithFields(ds);
                found = true;
                break;
            }
        }
    }
}

void TQRDLoader::tidyDataSets()
{
    Container& owner = *this->owner();
    std::set<const TDataSetComponent*> shown;
    const std::vector<TDataSource*> sources = dataSources(owner);
    for (auto it = sources.rbegin(); it != sources.rend(); ++it) {
        if (!(*it)->dataSet)
            continue;
        // A second data source for the same data set: the earlier one goes.
        if (!shown.insert((*it)->dataSet).second)
            destroyComponent(*it);
    }
    const std::vector<TEDBDataSet*> sets = owner.componentsOf<TEDBDataSet>();
    for (auto it = sets.rbegin(); it != sets.rend(); ++it) {
        if (!shown.count(*it))
            destroyWithFields(*it);
    }
    for (TDBField* f : owner.componentsOf<TDBField>()) {
        if (!f->dataSet)
            destroyComponent(f);
    }
}

void TQRDLoader::routeCalcFields()
{
    for (TEDBDataSet* ds : owner()->componentsOf<TEDBDataSet>()) {
        ds->onCalcFields = [loader = QPointer<TQRDLoader>(this)](TEDBDataSet& d) {
            if (loader && loader->onCalcFields)
                loader->onCalcFields(d);
        };
    }
}

// ---------------------------------------------------------------- parameters

bool TQRDLoader::askParam(TEDBQuery& query, int index)
{
    const QString caption =
        substituteParameter(runtimeMessages.textOr(u"GetQueryParamCaption", QStringLiteral("Parameter of %s")), query.name());
    const QString prompt = substituteParameter(
        runtimeMessages.textOr(u"GetQueryParamPrompt", QStringLiteral("Please type in the parameter \"%s':")),
        query.params[size_t(index)].name);
    if (!askQueryParam) {
        if (messageSink)
            messageSink->showError(QStringLiteral("The query %1 needs a value for its parameter %2, and there is "
                                                  "no one to ask for it")
                                       .arg(query.name(), query.params[size_t(index)].name));
        return false;
    }
    while (true) {
        QString value;
        if (!askQueryParam(caption, prompt, value))
            return false;
        if (query.params[size_t(index)].setText(value))
            return true;
        showError(u"Invalid value");
    }
}

bool TQRDLoader::prepareQueryParams()
{
    restoreQueryParams();
    savedParams_.clear();
    Container& owner = *this->owner();
    for (TDataSource* src : dataSources(owner)) {
        auto* q = dynamic_cast<TEDBQuery*>(src->dataSet.data());
        if (!q)
            continue;
        if (q->name().isEmpty())
            q->setName(owner.nextFreeName(QStringLiteral("Query")));
        QStringList saved;
        for (const QueryParam& p : q->params)
            saved << savedValue(p);
        for (size_t i = 0; i < q->params.size(); ++i)
            savedParams_ << q->name() + u'.' + q->params[i].name + u'=' + saved[qsizetype(i)];
        if (beforeGetQueryParams && beforeGetQueryParams(*q)) {
            restoreQueryParams();
            return false;
        }
        for (size_t i = 0; i < q->params.size(); ++i) {
            const QueryParam& p = q->params[i];
            if (p.bound && p.isNull && !askParam(*q, int(i))) {
                restoreQueryParams();
                return false;
            }
        }
        bool changed = false;
        for (size_t i = 0; i < q->params.size(); ++i) {
            const QueryParam& p = q->params[i];
            changed = changed || saved[qsizetype(i)] != p.text || (saved[qsizetype(i)] == NullMark && !p.isNull);
        }
        if (changed) {
            q->close();
            QString error;
            if (!q->open(&error))
                showErrorWithCause(u"Error opening database-query", error, q->name());
        }
    }
    return true;
}

void TQRDLoader::restoreQueryParams()
{
    if (savedParams_.isEmpty())
        return;
    for (TDataSource* src : dataSources(*owner())) {
        auto* q = dynamic_cast<TEDBQuery*>(src->dataSet.data());
        if (!q)
            continue;
        for (QueryParam& p : q->params) {
            const QString key = q->name() + u'.' + p.name + u'=';
            QString value;
            for (const QString& line : savedParams_) {
                if (line.startsWith(key, Qt::CaseInsensitive)) {
                    value = line.mid(key.size());
                    break;
                }
            }
            if (value.isEmpty())
                continue;
            if (value == NullMark) {
                p.clear();
            } else if (value == BlankMark) {
                p.text.clear();
                p.isNull = false;
            } else if (!p.setText(value)) {
                p.text = value;
                p.isNull = false;
            }
        }
    }
    savedParams_.clear();
}

} // namespace cm
