#include "app/builder/environmenteditor.h"

#include "app/builder/builder.h"
#include "app/builder/builderwidgets.h"
#include "expr/environment.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace cm {

EnvironmentEditor::EnvironmentEditor(BuilderContext context, TQREvEnvironment* local, bool allowGlobal, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), local_(local)
{
    setObjectName(QStringLiteral("EnvironmentEditor"));
    setWindowTitle(QStringLiteral("User Defined Functions Edtor"));
    localChoice_ = new QRadioButton(QStringLiteral("Local defines"), this);
    globalChoice_ = new QRadioButton(QStringLiteral("Global defines"), this);
    nameControl(localChoice_, localChoice_->text());
    nameControl(globalChoice_, globalChoice_->text());
    globalChoice_->setEnabled(allowGlobal || !local_);
    // Without a local environment only the global one is shown.
    localChoice_->setVisible(local_ != nullptr);
    (local_ ? localChoice_ : globalChoice_)->setChecked(true);
    connect(localChoice_, &QRadioButton::toggled, this, &EnvironmentEditor::fillGrid);

    grid_ = new QTableWidget(0, 2, this);
    grid_->setObjectName(QStringLiteral("Entries"));
    nameControl(grid_, QStringLiteral("Entries"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Expression")});
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(grid_, &QTableWidget::itemChanged, this, &EnvironmentEditor::cellEdited);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, &EnvironmentEditor::editRow);

    QPushButton* add = captionButton(QStringLiteral("&Add"), this);
    QPushButton* edit = captionButton(QStringLiteral("&Edit"), this);
    QPushButton* remove = captionButton(QStringLiteral("&Delete"), this);
    QPushButton* close = captionButton(QStringLiteral("Close"), this);
    connect(add, &QPushButton::clicked, this, &EnvironmentEditor::showNewEntry);
    connect(edit, &QPushButton::clicked, this, &EnvironmentEditor::editRow);
    connect(remove, &QPushButton::clicked, this, &EnvironmentEditor::deleteRow);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    newEntry_ = new QGroupBox(QStringLiteral("New entry"), this);
    nameControl(newEntry_, newEntry_->title());
    newName_ = new QLineEdit(newEntry_);
    newName_->setObjectName(QStringLiteral("NewName"));
    nameControl(newName_, QStringLiteral("Name :"));
    newFormula_ = new QLineEdit(newEntry_);
    newFormula_->setObjectName(QStringLiteral("NewExpression"));
    nameControl(newFormula_, QStringLiteral("Expression :"));
    QPushButton* build = captionButton(QStringLiteral("..."), newEntry_);
    nameControl(build, QStringLiteral("Expression : ..."));
    QPushButton* ok = captionButton(QStringLiteral("&OK"), newEntry_);
    QPushButton* cancel = captionButton(QStringLiteral("&Cancel"), newEntry_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name :"), newName_);
    auto* formulaRow = new QHBoxLayout;
    formulaRow->addWidget(newFormula_, 1);
    formulaRow->addWidget(build);
    form->addRow(QStringLiteral("Expression :"), formulaRow);
    auto* entryButtons = new QHBoxLayout;
    entryButtons->addStretch();
    entryButtons->addWidget(ok);
    entryButtons->addWidget(cancel);
    auto* entryLayout = new QVBoxLayout(newEntry_);
    entryLayout->addLayout(form);
    entryLayout->addLayout(entryButtons);
    newEntry_->hide();
    connect(build, &QPushButton::clicked, this, [this] {
        QString text = newFormula_->text();
        if (editExpression(this, plainContext(), text))
            newFormula_->setText(text);
    });
    connect(ok, &QPushButton::clicked, this, &EnvironmentEditor::acceptNewEntry);
    connect(cancel, &QPushButton::clicked, newEntry_, &QWidget::hide);

    auto* choices = new QHBoxLayout;
    choices->addWidget(localChoice_);
    choices->addWidget(globalChoice_);
    choices->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(grid_, 1);
    layout->addWidget(newEntry_);
    layout->addLayout(buttons);
    resize(520, 360);
    fillGrid();
}

TQREvEnvironment* EnvironmentEditor::currentEnvironment() const
{
    return local_ && localChoice_->isChecked() ? local_ : &globalEnvironment();
}

BuilderContext EnvironmentEditor::plainContext() const
{
    BuilderContext plain = context_;
    plain.plain = true;
    plain.fieldFilter = {};
    return plain;
}

void EnvironmentEditor::fillGrid()
{
    filling_ = true;
    const TQREvEnvironment* env = currentEnvironment();
    grid_->setRowCount(env->Count());
    for (int i = 0; i < env->Count(); ++i) {
        grid_->setItem(i, 0, new QTableWidgetItem(env->NameAt(i)));
        grid_->setItem(i, 1, new QTableWidgetItem(env->FormulaAt(i)));
    }
    filling_ = false;
}

void EnvironmentEditor::cellEdited(QTableWidgetItem* item)
{
    if (filling_)
        return;
    TQREvEnvironment* env = currentEnvironment();
    const int row = item->row();
    if (item->column() == 0)
        env->RenameAt(row, item->text());
    else
        env->SetFormulaAt(row, item->text());   // refused while the environment is prepared
    fillGrid();   // shows what the environment now holds
}

void EnvironmentEditor::showNewEntry()
{
    newName_->clear();
    newFormula_->clear();
    newEntry_->show();
    newName_->setFocus();
}

void EnvironmentEditor::acceptNewEntry()
{
    if (!newName_->text().trimmed().isEmpty())
        currentEnvironment()->Add(newName_->text().trimmed(), newFormula_->text());
    newEntry_->hide();
    fillGrid();
}

void EnvironmentEditor::editRow()
{
    const int row = grid_->currentRow();
    TQREvEnvironment* env = currentEnvironment();
    if (row < 0 || row >= env->Count())
        return;
    QString text = env->FormulaAt(row);
    if (editExpression(this, plainContext(), text, env->NameAt(row))) {
        env->SetFormulaAt(row, text);
        fillGrid();
    }
}

void EnvironmentEditor::deleteRow()
{
    const int row = grid_->currentRow();
    TQREvEnvironment* env = currentEnvironment();
    if (row < 0 || row >= env->Count() || env->Prepared())
        return;
    env->Delete(env->NameAt(row));
    fillGrid();
}

} // namespace cm
