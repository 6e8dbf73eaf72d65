// Preview and print of a layout whose query asks for a parameter.
#include "../layout/datasetfixtures.h"
#include "designerfixture.h"
#include "engine/pages/qrprinter.h"

#include <QTemporaryDir>

namespace cm::test {

class QueryOutputTest : public DesignerTest {
protected:
    void SetUp() override
    {
        log = dir.filePath(QStringLiteral("qsos.db"));
        makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC"), QStringLiteral("S50A")});
        query = addCallQuery(doc.workspace(), log);
        TQRDesignBand* detail = addBand(TQRBandType::rbDetail, 40);
        auto* call = addElement<TQRDesignDBText>(detail, QRect(0, 0, 100, 20));
        call->dataSet = query;
        call->setDataField(QStringLiteral("Call"));
        ASSERT_TRUE(query->open());
    }

    QTemporaryDir dir;
    QString log;
    TQRDWQuery* query = nullptr;
};

TEST_F(QueryOutputTest, CancelledParameterMakesNoPagesAndAnAnswerLastsForOneRun)
{
    const QByteArray logBefore = fileBytes(log);
    const QString question = QStringLiteral("input: Parameter of Q | Please type in the parameter \"Call':");
    {
        TQRPrinter output;
        EXPECT_FALSE(core.runReport(output, OutputKind::Preview));
        EXPECT_EQ(output.pageCount(), 0);
        EXPECT_EQ(boxes.shown, QStringList{question});
        EXPECT_TRUE(query->param(u"Call")->isNull);
        EXPECT_FALSE(core.isPrepared());
    }
    boxes.shown.clear();
    boxes.texts = {QStringLiteral("S50A")};
    int records = 0;
    {
        TQRPrinter output;
        ASSERT_TRUE(core.runReport(output, OutputKind::Print));
        EXPECT_GE(output.pageCount(), 1);
        records = query->dataSet()->recordCount();
    }
    EXPECT_EQ(records, 2);
    EXPECT_EQ(boxes.shown, QStringList{question});
    // Back to no value after the run: the next output asks again.
    EXPECT_TRUE(query->param(u"Call")->isNull);
    EXPECT_FALSE(core.isPrepared());
    EXPECT_EQ(fileBytes(log), logBefore);
}

TEST_F(QueryOutputTest, UndoKeepsTheLayoutsDataSets)
{
    TQRDesignBand* band = addBand(TQRBandType::rbTitle, 30);
    doc.beginChange();
    addElement<TQRDesignLabel>(band, QRect(0, 0, 50, 20));
    doc.endChange();
    ASSERT_TRUE(doc.undo());
    // The same query, still open, still the report's data set.
    EXPECT_EQ(doc.workspace().window.findComponent(u"Q"), query);
    EXPECT_TRUE(query->isOpen());
    EXPECT_EQ(report().dataSet(), query);
}

} // namespace cm::test
