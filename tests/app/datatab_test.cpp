// The Data tab: the filter dialog, Unsort, "Group By", editing SQLite
// logbooks and the refusal of edits in Paradox tables.
#include "windowfixture.h"

#include "app/datatab.h"
#include "app/filterdialog.h"
#include "app/logtablemodel.h"
#include "app/mainactions.h"
#include "designer/document.h"
#include "logbook/demolog.h"
#include "logbook/logbookfolder.h"
#include "logbook/logfields.h"
#include "logbook/logtable.h"
#include "logbook_fixtures.h"
#include "report/datasetcomponent.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace cm;

namespace {

// The demo logbook, opened as a log table.
std::unique_ptr<LogTable> demoTable(const QString& path)
{
    QString error;
    EXPECT_TRUE(writeDemoLogbook(path, 60, 1, &error)) << error.toStdString();
    auto table = std::make_unique<LogTable>();
    table->setTableName(path);
    EXPECT_TRUE(table->open(&error)) << error.toStdString();
    return table;
}

void addCondition(FilterDialog& d, bool orJoin, const QString& label, FilterCondition c, const QString& value)
{
    d.joinBox().setCurrentIndex(orJoin ? 1 : 0);
    d.fieldBox().setCurrentIndex(d.fieldBox().findText(label));
    d.conditionBox().setCurrentIndex(int(c));
    d.valueEdit().setText(value);
    ASSERT_TRUE(d.addButton().isEnabled()) << label.toStdString();
    QTest::mouseClick(&d.addButton(), Qt::LeftButton);
}

// Every value of `field` in the order the report reads the records.
QStringList reportOrder(MainWindow& w, int field)
{
    DataSet* set = w.document().workspace().table->dataSet();
    QStringList values;
    for (set->first(); !set->eof(); set->next())
        values << set->text(field);
    return values;
}

} // namespace

TEST_F(WindowTest, FilterDialogRowsBecomeTextAndComeBack)
{
    auto table = demoTable(inWork("log.db"));
    FilterDialog first(*table);
    EXPECT_EQ(first.windowTitle(), "Filter setup dialog");
    // The example of two rows: the first row writes no join, OR is followed by two blanks.
    addCondition(first, true, "Call", FilterCondition::Equal, "S5");
    addCondition(first, true, "Band", FilterCondition::Equal, "20M");
    EXPECT_EQ(first.filterText(), "(Call = 'S5') OR  (Band = '20M')");
    // Adding clears the controls and presets AND.
    EXPECT_EQ(first.fieldBox().currentIndex(), -1);
    EXPECT_EQ(first.joinBox().currentText(), "AND");
    EXPECT_FALSE(first.addButton().isEnabled());

    struct Case { const char* label; FilterCondition condition; const char* value; };
    const Case cases[] = {
        {"Mode", FilterCondition::NotEqual, "CW"},    {"Freq", FilterCondition::NoGreater, "14.35"},
        {"Freq", FilterCondition::NoLess, "7"},       {"Cq Zone", FilterCondition::LessThan, "40"},
        {"Itu Zone", FilterCondition::GreaterThan, "0"}, {"Qsl via", FilterCondition::Empty, ""},
        {"Name", FilterCondition::NotEmpty, ""},      {"Mode", FilterCondition::InList, "'CW','SSB','FT8'"},
        {"Date", FilterCondition::Between, "2020-01-01 2030-12-31"},
    };
    bool orJoin = false;
    for (const Case& c : cases) {
        addCondition(first, orJoin, c.label, c.condition, c.value);
        orJoin = !orJoin;
    }
    ASSERT_EQ(first.rows().size(), std::size(cases) + 2);
    QString error;
    ASSERT_TRUE(table->setFilter(first.filterText(), &error)) << error.toStdString();
    // "empty" and "not empty" write the forms the table reads.
    EXPECT_TRUE(first.filterText().contains("(QslVia IS NULL)"));
    EXPECT_TRUE(first.filterText().contains("(Name IS NOT NULL)"));

    // A second use starts from the filter in force, row for row.
    FilterDialog second(*table);
    EXPECT_EQ(second.filterText(), first.filterText());
    EXPECT_TRUE(second.rows() == first.rows());
    EXPECT_EQ(second.list().topLevelItemCount(), int(first.rows().size()));
    EXPECT_EQ(second.list().topLevelItem(1)->text(0), "OR");
    EXPECT_EQ(second.list().topLevelItem(1)->text(1), "Band");
    EXPECT_EQ(second.list().topLevelItem(1)->text(2), "equal");

    // Deleting a row is possible only with a row selected.
    EXPECT_FALSE(second.deleteButton().isEnabled());
    second.list().setCurrentItem(second.list().topLevelItem(0));
    ASSERT_TRUE(second.deleteButton().isEnabled());
    QTest::mouseClick(&second.deleteButton(), Qt::LeftButton);
    EXPECT_EQ(second.rows().size(), first.rows().size() - 1);
    EXPECT_EQ(second.rows().front().fieldName, "Band");
}

TEST_F(WindowTest, UnsortShowsEveryRecordAgain)
{
    auto w = startWindow();
    w->showDatabase();
    LogTable* table = w->logTable();
    ASSERT_TRUE(table && table->isOpen());
    const int all = table->recordCount();
    ASSERT_GT(all, 0);
    QAction* unsort = w->actions().unsort;
    EXPECT_FALSE(unsort->isEnabled());
    EXPECT_EQ(w->dataTab().statusText(), QString("There are %1 QSOs !").arg(all));

    // A filter that matches nothing shows 0 and leaves Unsort enabled.
    ASSERT_TRUE(w->dataTab().applyFilter("(Call = 'NOSUCHCALL')"));
    EXPECT_EQ(w->dataTab().statusText(), "There are 0 QSOs !");
    EXPECT_EQ(w->dataTab().model().rowCount(), 0);
    EXPECT_TRUE(unsort->isEnabled());

    // A text the table cannot read says why and keeps the filter in force.
    EXPECT_FALSE(w->dataTab().applyFilter("(NoField = 'x')"));
    EXPECT_TRUE(boxes.shown.last().startsWith("error: "));
    EXPECT_EQ(table->filter(), "(Call = 'NOSUCHCALL')");

    unsort->trigger();
    EXPECT_TRUE(table->filter().isEmpty());
    EXPECT_EQ(w->dataTab().statusText(), QString("There are %1 QSOs !").arg(all));
    EXPECT_EQ(w->dataTab().model().rowCount(), all);
    EXPECT_FALSE(unsort->isEnabled());
}

TEST_F(WindowTest, GroupByReordersWhatTheReportPrints)
{
    auto w = startWindow();
    w->showDatabase();
    auto* groupBy = w->findChild<QComboBox*>("DBIndexCombo1");
    ASSERT_TRUE(groupBy);
    const int byCall = groupBy->findText("Call");
    ASSERT_GE(byCall, 0) << groupBy->count();
    const QStringList before = reportOrder(*w, LogCall);
    emit groupBy->activated(byCall);
    const QStringList after = reportOrder(*w, LogCall);
    QStringList sorted = before;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    ASSERT_NE(before, sorted);   // the demo logbook is not in call order by itself
    EXPECT_EQ(after, sorted);
    // The grid shows the same order.
    EXPECT_EQ(w->dataTab().model().index(0, LogCall).data().toString(), sorted.front());
    EXPECT_EQ(w->dataTab().model().index(after.size() - 1, LogCall).data().toString(), sorted.back());
}

TEST_F(WindowTest, EditOfSqliteLogbookSurvivesReopening)
{
    QString path;
    {
        auto w = startWindow();
        w->showDatabase();
        LogTable* table = w->logTable();
        ASSERT_TRUE(table && table->canModify());
        path = table->resolvedPath();
        LogTableModel& model = w->dataTab().model();
        const QModelIndex call = model.index(2, LogCall);
        const qint64 log = model.index(2, LogLog).data().toLongLong();
        const QString oldName = model.index(2, LogName).data().toString();
        EXPECT_TRUE(model.flags(call) & Qt::ItemIsEditable);
        EXPECT_FALSE(model.flags(model.index(2, LogLog)) & Qt::ItemIsEditable);
        ASSERT_TRUE(model.setData(call, "S59ZZZ")) << boxes.shown.join('\n').toStdString();

        // A value of the wrong type says why and keeps the record as it was.
        const int shown = boxes.shown.size();
        table->moveTo(0);
        int row = -1;
        for (int r = 0; r < model.rowCount(); ++r)
            if (model.index(r, LogLog).data().toLongLong() == log)
                row = r;
        ASSERT_GE(row, 0);
        EXPECT_FALSE(model.setData(model.index(row, LogCq), "abc"));
        ASSERT_EQ(boxes.shown.size(), shown + 1);
        EXPECT_TRUE(boxes.shown.last().startsWith("error: "));
        EXPECT_EQ(model.index(row, LogName).data().toString(), oldName);
        EXPECT_EQ(model.index(row, LogCall).data().toString(), "S59ZZZ");
        ASSERT_TRUE(w->close());
    }
    LogTable reopened;
    reopened.setTableName(path);
    QString error;
    ASSERT_TRUE(reopened.open(&error)) << error.toStdString();
    ASSERT_TRUE(reopened.setFilter("(Call = 'S59ZZZ')", &error));
    EXPECT_EQ(reopened.recordCount(), 1);
}

TEST_F(WindowTest, NewRecordLeftBlankIsDiscardedAndDeleteAsks)
{
    auto w = startWindow();
    w->showDatabase();
    DataTab& tab = w->dataTab();
    LogTable* table = w->logTable();
    const int all = table->recordCount();
    tab.newRecord();
    EXPECT_EQ(tab.model().rowCount(), all + 1);
    // Focus elsewhere drops the blank row; nothing was written.
    w->activateWindow();
    tab.grid().setFocus();
    QApplication::processEvents();
    w->findChild<QComboBox*>("DBIndexCombo1")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(tab.model().rowCount(), all);
    EXPECT_EQ(table->recordCount(), all);

    // Typing into the blank row makes it a record.
    tab.newRecord();
    ASSERT_TRUE(tab.model().setData(tab.model().index(all, LogCall), "S50NEW"));
    EXPECT_EQ(table->recordCount(), all + 1);

    boxes.answers.push_back(MessageBoxes::Answer::Cancel);
    tab.grid().setCurrentIndex(tab.model().index(0, LogCall));
    EXPECT_FALSE(tab.deleteRecord());
    EXPECT_EQ(table->recordCount(), all + 1);
    EXPECT_TRUE(tab.deleteRecord());
    EXPECT_EQ(table->recordCount(), all);
    EXPECT_EQ(tab.statusText(), QString("There are %1 QSOs !").arg(all));
}

TEST_F(WindowTest, ParadoxTableOpensReadOnlyAndRefusesEdits)
{
    cmtest::PxTable px;
    px.fields = cmtest::pxLogbookFields();
    px.records = {cmtest::pxLogbookRecord(1, QDate(2024, 2, 1), QTime(12, 0), "S52AB", "20M", 14.2, 15),
                  cmtest::pxLogbookRecord(2, QDate(2024, 2, 2), QTime(13, 0), "DL1XY", "40M", 7.01, 14)};
    const QString path = inWork("Orvik.db");
    ASSERT_TRUE(cmtest::writeFile(path, px.build()));

    auto w = startWindow();
    w->showDatabase();
    boxes.fileNames.push_back(path);
    w->actions().open->trigger();
    ASSERT_EQ(w->activeTable(), path) << boxes.shown.join('\n').toStdString();
    EXPECT_EQ(w->windowTitle(), "Cardmint " + path);
    DataTab& tab = w->dataTab();
    EXPECT_EQ(tab.statusText(), "There are 2 QSOs !");
    auto* notice = tab.findChild<QLabel*>("ReadOnlyNotice");
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_FALSE(notice->text().isEmpty());

    LogTableModel& model = tab.model();
    const QModelIndex call = model.index(0, LogCall);
    EXPECT_FALSE(model.flags(call) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(call, "S59ZZZ"));
    EXPECT_EQ(boxes.shown.last(), "error: " + notice->text());
    EXPECT_EQ(call.data().toString(), "S52AB");
    EXPECT_FALSE(tab.deleteRecord());
    EXPECT_EQ(w->logTable()->recordCount(), 2);
}

TEST_F(WindowTest, OpenRefusesTablesOfOtherKindsAndKeepsTheLogbook)
{
    auto w = startWindow();
    w->showDatabase();
    const QString before = w->activeTable();
    cmtest::PxTable old;
    old.fields = cmtest::pxLogbookFields(0x09);   // twelfth field logical
    ASSERT_TRUE(cmtest::writeFile(inWork("Old.db"), old.build()));
    cmtest::PxTable other;
    other.fields = {{"Name", 0x01, 20}};
    ASSERT_TRUE(cmtest::writeFile(inWork("Other.db"), other.build()));

    boxes.fileNames = {inWork("Old.db"), inWork("Other.db")};
    w->actions().open->trigger();
    EXPECT_EQ(boxes.shown.last(), "error: Old.db is in old format\nPlease go to Tevrana and convert it !");
    w->actions().open->trigger();
    EXPECT_EQ(boxes.shown.last(), "error: Other.db is not Tevrana Table !");
    w->actions().open->trigger();   // cancelled
    EXPECT_EQ(w->activeTable(), before);
    EXPECT_EQ(w->windowTitle(), "Cardmint " + before);
    EXPECT_TRUE(w->logTable()->isOpen());
}

TEST_F(WindowTest, GridColumnsComeBackAtTheNextStart)
{
    {
        auto w = startWindow();
        w->showDatabase();
        QHeaderView* header = w->dataTab().grid().horizontalHeader();
        header->resizeSection(LogCall, 177);
        header->moveSection(LogCountry, 1);
        ASSERT_TRUE(w->close());
    }
    auto w = startWindow();
    QHeaderView* header = w->dataTab().grid().horizontalHeader();
    EXPECT_EQ(header->sectionSize(LogCall), 177);
    EXPECT_EQ(header->visualIndex(LogCountry), 1);
}

TEST_F(WindowTest, EnterStoresTheCellAndMovesOnLikeTab)
{
    auto w = startWindow();
    w->showDatabase();
    QTableView& grid = w->dataTab().grid();
    grid.setFocus();
    grid.setCurrentIndex(w->dataTab().model().index(0, LogCall));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.currentIndex().column(), LogRstS);
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.edit(grid.currentIndex());
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText("559");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(w->dataTab().model().index(0, LogRstS).data().toString(), "559");
    EXPECT_EQ(grid.currentIndex().column(), LogRstR);
}

TEST_F(WindowTest, ImportAdifAppendsToTheLogbookOnShowAndReportsSkips)
{
    auto w = startWindow();
    w->showDatabase();
    LogTable* table = w->logTable();
    const int all = table->recordCount();
    const QString adif = inWork("new.adi");
    ASSERT_TRUE(cmtest::writeFile(adif, "Test\n<EOH>\n"
                                        "<CALL:5>S52AB<QSO_DATE:8>20240201<TIME_ON:4>1200<BAND:3>20M<MODE:2>CW<EOR>\n"
                                        "<CALL:4>DL1X<QSO_DATE:8>20240202<TIME_ON:4>1300<BAND:3>40M<MODE:3>SSB<EOR>\n"
                                        "<QSO_DATE:8>20240203<TIME_ON:4>1400<BAND:3>40M<MODE:3>SSB<EOR>\n"));
    boxes.fileNames = {adif, table->resolvedPath()};
    w->findChild<QAction*>("ImportAdif")->trigger();
    ASSERT_TRUE(boxes.shown.last().startsWith("information: ")) << boxes.shown.join('\n').toStdString();
    EXPECT_TRUE(boxes.shown.last().contains("Records imported: 2"));
    EXPECT_TRUE(boxes.shown.last().contains("Records skipped: 1"));
    // The grid shows the logbook with the new QSOs.
    EXPECT_EQ(w->logTable()->recordCount(), all + 2);
    EXPECT_EQ(w->dataTab().model().rowCount(), all + 2);
    EXPECT_EQ(w->dataTab().statusText(), QString("There are %1 QSOs !").arg(all + 2));
}
