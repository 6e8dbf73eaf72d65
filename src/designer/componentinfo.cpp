#include "designer/componentinfo.h"

#include "designer/designobjects.h"
#include "layout/runtimemessages.h"
#include "report/design.h"

#include <array>

namespace cm {

namespace {

template <size_t N>
QString keyText(const RuntimeMessages& messages, const std::array<const char16_t*, N>& keys, int ordinal)
{
    if (ordinal < 0 || size_t(ordinal) >= N)
        return QString();
    return messages.text(QStringView(keys[size_t(ordinal)]));
}

QString dataPart(const QString& field, const TDataSetComponent* dataSet)
{
    return QStringLiteral(" (Field:") + fieldLabel(dataSet, field) + QStringLiteral(", Database:") +
           dataSet->name() + u')';
}

constexpr std::array<const char16_t*, 6> kShapeKeys{u"ShapeRectangle",      u"ShapeCircle",
                                                    u"ShapeVerticalLine",   u"ShapeHorizontalLine",
                                                    u"ShapeTopBottomLines", u"ShapeLeftRightLines"};
constexpr std::array<const char16_t*, 7> kSysdataKeys{u"SysdataTime",          u"SysdataDate",
                                                      u"SysdataDateTime",      u"SysdataPagenumber",
                                                      u"SysdataReporttitle",   u"SysdataDetailcounter",
                                                      u"SysdataDetailnumber"};
constexpr std::array<const char16_t*, 11> kBandKeys{
    u"BandTitle",       u"BandPageheader",  u"BandDetail",       u"BandPagefooter",
    u"BandSummary",     u"BandGroupheader", u"BandGroupfooter",  u"BandSubDetail",
    u"BandColumnheader", u"BandOverlay",    u"BandChildband"};

} // namespace

QString describeComponent(Component& c, const RuntimeMessages& messages)
{
    const QString name = c.name();
    QString text;
    if (dynamic_cast<TQRMemo*>(&c)) {
        text = QStringLiteral("Memo ") + name;
    } else if (auto* dbImage = dynamic_cast<TQRDBImage*>(&c)) {
        text = QStringLiteral("Database image ") + name;
        if (dbImage->dataSet)
            text += dataPart(dbImage->dataField, dbImage->dataSet);
    } else if (dynamic_cast<TQRImage*>(&c)) {
        auto* designImage = dynamic_cast<TQRDesignImage*>(&c);
        text = QStringLiteral("Image ") + name + QStringLiteral(" (Filename:") +
               (designImage ? designImage->filename : QString()) + u')';
    } else if (auto* shape = dynamic_cast<TQRShape*>(&c)) {
        text = QStringLiteral("Shape ") + name + QStringLiteral(" (") + keyText(messages, kShapeKeys, int(shape->shape)) +
               u')';
    } else if (auto* sys = dynamic_cast<TQRSysData*>(&c)) {
        text = QStringLiteral("Systemdata ") + name + QStringLiteral(" (Data:") +
               keyText(messages, kSysdataKeys, int(sys->data())) + u')';
    } else if (auto* band = dynamic_cast<TQRCustomBand*>(&c)) {
        return QStringLiteral("Band ") + name + QStringLiteral(" (Bandtype:") +
               keyText(messages, kBandKeys, int(band->bandType())) + u')';
    } else if (auto* dbText = dynamic_cast<TQRDBText*>(&c)) {
        text = QStringLiteral("Datafield ") + name;
        if (dbText->dataSet)
            text += dataPart(dbText->dataField(), dbText->dataSet);
    } else if (auto* expr = dynamic_cast<TQRExpr*>(&c)) {
        text = QStringLiteral("Expression ") + name + QStringLiteral(" : ") + expr->expression();
    } else if (dynamic_cast<TQRLabel*>(&c)) {
        text = QStringLiteral("Label ") + name;
    }
    return text + QStringLiteral("  [Position: ") + QString::number(c.bounds.left()) + u'/' +
           QString::number(c.bounds.top()) + u']';
}

} // namespace cm
