// Preview and print of a layout whose query asks for a parameter: the
// question comes first, and cancelling it makes nothing.
#include "windowfixture.h"

#include "../layout/datasetfixtures.h"
#include "app/previewwindow.h"
#include "designer/document.h"
#include "engine/pages/qrprinter.h"

using namespace cm;
using namespace cm::test;

TEST_F(WindowTest, QueryParameterIsAskedForBeforeThePreviewAndCancelMakesNone)
{
    const QString log = inWork(QStringLiteral("qsos.db"));
    makeSqliteLog(log, {QStringLiteral("S50A"), QStringLiteral("DL1ABC")});
    const QString layout = inWork(QStringLiteral("query.qr2"));
    {
        Workspace ws;
        addCallQuery(ws, log);
        ws.report->addBandOfType(TQRBandType::rbDetail);
        ASSERT_TRUE(ws.designer->saveToFile(layout));
    }
    auto w = startWindow();
    ASSERT_TRUE(w->document().load(layout));
    const QByteArray logBefore = fileBytes(log);
    const QString question = QStringLiteral("input: Parameter of Q | Please type in the parameter \"Call':");

    boxes.shown.clear();
    w->preview();
    EXPECT_EQ(w->previewWindow(), nullptr);
    EXPECT_EQ(boxes.shown, QStringList{question});

    boxes.shown.clear();
    boxes.texts = {QStringLiteral("DL1ABC")};
    w->preview();
    PreviewWindow* preview = w->previewWindow();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(boxes.shown, QStringList{question});
    EXPECT_GE(preview->pages().pageCount(), 1);
    auto* q = dynamic_cast<TEDBQuery*>(w->document().findComponent(QStringLiteral("Q")));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->dataSet()->recordCount(), 1);
    EXPECT_TRUE(q->param(u"Call")->isNull);   // the answer lasted for that preview only
    preview->close();
    EXPECT_EQ(fileBytes(log), logBefore);
}
