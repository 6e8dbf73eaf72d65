#include "app/logtablemodel.h"

#include "expr/formatsettings.h"
#include "expr/numberformat.h"
#include "logbook/logfields.h"
#include "logbook/logtable.h"

#include <QColor>

namespace cm {

LogTableModel::LogTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void LogTableModel::setTable(LogTable* table)
{
    beginResetModel();
    table_ = table;
    newRow_ = false;
    endResetModel();
}

void LogTableModel::reload()
{
    beginResetModel();
    newRow_ = false;
    endResetModel();
}

bool LogTableModel::isOpen() const { return table_ && table_->isOpen(); }

int LogTableModel::recordCount() const { return isOpen() ? table_->recordCount() : 0; }

bool LogTableModel::addNewRow()
{
    if (!isOpen() || !table_->canModify())
        return false;
    if (newRow_)
        return true;
    const int row = recordCount();
    beginInsertRows({}, row, row);
    newRow_ = true;
    endInsertRows();
    return true;
}

void LogTableModel::discardNewRow()
{
    if (!newRow_)
        return;
    const int row = recordCount();
    beginRemoveRows({}, row, row);
    newRow_ = false;
    endRemoveRows();
}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : recordCount() + (newRow_ ? 1 : 0);
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !isOpen() ? 0 : table_->fieldCount();
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !isOpen() || index.row() >= recordCount())
        return QVariant();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        const FieldDef& def = table_->field(col);
        if (!def.displayFormat.isEmpty() && def.type == FieldType::Float) {
            const QVariant v = table_->recordValue(index.row(), col);
            return v.isValid() ? formatFloat(def.displayFormat, v.toDouble(), FormatSettings::current()) : QString();
        }
        return table_->recordText(index.row(), col);
    }
    case Qt::EditRole:
        return table_->recordText(index.row(), col);
    case Qt::TextAlignmentRole: {
        const FieldType t = table_->field(col).type;
        const bool number = t == FieldType::Float || t == FieldType::Integer || t == FieldType::SmallInt
                            || t == FieldType::AutoInc;
        return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    default:
        return QVariant();
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !isOpen())
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < table_->fieldCount() ? table_->field(section).label() : QVariant();
    return section >= recordCount() ? QVariant(QStringLiteral("*")) : QVariant();
}

Qt::ItemFlags LogTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    // The record number is the logbook's own; every other field is edited in place.
    if (index.isValid() && isOpen() && table_->canModify() && index.column() != LogLog)
        f |= Qt::ItemIsEditable;
    return f;
}

bool LogTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !isOpen())
        return false;
    if (!table_->canModify()) {
        emit editRefused(table_->readOnlyNotice());
        return false;
    }
    const bool inNewRow = newRow_ && index.row() == recordCount();
    if (!inNewRow && value.toString() == table_->recordText(index.row(), index.column()))
        return true;   // unchanged: nothing to write
    if (inNewRow && value.toString().trimmed().isEmpty())
        return true;   // a blank row stays blank until something is typed
    QString error;
    const LogTable::FieldValues change{{index.column(), value}};
    const bool stored = inNewRow ? table_->appendRecord(change, &error)
                                 : (table_->moveTo(index.row()) && table_->updateCurrent(change, &error));
    if (!stored) {
        emit editRefused(error.isEmpty() ? tr("The record could not be stored.") : error);
        return false;
    }
    // The edit may move the record under the order or the filter; a record
    // that stays where it was is only repainted.
    if (!inNewRow && table_->recordNumber() == index.row() && table_->recordCount() + (newRow_ ? 1 : 0) == rowCount())
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    else
        reload();
    emit recordStored(table_->recordNumber(), index.column());
    return true;
}

} // namespace cm
