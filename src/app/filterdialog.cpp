#include "app/filterdialog.h"

#include "logbook/logtable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cm {

namespace {

QStringList conditionNames()
{
    return {FilterDialog::tr("equal"),       FilterDialog::tr("not equal"),   FilterDialog::tr("no greater"),
            FilterDialog::tr("no less"),     FilterDialog::tr("less than"),   FilterDialog::tr("greater than"),
            FilterDialog::tr("empty"),       FilterDialog::tr("not empty"),   FilterDialog::tr("in list"),
            FilterDialog::tr("between")};
}

bool needsNoValue(FilterCondition c) { return c == FilterCondition::Empty || c == FilterCondition::NotEmpty; }

} // namespace

FilterDialog::FilterDialog(const LogTable& table, QWidget* parent)
    : QDialog(parent), table_(table), rows_(filterRows(table.filter())), list_(new QTreeWidget(this)),
      join_(new QComboBox(this)), field_(new QComboBox(this)), condition_(new QComboBox(this)),
      value_(new QLineEdit(this)), add_(new QPushButton(tr("Add to list"), this)),
      delete_(new QPushButton(tr("Delete from list"), this))
{
    setObjectName(QStringLiteral("FilterDlg"));
    setWindowTitle(tr("Filter setup dialog"));

    auto* inForce = new QGroupBox(tr(" Select the records by the next conditions:"), this);
    list_->setHeaderLabels({QString(), tr("Field"), tr("Condition"), tr("Value")});
    list_->setRootIsDecorated(false);
    list_->setAccessibleName(tr("Conditions"));
    (new QVBoxLayout(inForce))->addWidget(list_);

    auto* adding = new QGroupBox(tr(" Define the additional condition:"), this);
    join_->addItems({QStringLiteral("AND"), QStringLiteral("OR")});
    join_->setAccessibleName(tr("Join"));
    for (int i = 0; i < table.fieldCount(); ++i)
        field_->addItem(table.field(i).label(), table.field(i).name);
    field_->setCurrentIndex(-1);
    field_->setAccessibleName(tr("Field"));
    condition_->addItems(conditionNames());
    condition_->setCurrentIndex(-1);
    condition_->setAccessibleName(tr("Condition"));
    value_->setAccessibleName(tr("Value"));
    auto* grid = new QGridLayout(adding);
    grid->addWidget(new QLabel(tr("Field"), adding), 0, 1);
    grid->addWidget(new QLabel(tr("Condition"), adding), 0, 2);
    grid->addWidget(new QLabel(tr("Value"), adding), 0, 3);
    grid->addWidget(join_, 1, 0);
    grid->addWidget(field_, 1, 1);
    grid->addWidget(condition_, 1, 2);
    grid->addWidget(value_, 1, 3);
    grid->addWidget(add_, 2, 2);
    grid->addWidget(delete_, 2, 3);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(inForce, 1);
    layout->addWidget(adding);
    layout->addWidget(buttons);

    connect(add_, &QPushButton::clicked, this, &FilterDialog::addRow);
    connect(delete_, &QPushButton::clicked, this, &FilterDialog::deleteRow);
    connect(field_, &QComboBox::currentIndexChanged, this, &FilterDialog::updateButtons);
    connect(condition_, &QComboBox::currentIndexChanged, this, &FilterDialog::updateButtons);
    connect(value_, &QLineEdit::textChanged, this, &FilterDialog::updateButtons);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &FilterDialog::updateButtons);
    showRows();
    updateButtons();
}

QString FilterDialog::filterText() const
{
    QString text;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const FilterRow& r = rows_[i];
        text += filterPiece(i == 0, r.orJoin, r.fieldName, r.condition, r.value);
    }
    return text;
}

void FilterDialog::addRow()
{
    if (!add_->isEnabled())
        return;
    FilterRow row;
    row.orJoin = !rows_.empty() && join_->currentIndex() == 1;   // the first row has no join
    row.fieldName = field_->currentData().toString();
    row.condition = FilterCondition(condition_->currentIndex());
    row.value = needsNoValue(row.condition) ? QString() : value_->text();
    rows_.push_back(row);
    showRows();
    field_->setCurrentIndex(-1);
    condition_->setCurrentIndex(-1);
    value_->clear();
    join_->setCurrentIndex(0);
    updateButtons();
}

void FilterDialog::deleteRow()
{
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid() || list_->selectedItems().isEmpty())
        return;
    rows_.erase(rows_.begin() + current.row());
    showRows();
    updateButtons();
}

void FilterDialog::updateButtons()
{
    const bool chosen = field_->currentIndex() >= 0 && condition_->currentIndex() >= 0;
    add_->setEnabled(chosen && (!value_->text().isEmpty() || needsNoValue(FilterCondition(condition_->currentIndex()))));
    delete_->setEnabled(!list_->selectedItems().isEmpty());
}

void FilterDialog::showRows()
{
    const QStringList conditions = conditionNames();
    list_->clear();
    for (size_t i = 0; i < rows_.size(); ++i) {
        const FilterRow& r = rows_[i];
        const QString join = i == 0 ? QString() : (r.orJoin ? QStringLiteral("OR") : QStringLiteral("AND"));
        new QTreeWidgetItem(list_, {join, labelOf(r.fieldName), conditions.value(int(r.condition)), r.value});
    }
}

QString FilterDialog::labelOf(const QString& fieldName) const
{
    for (int i = 0; i < table_.fieldCount(); ++i)
        if (table_.field(i).name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return table_.field(i).label();
    return fieldName;
}

} // namespace cm
