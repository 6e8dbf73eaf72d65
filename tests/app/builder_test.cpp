// The expression builder, the script editor and the environment editor,
// driven with real clicks and keys.
#include "windowfixture.h"

#include "../expr/memorydataset.h"

#include "app/builder/environmenteditor.h"
#include "app/builder/expressionbuilder.h"
#include "app/builder/scripteditor.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "expr/environment.h"
#include "report/datasetcomponent.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace cm;

namespace {

// The visible button with that caption.
QPushButton* button(QWidget* root, const QString& caption)
{
    for (QPushButton* b : root->findChildren<QPushButton*>()) {
        if (b->text() == caption && b->isVisible())
            return b;
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
    return nullptr;
}

void click(QWidget* root, const QString& caption)
{
    if (QPushButton* b = button(root, caption))
        QTest::mouseClick(b, Qt::LeftButton);
}

// Picks a list entry by its text with a click.
void pick(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list->scrollToItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
}

class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto log = std::make_unique<test::MemoryDataSet>(
            QStringLiteral("Tbl"), std::vector<FieldDef>{test::fieldDef(QStringLiteral("CALL"), FieldType::String, 12),
                                                        test::fieldDef(QStringLiteral("BAND"), FieldType::Integer),
                                                        test::fieldDef(QStringLiteral("__ID"), FieldType::Integer)});
        log->addRecord({QStringLiteral("S51ABC"), 20, 1});
        log->addRecord({QStringLiteral("DL1XYZ"), 40, 2});
        log->next();   // the current record is the second
        table = new TTable(&module);
        table->setName(QStringLiteral("Tbl"));
        table->setSource(std::move(log));
        context = makeBuilderContext({table}, boxes, nullptr);
    }

    QPlainTextEdit* formulaEdit(ExpressionBuilder& b) { return b.findChild<QPlainTextEdit*>(QStringLiteral("Formula")); }

    Container module{QStringLiteral("DataFrm"), true};
    TTable* table = nullptr;
    ScriptedMessageBoxes boxes;
    BuilderContext context;
};

TEST_F(BuilderTest, ValidateRunsTheFormulaOnTheCurrentRecord)
{
    ExpressionBuilder b(context, QString());
    b.show();
    QPlainTextEdit* edit = formulaEdit(b);
    QTest::keyClicks(edit, QStringLiteral("Tbl.CALL"));
    click(&b, QStringLiteral("Valida&te"));
    click(&b, QStringLiteral("&Clear"));
    EXPECT_TRUE(edit->toPlainText().isEmpty());
    QTest::keyClicks(edit, QStringLiteral("BAND *"));
    click(&b, QStringLiteral("Valida&te"));
    EXPECT_EQ(boxes.shown, (QStringList{QStringLiteral("information: There are no errors. The result is : DL1XYZ"),
                                        QStringLiteral("error: ERROR: Unknown function : BAND *")}));
}

TEST_F(BuilderTest, PagesInsertFieldsFunctionsOperatorsAndVariables)
{
    ExpressionBuilder b(context, QStringLiteral("Enter expression:"));
    b.show();
    QPlainTextEdit* edit = formulaEdit(b);

    click(&b, QStringLiteral("&Database field"));
    QListWidget* fieldList = nullptr;
    for (QListWidget* l : b.findChildren<QListWidget*>())
        if (l->accessibleName() == QLatin1String("Fields")) fieldList = l;
    ASSERT_TRUE(fieldList);
    QStringList shown;
    for (int i = 0; i < fieldList->count(); ++i)
        shown << fieldList->item(i)->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("CALL"), QStringLiteral("BAND")}));   // "__" fields hidden
    pick(fieldList, QStringLiteral("BAND"));
    click(&b, QStringLiteral("OK"));
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("Tbl.BAND"));

    click(&b, QStringLiteral("+"));
    click(&b, QStringLiteral("&Function"));
    QListWidget* functions = nullptr;
    for (QListWidget* l : b.findChildren<QListWidget*>())
        if (l->accessibleName() == QLatin1String("Functions")) functions = l;
    ASSERT_TRUE(functions);
    pick(functions, QStringLiteral("DATE"));
    click(&b, QStringLiteral("Continue"));   // no arguments: the name alone
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("Tbl.BAND + DATE"));

    click(&b, QStringLiteral("&Clear"));
    click(&b, QStringLiteral("&Function"));
    pick(functions, QStringLiteral("COPY"));
    click(&b, QStringLiteral("Continue"));
    auto* title = b.findChild<QLabel*>(QStringLiteral("ParameterTitle"));
    EXPECT_TRUE(title->text().startsWith(QLatin1String("COPY(")));
    QTest::keyClicks(b.findChild<QLineEdit*>(QStringLiteral("Argument1")), QStringLiteral("Tbl.CALL"));
    QTest::keyClicks(b.findChild<QLineEdit*>(QStringLiteral("Argument2")), QStringLiteral("1"));
    QTest::keyClicks(b.findChild<QLineEdit*>(QStringLiteral("Argument3")), QStringLiteral("2"));
    click(&b, QStringLiteral("OK"));
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("COPY(Tbl.CALL, 1, 2)"));

    click(&b, QStringLiteral("&Clear"));
    click(&b, QStringLiteral("&Variable"));
    QListWidget* variables = nullptr;
    for (QListWidget* l : b.findChildren<QListWidget*>())
        if (l->accessibleName() == QLatin1String("Variables")) variables = l;
    ASSERT_TRUE(variables);
    EXPECT_EQ(variables->item(0)->text(), QStringLiteral("PAGENUMBER"));   // the local names come first
    pick(variables, QStringLiteral("REPORTTITLE"));
    EXPECT_EQ(b.findChild<QLabel*>(QStringLiteral("VariableValue"))->text(), QStringLiteral("Value : ''"));
    QTest::mouseDClick(variables->viewport(), Qt::LeftButton, {},
                       variables->visualItemRect(variables->currentItem()).center());
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("REPORTTITLE"));

    // A formula typed over three lines comes back as one.
    click(&b, QStringLiteral("&Clear"));
    QTest::keyClicks(edit, QStringLiteral("1 +"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("2 +"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("3"));
    EXPECT_EQ(b.formula(), QStringLiteral("1 +2 +3"));
}

TEST_F(BuilderTest, ScriptEditorRoundTripOfTwoComponents)
{
    const QStringList script{QStringLiteral("[CardReport.BeforePrint]"), QStringLiteral("SETVAR('n', 0)"),
                             QStringLiteral("[DetailBand1.BeforePrint]"), QStringLiteral("RETURN TRUE"),
                             QStringLiteral("[CardReport.AfterPrint]"), QStringLiteral("SETVAR('n', 1)")};
    ScriptEditor report(context, script, QStringLiteral("CardReport"), true);
    report.show();
    EXPECT_EQ(report.findChild<QTabWidget*>()->count(), 5);
    auto* before = report.findChild<QPlainTextEdit*>(QStringLiteral("BeforePrint"));
    auto* after = report.findChild<QPlainTextEdit*>(QStringLiteral("AfterPrint"));
    EXPECT_EQ(before->toPlainText(), QStringLiteral("SETVAR('n', 0)"));
    before->moveCursor(QTextCursor::End);
    QTest::keyClick(before, Qt::Key_Return);
    QTest::keyClicks(before, QStringLiteral("RETURN TRUE"));
    report.findChild<QTabWidget*>()->setCurrentIndex(1);
    after->selectAll();
    QTest::keyClick(after, Qt::Key_Delete);
    click(&report, QStringLiteral("OK"));
    EXPECT_EQ(report.result(), QDialog::Accepted);
    const QStringList saved = report.script();
    EXPECT_EQ(saved, (QStringList{QStringLiteral("[DetailBand1.BeforePrint]"), QStringLiteral("RETURN TRUE"),
                                  QStringLiteral("[CardReport.BeforePrint]"), QStringLiteral("SETVAR('n', 0)"),
                                  QStringLiteral("RETURN TRUE")}));

    ScriptEditor band(context, saved, QStringLiteral("DetailBand1"), false);
    band.show();
    EXPECT_EQ(band.findChild<QTabWidget*>()->count(), 2);
    EXPECT_EQ(band.findChild<QPlainTextEdit*>(QStringLiteral("BeforePrint"))->toPlainText(),
              QStringLiteral("RETURN TRUE"));
    band.findChild<QTabWidget*>()->setCurrentIndex(1);
    QTest::keyClicks(band.findChild<QPlainTextEdit*>(QStringLiteral("AfterPrint")), QStringLiteral("SETVAR('b', 1)"));
    click(&band, QStringLiteral("Cancel"));
    EXPECT_EQ(band.result(), QDialog::Rejected);
}

TEST_F(BuilderTest, EnvironmentEditorAddsRenamesAndEdits)
{
    EnvironmentEditor editor(context, context.local.get(), true);
    editor.show();
    auto* grid = editor.findChild<QTableWidget*>(QStringLiteral("Entries"));
    ASSERT_EQ(grid->rowCount(), 3);   // PAGENUMBER, COLUMNNUMBER, REPORTTITLE
    click(&editor, QStringLiteral("&Add"));
    QTest::keyClicks(editor.findChild<QLineEdit*>(QStringLiteral("NewName")), QStringLiteral("double"));
    QTest::keyClicks(editor.findChild<QLineEdit*>(QStringLiteral("NewExpression")), QStringLiteral("Tbl.BAND * 2"));
    click(&editor, QStringLiteral("&OK"));
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(3, 0)->text(), QStringLiteral("DOUBLE"));

    // A name typed into the grid is taken in upper case.
    grid->setCurrentCell(3, 0);
    grid->item(3, 0)->setText(QStringLiteral("twice"));
    EXPECT_EQ(context.local->NameAt(3), QStringLiteral("TWICE"));
    EXPECT_EQ(grid->item(3, 0)->text(), QStringLiteral("TWICE"));

    click(&editor, QStringLiteral("&Delete"));
    EXPECT_EQ(context.local->Count(), 3);
    EXPECT_FALSE(globalEnvironment().contains(QStringLiteral("DOUBLE")));
}

class BuilderWindowTest : public WindowTest {};

TEST_F(BuilderWindowTest, ScriptsFromTheReportsMenuChangeTheLayout)
{
    auto w = startWindow();
    DesignerCore& designer = w->designer();
    EXPECT_TRUE(designer.options().scriptEditByUser);
    ASSERT_TRUE(designer.editScriptHandler);
    w->document().setModified(false);
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<ScriptEditor*>(QApplication::activeModalWidget());
        ASSERT_TRUE(editor);
        editor->findChild<QTabWidget*>()->setCurrentIndex(3);
        QTest::keyClicks(editor->findChild<QPlainTextEdit*>(QStringLiteral("StartPage")), QStringLiteral("SETVAR('p', 1)"));
        click(editor, QStringLiteral("OK"));
    });
    designer.editScriptHandler(&w->document().report());
    EXPECT_EQ(w->document().loader().script.lines.mid(w->document().loader().script.lines.size() - 2),
              (QStringList{QStringLiteral("[CardReport.StartPage]"), QStringLiteral("SETVAR('p', 1)")}));
    EXPECT_TRUE(w->document().isModified());
}

} // namespace
