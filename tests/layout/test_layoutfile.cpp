#include "layout/componentstream.h"
#include "layout/demolayouts.h"
#include "layout/reportrecord.h"
#include "layout/streamvalue.h"
#include "layout/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace cm;

namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

// Builds one layout holding every design class with non-default values.
void buildRichLayout(Workspace& ws)
{
    buildDemoCard(ws);
    TQRDesignReport& r = *ws.report;
    ws.designer->script.setLines({QStringLiteral("[CardReport]"), QStringLiteral("BeforePrint=")});
    r.hint = QStringLiteral("hint text");
    r.page.setColumns(2);
    r.page.values[TQRPage::ColSpace] = 55.5L;
    auto* detail = static_cast<TQRCustomBand*>(r.firstBandOfType(TQRBandType::rbDetail));
    detail->setHasChild(true);
    auto* group = new TQRDesignGroup(&ws.window);
    group->setName(QStringLiteral("Grp"));
    group->setParentControl(&r);
    group->setMaster(&r);
    group->expression = QString(300, u'x');   // a long string
    group->setFooterBand(r.addBandOfType(TQRBandType::rbDetail));
    group->d.startPageNum = 2;
    group->d.pageStep = 2;
    auto* sub = new TQRDesignSubdetail(&ws.window);
    sub->setName(QStringLiteral("Sub"));
    sub->setParentControl(&r);
    sub->setMaster(&r);
    sub->setDataSet(ws.table);
    sub->d.designBackground.bmp = imageToBmp(QImage(4, 3, QImage::Format_RGB32));

    auto* expr = new TQRDesignExpr(&ws.window);
    expr->setParentControl(detail);   // unnamed
    expr->setExpression(QStringLiteral("IF([Cq] > 20, 'DX', '')"));
    expr->setDegree(900);
    auto* sys = new TQRDesignSysdata(&ws.window);
    sys->setName(QStringLiteral("Sys"));
    sys->setParentControl(detail);
    sys->setData(TQRSysDataType::qrsPageNumber);
    sys->setText(QStringLiteral("Page "));
    sys->cursor = -2;
    auto* memo = new TQRDesignMemo(&ws.window);
    memo->setName(QStringLiteral("Memo"));
    memo->setParentControl(detail);
    memo->lines.setLines({QStringLiteral("Grüße, 73!"), QString(), QStringLiteral("%%[Call]%%")});
    auto* rich = new TQRDesignRichtext(&ws.window);
    rich->setParentControl(detail);   // unnamed: saved under a temporary name
    rich->lines.setLines({QStringLiteral("rich line")});
    auto* dbrich = new TQRDesignDBRichtext(&ws.window);
    dbrich->setName(QStringLiteral("DbRich"));
    dbrich->setParentControl(detail);
    dbrich->dataField = QStringLiteral("Opomba");
    dbrich->dataSet = ws.table;
    auto* image = new TQRDesignImage(&ws.window);
    image->setName(QStringLiteral("Img"));
    image->setParentControl(detail);
    QImage pixels(8, 8, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    image->picture.loadFromImage(pixels);
    image->filename = QStringLiteral("/tmp/logo.bmp");
    image->stretch = true;
    auto* dbimage = new TQRDesignDBImage(&ws.window);
    dbimage->setName(QStringLiteral("DbImg"));
    dbimage->setParentControl(detail);
    dbimage->center = false;
    auto* text = ws.window.componentsOf<TQRDesignDBText>().front();
    text->suppressRepeatedValues = true;
    text->mapList.setLines({QStringLiteral("a=b")});
    text->d.blockMove = true;
    r.orderBands();
    r.arrangeBands();
}

struct Loaded {
    Workspace ws;
    CollectingMessageSink sink;
    Loaded() { ws.designer->messageSink = &sink; }
};

} // namespace

TEST(LayoutFile, EmptyReportBytes)
{
    Workspace ws;
    const QByteArray data = ws.designer->writeLayout(true);
    ASSERT_GT(data.size(), 300);
    EXPECT_EQ(data.left(6), hex("0604fe000001"));
    EXPECT_EQ(data.mid(6, 256), QByteArray(256, '\0'));   // empty title
    EXPECT_EQ(data.mid(262, 9), hex("010101000000" "00" "ff00"));
    EXPECT_EQ(data.mid(271, 2), hex("6401"));
    // Report record: no data set, black frame, options, A4 in millimetres ...
    const QByteArray record = data.mid(273, kReportRecordSize);
    EXPECT_EQ(record.left(14), hex("0000" "00000000" "00000000" "00" "0100" "03"));
    EXPECT_EQ(static_cast<uint8_t>(record[57]), 9);   // A4
    EXPECT_EQ(record.mid(350, 6), hex("01" "00" "64000000"));
    // Trailer: no description lines, font record, hint, name; then the tail.
    ByteReader trailer(data, 273 + kReportRecordSize);
    EXPECT_EQ(trailer.u16(), 0);
    TQRFont font;
    readFontRecord(trailer, font, CodePage::layout());
    EXPECT_EQ(font.name(), QStringLiteral("Arial"));
    EXPECT_EQ(font.size(), 10);
    EXPECT_EQ(trailer.shortString(), QString());
    EXPECT_EQ(trailer.shortString(), QStringLiteral("CardReport"));
    EXPECT_EQ(data.mid(trailer.pos()), hex("fd0000000000" "6800015c" "0001" "00"));
}

TEST(LayoutFile, RichLayoutRoundTripsByteForByte)
{
    QByteArray first;
    {
        Workspace ws;
        buildRichLayout(ws);
        first = ws.designer->writeLayout(true);
        EXPECT_TRUE(ws.window.componentsOf<TQRDesignRichtext>().front()->name().isEmpty());
    }
    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(first));
    EXPECT_TRUE(l.sink.messages.isEmpty());
    const QByteArray second = l.ws.designer->writeLayout(true);
    if (second != first) {
        QFile a(QStringLiteral("/tmp/rt-first.bin")), b(QStringLiteral("/tmp/rt-second.bin"));
        a.open(QIODevice::WriteOnly); a.write(first);
        b.open(QIODevice::WriteOnly); b.write(second);
    }
    EXPECT_EQ(second, first);

    TQRDesignReport& r = *l.ws.report;
    EXPECT_EQ(r.reportTitle, QStringLiteral("QSL card"));
    EXPECT_EQ(r.hint, QStringLiteral("hint text"));
    EXPECT_EQ(r.dataSet(), l.ws.table);
    EXPECT_EQ(r.page.columns(), 2);
    EXPECT_EQ(l.ws.designer->script.lines, (QStringList{"[CardReport]", "BeforePrint="}));
    auto* group = dynamic_cast<TQRDesignGroup*>(l.ws.window.findComponent(u"Grp"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->expression.size(), 300);
    EXPECT_EQ(group->master(), &r);
    ASSERT_NE(group->footerBand(), nullptr);
    EXPECT_EQ(group->footerBand()->bandType(), TQRBandType::rbGroupFooter);
    auto* memo = dynamic_cast<TQRDesignMemo*>(l.ws.window.findComponent(u"Memo"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->lines.lines.first(), QStringLiteral("Grüße, 73!"));
    auto rich = l.ws.window.componentsOf<TQRDesignRichtext>();
    ASSERT_EQ(rich.size(), 1u);
    EXPECT_TRUE(rich.front()->name().isEmpty());
    EXPECT_EQ(rich.front()->lines.lines, QStringList{"rich line"});
    auto* image = dynamic_cast<TQRDesignImage*>(l.ws.window.findComponent(u"Img"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->picture.image().size(), QSize(8, 8));
    // The demo card brings a named expression of its own; the added one is unnamed.
    auto exprs = l.ws.window.componentsOf<TQRDesignExpr>();
    ASSERT_EQ(exprs.size(), 2u);
    auto unnamed = std::find_if(exprs.begin(), exprs.end(), [](auto* e) { return e->name().isEmpty(); });
    ASSERT_NE(unnamed, exprs.end());
    EXPECT_EQ((*unnamed)->degree(), 900);
    EXPECT_EQ((*unnamed)->d.qrDesigner, l.ws.designer);
}

TEST(LayoutFile, StoredFormsOfValues)
{
    Workspace ws;
    buildRichLayout(ws);
    QByteArray bytes;
    ByteWriter out(bytes);
    auto* sys = ws.window.findComponent(u"Sys");
    writeComponent(out, *sys, &ws.window);
    // The arrow cursor is stored by name; the default cursor of others is not stored.
    EXPECT_TRUE(bytes.contains(QByteArray("\x06" "Cursor" "\x07\x07" "crArrow", 16)));
    // A Boolean without a declared default is stored even when false.
    EXPECT_TRUE(bytes.contains(QByteArray("\x11" "FixBottomPosition" "\x08", 19)));
    EXPECT_FALSE(bytes.contains("BlockMove"));

    QByteArray textBytes;
    ByteWriter textOut(textBytes);
    writeComponent(textOut, *ws.window.componentsOf<TQRDesignDBText>().front(), &ws.window);
    EXPECT_TRUE(textBytes.contains(QByteArray("\x09" "BlockMove" "\x09", 11)));
    EXPECT_TRUE(textBytes.contains(QByteArray("\x07" "DataSet" "\x07\x0b" "DataFrm.Tbl", 21)));
    EXPECT_TRUE(textBytes.contains(QByteArray("\x0a" "Font.Color" "\x07\x07" "clBlack", 20)));
}

// Short-string properties hold and store at most 255 characters, set by
// name or directly; long-string properties keep every character.
TEST(LayoutFile, ShortStringPropertiesAreCut)
{
    Workspace ws;
    buildRichLayout(ws);
    const QString longText(300, u'y');
    auto* band = static_cast<TQRDesignBand*>(ws.report->firstBandOfType(TQRBandType::rbDetail));
    auto* image = new TQRDesignImage(&ws.window);
    image->setName(QStringLiteral("Img"));
    auto* group = ws.window.componentsOf<TQRDesignGroup>().front();
    struct Case {
        Persistent* target;
        const char* property;
        bool viaProperty;   // else the member is set directly and only the writer cuts
        qsizetype kept;
        char storedType;
    } cases[] = {
        {band, "Expression", true, 255, 6},
        {group, "PrintExpression", true, 255, 6},
        {image, "Filename", true, 255, 6},
        {group, "Expression", true, 300, 12},
        {band, "Expression", false, 300, 6},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.property);
        SCOPED_TRACE(name.toStdString());
        if (c.viaProperty)
            ASSERT_TRUE(setProperty(*c.target, name, PropValue(longText)));
        else
            band->d.expression = longText;
        EXPECT_EQ(std::get<QString>(*getProperty(*c.target, name)).size(), c.kept);
        QByteArray bytes;
        ByteWriter out(bytes);
        writeComponent(out, *static_cast<Component*>(c.target), &ws.window);
        const QByteArray key = char(name.size()) + name.toLatin1() + c.storedType;
        const qsizetype at = bytes.indexOf(key);
        ASSERT_GE(at, 0);
        if (c.storedType == 6) {
            EXPECT_EQ(uint8_t(bytes.at(at + key.size())), 255u);
        }
    }
}

TEST(LayoutFile, FormatWordsAndFailures)
{
    Workspace source;
    buildDemoCard(source);
    QByteArray good = source.designer->writeLayout(true);

    Loaded older;
    QByteArray v405 = good;
    v405[0] = 0x05;
    EXPECT_TRUE(older.ws.designer->loadFromData(v405));
    EXPECT_EQ(older.ws.designer->writeLayout(true), good);

    // A refused or broken file leaves the report as it was.
    for (const QByteArray& bad : {QByteArray(hex("0704") + good.mid(2)), good.left(good.size() - 40),
                                  QByteArray(good.left(262) + hex("3412"))}) {
        Loaded l;
        ASSERT_TRUE(l.ws.designer->loadFromData(good));
        EXPECT_FALSE(l.ws.designer->loadFromData(bad));
        ASSERT_EQ(l.sink.messages.size(), 1);
        EXPECT_TRUE(l.sink.messages[0].startsWith(QStringLiteral("Error in report file!")))
            << l.sink.messages[0].toStdString();
        EXPECT_EQ(l.ws.designer->writeLayout(true), good);
    }

    Loaded missing;
    EXPECT_FALSE(missing.ws.designer->loadFromFile(QStringLiteral("/nonexistent/x.qr2")));
    EXPECT_EQ(missing.sink.messages, QStringList{"Report file /nonexistent/x.qr2 not found!"});
    EXPECT_TRUE(missing.ws.designer->loadFromBlob(QByteArray()));
}

TEST(LayoutFile, ShortReportRecordAndFontWithoutCharset)
{
    Workspace ws;
    ws.report->options = SetBits{};
    QByteArray data = ws.designer->writeLayout(true);
    // Shorten the report record to 300 bytes: zoom, units, snap ... read as zero.
    const qsizetype at = data.indexOf(hex("ff006401"));
    ASSERT_GT(at, 0);
    QByteArray shortened = data.left(at) + hex("ff002c01") + data.mid(at + 4, 300) + data.mid(at + 4 + 356);
    // Drop the font name's NUL and the character-set byte.
    const qsizetype font = shortened.indexOf(QByteArray("\x06" "Arial", 6));
    ASSERT_GT(font, 0);
    shortened[font] = 5;
    shortened.remove(font + 6, 2);

    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(shortened));
    EXPECT_EQ(l.ws.report->font().name(), QStringLiteral("Arial"));
    EXPECT_EQ(l.ws.report->zoom(), 100);   // zoom 0 is refused, the old one stays
    EXPECT_FALSE(l.ws.report->snapToGrid);
    // Options always come back with the page header and footer flags.
    EXPECT_EQ(l.ws.report->options.bits, uint32_t(FirstPageHeader | LastPageFooter));
}

TEST(LayoutFile, UnitsOfTheFileOnlyServeToReadItsValues)
{
    Workspace inches;
    inches.report->setUnits(TQRUnit::Inches);
    inches.report->page.values[TQRPage::Left] = 127;
    const QByteArray data = inches.designer->writeLayout(true);
    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(data));
    EXPECT_EQ(l.ws.report->units(), TQRUnit::MM);
    EXPECT_NEAR(static_cast<double>(l.ws.report->page.leftMargin()), 12.7, 1e-12);
}

TEST(LayoutFile, RecoveryInsideTheComponentList)
{
    Workspace ws;
    buildDemoCard(ws);
    QByteArray data = ws.designer->writeLayout(true);

    // Unknown class (with its children), unknown property, a value the property
    // cannot take and a duplicated name, spliced into the component list.
    QByteArray extra;
    ByteWriter out(extra);
    out.bytes("TPF0");
    out.shortString(u"TFancyBand"); out.shortString(u"X");
    out.u8(0);
    out.shortString(u"TQRDesignLabel"); out.shortString(u"Inside"); out.u8(0); out.u8(0);
    out.u8(0);
    out.bytes("TPF0");
    out.shortString(u"TQRDesignBand"); out.shortString(u"DetailBand1");
    out.shortString(u"Nonsense"); writeString(out, u"value");
    out.shortString(u"Color"); writeIdent(out, u"clNoSuchColour");
    out.shortString(u"BandType"); writeIdent(out, u"rbSummary");
    out.u8(0); out.u8(0);
    data.insert(data.size() - 1, extra);

    Loaded l;
    ASSERT_TRUE(l.ws.designer->loadFromData(data));
    EXPECT_EQ(l.ws.window.findComponent(u"X"), nullptr);
    EXPECT_EQ(l.ws.window.findComponent(u"Inside"), nullptr);
    auto* renamed = dynamic_cast<TQRDesignBand*>(l.ws.window.findComponent(u"DetailBand11"));
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->bandType(), TQRBandType::rbSummary);
    EXPECT_EQ(renamed->color(), clWhite);
}

TEST(LayoutFile, SaveKeepsABackupAndNeverLosesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.qr2"));
    Workspace ws;
    buildDemoCard(ws);
    ASSERT_TRUE(ws.designer->saveToFile(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = f.readAll();
    f.close();

    ws.report->reportTitle = QStringLiteral("second");
    ASSERT_TRUE(ws.designer->saveToFile(path));
    QFile backup(dir.filePath(QStringLiteral("card.BAK")));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), firstBytes);

    // A folder that cannot be written: an error, and nothing else changes.
    CollectingMessageSink sink;
    ws.designer->messageSink = &sink;
    EXPECT_FALSE(ws.designer->saveToFile(QStringLiteral("/nonexistent-dir/card.qr2")));
    EXPECT_EQ(sink.messages, QStringList{"Error writing /nonexistent-dir/card.qr2! (no such file or directory)"});

    // A write-protected layout is refused, as editors do, even where the
    // user could replace it (root); the file stays as it was.
    sink.messages.clear();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ws.report->reportTitle = QStringLiteral("third");
    EXPECT_FALSE(ws.designer->saveToFile(path));
    EXPECT_EQ(sink.messages, QStringList{QStringLiteral("Error writing %1! (%1 is read-only)").arg(path)});
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().contains("second"));
}
