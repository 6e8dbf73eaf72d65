#include "app/builder/expressionbuilder.h"

#include "app/builder/builder.h"
#include "app/builder/builderwidgets.h"
#include "designer/messageboxes.h"
#include "engine/generate/modelaccess.h"
#include "expr/environment.h"
#include "expr/formulacheck.h"
#include "expr/functionlibrary.h"
#include "report/datasetcomponent.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <optional>

namespace cm {

namespace {

enum Page { MainPage, FieldPage, FunctionPage, ParameterPage, VariablePage };

constexpr int HighestListedCategory = 7;

QString argumentCaption(QChar letter, int number)
{
    switch (letter.toUpper().unicode()) {
    case 'N': return QStringLiteral("Argument %1 - numeric value").arg(number);
    case 'B': return QStringLiteral("Argument %1 - logical value").arg(number);
    case 'S': return QStringLiteral("Argument %1 - text Value").arg(number);
    default: return QStringLiteral("Argument %1 - value").arg(number);
    }
}

QListWidget* namedList(const QString& name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    nameControl(list, name);
    return list;
}

// A page's closing row: its own OK (or Continue) and Cancel back to the formula.
QHBoxLayout* pageButtons(QPushButton* accept, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(accept);
    row->addWidget(cancel);
    return row;
}

} // namespace

ExpressionBuilder::ExpressionBuilder(BuilderContext context, const QString& heading, QWidget* parent)
    : QDialog(parent), context_(std::move(context))
{
    setObjectName(QStringLiteral("ExpressionBuilder"));
    setWindowTitle(QStringLiteral("Expression Wizard"));
    pages_ = new QStackedWidget(this);
    pages_->addWidget(buildMainPage(heading.isEmpty() ? QStringLiteral("Enter expression:") : heading));
    pages_->addWidget(buildFieldPage());
    pages_->addWidget(buildFunctionPage());
    pages_->addWidget(buildParameterPage());
    pages_->addWidget(buildVariablePage());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    resize(520, 380);
}

QWidget* ExpressionBuilder::buildMainPage(const QString& heading)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(heading, page);
    edit_ = new QPlainTextEdit(page);
    edit_->setObjectName(QStringLiteral("Formula"));
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit_->setTabChangesFocus(true);
    nameControl(edit_, heading);
    label->setBuddy(edit_);
    layout->addWidget(label);
    layout->addWidget(edit_, 1);

    auto* pickRow = new QHBoxLayout;
    QPushButton* field = captionButton(QStringLiteral("&Database field"), page);
    QPushButton* function = captionButton(QStringLiteral("&Function"), page);
    QPushButton* variable = captionButton(QStringLiteral("&Variable"), page);
    pickRow->addWidget(field);
    pickRow->addWidget(function);
    pickRow->addWidget(variable);
    layout->addLayout(pickRow);
    connect(field, &QPushButton::clicked, this, [this] {
        fillFields();
        pages_->setCurrentIndex(FieldPage);
        tableList_->setFocus();
    });
    connect(function, &QPushButton::clicked, this, [this] {
        pages_->setCurrentIndex(FunctionPage);
        categoryList_->setFocus();
    });
    connect(variable, &QPushButton::clicked, this, [this] {
        fillVariables();
        pages_->setCurrentIndex(VariablePage);
        variableList_->setFocus();
    });

    auto* operators = new QGridLayout;
    const QStringList captions{QStringLiteral("+"),  QStringLiteral("-"),  QStringLiteral("*"),   QStringLiteral("/"),
                               QStringLiteral("="),  QStringLiteral("<"),  QStringLiteral(">"),   QStringLiteral("<>"),
                               QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("Not"), QStringLiteral("And"),
                               QStringLiteral("Or")};
    for (int i = 0; i < captions.size(); ++i) {
        QPushButton* b = captionButton(captions[i], page);
        b->setObjectName(QStringLiteral("Operator") + QString::number(i));
        operators->addWidget(b, i / 7, i % 7);
        connect(b, &QPushButton::clicked, this, [this, text = captions[i]] { insertText(u' ' + text + u' '); });
    }
    layout->addLayout(operators);

    auto* bottom = new QHBoxLayout;
    QPushButton* validateButton = captionButton(QStringLiteral("Valida&te"), page);
    QPushButton* clear = captionButton(QStringLiteral("&Clear"), page);
    QPushButton* ok = captionButton(QStringLiteral("OK"), page);
    QPushButton* cancel = captionButton(QStringLiteral("Cancel"), page);
    ok->setDefault(true);
    bottom->addWidget(validateButton);
    bottom->addWidget(clear);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);
    connect(validateButton, &QPushButton::clicked, this, &ExpressionBuilder::validate);
    connect(clear, &QPushButton::clicked, edit_, &QPlainTextEdit::clear);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

QWidget* ExpressionBuilder::buildFieldPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* lists = new QHBoxLayout;
    tableList_ = namedList(QStringLiteral("Tables"), page);
    fieldList_ = namedList(QStringLiteral("Fields"), page);
    lists->addWidget(tableList_);
    lists->addWidget(fieldList_, 2);
    layout->addLayout(lists, 1);
    QPushButton* ok = captionButton(QStringLiteral("OK"), page);
    QPushButton* cancel = captionButton(QStringLiteral("Cancel"), page);
    layout->addLayout(pageButtons(ok, cancel));
    connect(tableList_, &QListWidget::currentRowChanged, this, [this] {
        fieldList_->clear();
        const int row = tableList_->currentRow();
        if (row < 0 || row >= int(context_.tables.size()) || !context_.tables[size_t(row)])
            return;
        const DataSet* ds = context_.tables[size_t(row)]->dataSet();
        for (int i = 0; ds && i < ds->fieldCount(); ++i) {
            const FieldDef& f = ds->field(i);
            QString text = f.name;
            if (!context_.plain) {
                if (!f.visible || f.name.startsWith(QLatin1String("__")) ||
                    (context_.fieldFilter && !context_.fieldFilter(f)))
                    continue;
                if (!f.displayLabel.isEmpty() && f.displayLabel != f.name)
                    text += QStringLiteral("  (") + f.displayLabel + u')';
            }
            auto* item = new QListWidgetItem(text, fieldList_);
            item->setData(Qt::UserRole, f.name);
        }
        fieldList_->setCurrentRow(0);
    });
    connect(fieldList_, &QListWidget::itemDoubleClicked, this, &ExpressionBuilder::acceptField);
    connect(ok, &QPushButton::clicked, this, &ExpressionBuilder::acceptField);
    connect(cancel, &QPushButton::clicked, this, &ExpressionBuilder::showMain);
    return page;
}

void ExpressionBuilder::fillFields()
{
    tableList_->clear();
    for (const TDataSetComponent* t : context_.tables)
        tableList_->addItem(t ? t->name() : QString());
    tableList_->setCurrentRow(0);
}

void ExpressionBuilder::acceptField()
{
    const int row = tableList_->currentRow();
    const QListWidgetItem* field = fieldList_->currentItem();
    if (row >= 0 && field)
        insertText(tableList_->item(row)->text() + u'.' + field->data(Qt::UserRole).toString());
    showMain();
}

QWidget* ExpressionBuilder::buildFunctionPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* lists = new QHBoxLayout;
    categoryList_ = namedList(QStringLiteral("Categories"), page);
    functionList_ = namedList(QStringLiteral("Functions"), page);
    categoryList_->addItem(QStringLiteral("All"));
    for (int digit = 1; digit <= HighestListedCategory; ++digit)
        categoryList_->addItem(functionCategoryName(digit));
    lists->addWidget(categoryList_);
    lists->addWidget(functionList_, 2);
    layout->addLayout(lists, 1);
    functionTemplate_ = new QLabel(page);
    functionTemplate_->setObjectName(QStringLiteral("FunctionTemplate"));
    functionExplanation_ = new QLabel(page);
    functionExplanation_->setObjectName(QStringLiteral("FunctionExplanation"));
    functionExplanation_->setWordWrap(true);
    layout->addWidget(functionTemplate_);
    layout->addWidget(functionExplanation_);
    QPushButton* next = captionButton(QStringLiteral("Continue"), page);
    QPushButton* cancel = captionButton(QStringLiteral("Cancel"), page);
    layout->addLayout(pageButtons(next, cancel));
    connect(categoryList_, &QListWidget::currentRowChanged, this, &ExpressionBuilder::fillFunctions);
    connect(functionList_, &QListWidget::currentRowChanged, this, &ExpressionBuilder::showFunction);
    connect(functionList_, &QListWidget::itemDoubleClicked, this, &ExpressionBuilder::continueFunction);
    connect(next, &QPushButton::clicked, this, &ExpressionBuilder::continueFunction);
    connect(cancel, &QPushButton::clicked, this, &ExpressionBuilder::showMain);
    categoryList_->setCurrentRow(0);
    return page;
}

void ExpressionBuilder::fillFunctions()
{
    functionList_->clear();
    const int chosen = categoryList_->currentRow();
    const TQRFunctionLibrary& library = functionLibrary();
    for (int i = 0; i < library.Count(); ++i) {
        const int category = library.Entry(i).category();
        const bool listed = chosen <= 0 ? (category <= HighestListedCategory || context_.plain) : category == chosen;
        if (!listed)
            continue;
        auto* item = new QListWidgetItem(library.Entry(i).Name, functionList_);
        item->setData(Qt::UserRole, i);
    }
    functionList_->setCurrentRow(0);
}

const TQRLibraryEntry* ExpressionBuilder::currentFunction() const
{
    const QListWidgetItem* item = functionList_->currentItem();
    if (!item)
        return nullptr;
    return &functionLibrary().Entry(item->data(Qt::UserRole).toInt());
}

void ExpressionBuilder::showFunction()
{
    const TQRLibraryEntry* entry = currentFunction();
    functionTemplate_->setText(entry ? entry->callTemplate() : QString());
    functionExplanation_->setText(entry ? entry->explanation() : QString());
}

void ExpressionBuilder::continueFunction()
{
    const TQRLibraryEntry* entry = currentFunction();
    if (!entry)
        return;
    const QString letters = entry->argumentLetters();
    if (letters.isEmpty()) {
        insertText(entry->Name);
        showMain();
        return;
    }
    // One labelled edit with a nested builder per argument.
    qDeleteAll(parameterBox_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    argumentEdits_.clear();
    parameterFunction_ = entry->Name;
    parameterTitle_->setText(entry->callTemplate());
    const QString callTemplate = entry->callTemplate();
    for (int i = 0; i < letters.size(); ++i) {
        const QString caption = argumentCaption(letters.at(i), i + 1);
        auto* label = new QLabel(caption, parameterBox_);
        auto* row = new QWidget(parameterBox_);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        auto* edit = new QLineEdit(row);
        edit->setObjectName(QStringLiteral("Argument") + QString::number(i + 1));
        nameControl(edit, caption);
        label->setBuddy(edit);
        QPushButton* more = captionButton(QStringLiteral("..."), row);
        nameControl(more, caption + QStringLiteral(" ..."));
        rowLayout->addWidget(edit, 1);
        rowLayout->addWidget(more);
        parameterRows_->addWidget(label);
        parameterRows_->addWidget(row);
        argumentEdits_.push_back(edit);
        connect(more, &QPushButton::clicked, this, [this, edit, i, callTemplate] {
            ExpressionBuilder nested(context_, QStringLiteral("Enter %1. parameter for %2").arg(i + 1).arg(callTemplate),
                                     this);
            // Placed inside this builder, without a frame of its own.
            nested.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
            nested.setGeometry(QRect(mapToGlobal(QPoint(0, 0)), size()));
            nested.setFormula(edit->text());
            if (nested.exec() == QDialog::Accepted)
                edit->setText(nested.formula());
        });
    }
    pages_->setCurrentIndex(ParameterPage);
    argumentEdits_.front()->setFocus();
}

QWidget* ExpressionBuilder::buildParameterPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    parameterTitle_ = new QLabel(page);
    parameterTitle_->setObjectName(QStringLiteral("ParameterTitle"));
    layout->addWidget(parameterTitle_);
    parameterBox_ = new QWidget(page);
    parameterRows_ = new QVBoxLayout(parameterBox_);
    parameterRows_->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(parameterBox_);
    layout->addStretch();
    QPushButton* ok = captionButton(QStringLiteral("OK"), page);
    QPushButton* cancel = captionButton(QStringLiteral("Cancel"), page);
    layout->addLayout(pageButtons(ok, cancel));
    connect(ok, &QPushButton::clicked, this, &ExpressionBuilder::acceptParameters);
    connect(cancel, &QPushButton::clicked, this, &ExpressionBuilder::showMain);
    return page;
}

void ExpressionBuilder::acceptParameters()
{
    QStringList arguments;
    for (const QLineEdit* e : argumentEdits_)
        arguments << e->text();
    insertText(parameterFunction_ + u'(' + arguments.join(QStringLiteral(", ")) + u')');
    showMain();
}

QWidget* ExpressionBuilder::buildVariablePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    variableList_ = namedList(QStringLiteral("Variables"), page);
    layout->addWidget(variableList_, 1);
    variableValue_ = new QLabel(QStringLiteral("Value :"), page);
    variableValue_->setObjectName(QStringLiteral("VariableValue"));
    variableValue_->setWordWrap(true);
    layout->addWidget(variableValue_);
    QPushButton* modify = captionButton(QStringLiteral("&Modify variables"), page);
    QPushButton* ok = captionButton(QStringLiteral("OK"), page);
    QPushButton* cancel = captionButton(QStringLiteral("Cancel"), page);
    QHBoxLayout* row = pageButtons(ok, cancel);
    row->insertWidget(0, modify);
    layout->addLayout(row);
    connect(variableList_, &QListWidget::currentRowChanged, this, &ExpressionBuilder::showVariable);
    connect(variableList_, &QListWidget::itemDoubleClicked, this, &ExpressionBuilder::acceptVariable);
    connect(ok, &QPushButton::clicked, this, &ExpressionBuilder::acceptVariable);
    connect(cancel, &QPushButton::clicked, this, &ExpressionBuilder::showMain);
    connect(modify, &QPushButton::clicked, this, &ExpressionBuilder::modifyVariables);
    return page;
}

void ExpressionBuilder::fillVariables()
{
    variableList_->clear();
    const auto addAll = [this](const TQREvEnvironment* env) {
        for (int i = 0; env && i < env->Count(); ++i) {
            auto* item = new QListWidgetItem(env->NameAt(i), variableList_);
            item->setData(Qt::UserRole, env->FormulaAt(i));
        }
    };
    addAll(context_.local.get());
    addAll(&globalEnvironment());
    variableList_->setCurrentRow(0);
}

void ExpressionBuilder::showVariable()
{
    const QListWidgetItem* item = variableList_->currentItem();
    variableValue_->setText(QStringLiteral("Value : ") + (item ? item->data(Qt::UserRole).toString() : QString()));
}

void ExpressionBuilder::acceptVariable()
{
    if (const QListWidgetItem* item = variableList_->currentItem())
        insertText(item->text());
    showMain();
}

void ExpressionBuilder::modifyVariables()
{
    editEnvironment(this, context_, context_.local.get(), true);
    fillVariables();
}

void ExpressionBuilder::showMain()
{
    pages_->setCurrentIndex(MainPage);
    edit_->setFocus();
}

void ExpressionBuilder::reject()
{
    if (pages_->currentIndex() != MainPage)
        showMain();
    else
        QDialog::reject();
}

void ExpressionBuilder::insertText(const QString& text)
{
    QTextCursor cursor = edit_->textCursor();
    cursor.insertText(text);   // replaces the selection
    edit_->setTextCursor(cursor);
}

void ExpressionBuilder::setFormula(const QString& text) { edit_->setPlainText(text); }

QString ExpressionBuilder::formula() const { return joinFormulaLines(edit_->toPlainText()); }

void ExpressionBuilder::validate()
{
    std::optional<ScopedModelAccess> access;
    if (context_.scope)
        access.emplace(*context_.scope);
    const QString shown = validateFormula(edit_->toPlainText(), context_.dataSets.get(), context_.local.get());
    access.reset();
    if (!context_.boxes)
        return;
    if (shown.startsWith(QLatin1String("ERROR: ")))
        context_.boxes->error(shown);
    else
        context_.boxes->information(shown);
}

} // namespace cm
