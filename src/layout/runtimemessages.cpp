#include "layout/runtimemessages.h"

namespace cm {

QString RuntimeMessages::text(QStringView key) const
{
    for (const QString& line : lines_) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        if (QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

QString RuntimeMessages::errorText(QStringView key, const QString& parameter) const
{
    const QString t = text(key);
    if (t.isEmpty())
        return QStringLiteral("Unknown Error [") + key.toString() + u']';
    return parameter.isNull() ? t : substituteParameter(t, parameter);
}

QString RuntimeMessages::textOr(QStringView key, const QString& fallback) const
{
    const QString t = text(key);
    return t.isEmpty() ? fallback : t;
}

QString substituteParameter(const QString& text, const QString& parameter)
{
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    if (at < 0)
        return text;
    QString out = text;
    out.replace(at, 2, parameter);
    return out;
}

RuntimeMessages RuntimeMessages::windowTable()
{
    // Lines in the window's order; texts of keys only dialogs use are the
    // dialogs' configured texts.
    static const QStringList lines{
        QStringLiteral("Calcfield needs database=Calculated fields need a table!"),
        QStringLiteral("GetQueryParamCaption=Parameter of %s"),
        QStringLiteral("GetQueryParamPrompt=Please type in the parameter \"%s':"),
        QStringLiteral("Invalid value=Invalid value!"),
        QStringLiteral("Delete band=Delete selected band and all elements on it?"),
        QStringLiteral("Delete selected bands=Delete all selected bands?"),
        QStringLiteral("Image not found=Image %s not found!"),
        QStringLiteral("Error opening database=Error opening table %s!"),
        QStringLiteral("Error opening database-query=Error opening query %s!"),
        QStringLiteral("Reportfile not found=Report file %s not found!"),
        QStringLiteral("Error in reportfile=Error in report file!"),
        QStringLiteral("Write Error=Error writing %s!"),
        QStringLiteral("BandTitle=Title"),
        QStringLiteral("BandPageHeader=Page Header"),
        QStringLiteral("BandDetail=Detail"),
        QStringLiteral("BandPageFooter=Page Footer"),
        QStringLiteral("BandSummary=Summary"),
        QStringLiteral("BandGroupheader=Group Header"),
        QStringLiteral("BandGroupfooter=Group Footer"),
        QStringLiteral("BandSubdetail=Sub-Detail"),
        QStringLiteral("BandColumnHeader=Column Header"),
        QStringLiteral("BandOverlay=Overlay"),
        QStringLiteral("CalcSum=Sum"),
        QStringLiteral("CalcCount=Count"),
        QStringLiteral("CalcMaximum=Maximum"),
        QStringLiteral("CalcMinimum=Minimum"),
        QStringLiteral("CalcAverage=Average"),
        QStringLiteral("SysdataTime=Time"),
        QStringLiteral("SysdataDate=Date"),
        QStringLiteral("SysdataDateTime=Date/Time"),
        QStringLiteral("SysdataPagenumber=Page Number"),
        QStringLiteral("SysdataReportTitle=Report Title"),
        QStringLiteral("SysdataDetailcounter=Detail Count"),
        QStringLiteral("SysdataDetailnumber=Detail Number"),
        QStringLiteral("ShapeRectangle=Rectangle"),
        QStringLiteral("ShapeCircle=Circle"),
        QStringLiteral("ShapeVerticalLine=vertical line"),
        QStringLiteral("ShapeHorizontalLine=horizontal line"),
        QStringLiteral("ShapeTopBottomLines=top/bottom lines"),
        QStringLiteral("ShapeLeftRightLines=left/right lines"),
        QStringLiteral("BrushEmpty=empty"),
        QStringLiteral("BrushSolid=solid"),
        QStringLiteral("BrushCross=cross"),
        QStringLiteral("BrushDiagCross=diagonal crossed"),
        QStringLiteral("BrushDiagLinesBT=diagonal lines bottom to top"),
        QStringLiteral("BrushDiagLinesTB=diagonal lines top to bottom"),
        QStringLiteral("BrushHorLines=horizontal lines"),
        QStringLiteral("BrushVertLines=vertical lines"),
        QStringLiteral("PenMode1=default"),
        QStringLiteral("PenMode2=always black"),
        QStringLiteral("PenMode3=always white"),
        QStringLiteral("PenMode4=unchanged"),
        QStringLiteral("PenMode5=inverse screen color"),
        QStringLiteral("PenMode6=inverse pen color"),
        QStringLiteral("PenMode7=pen and inverse screen"),
        QStringLiteral("PenMode8=common of pen and inverse screen"),
        QStringLiteral("PenMode9=inverse pen and screen"),
        QStringLiteral("PenMode10=common of inverse pen and screen"),
        QStringLiteral("PenMode11=pen and screen"),
        QStringLiteral("PenMode12=inverse of pen and screen"),
        QStringLiteral("PenMode13=common of pen and screen"),
        QStringLiteral("PenMode14=inverse of common of pen and screen"),
        QStringLiteral("PenMode15=pen or screen"),
        QStringLiteral("PenMode16=inverse of pen or screen"),
        QStringLiteral("PenStyleSolid=solid"),
        QStringLiteral("PenStyleDashed=dashed"),
        QStringLiteral("PenStyleDot=dotted"),
        QStringLiteral("PenStyleDashDot=dash dot"),
        QStringLiteral("PenStyleDashDotDot=dash dot dot"),
        QStringLiteral("PenStyleHiddenMark=hidden"),
        QStringLiteral("PenStyleInsideFrame=inside frame"),
        QStringLiteral("CalcFieldEditFormCaption=Calculated field"),
        QStringLiteral("PropertyNotSet=(not set)"),
        QStringLiteral("GraphicFrom=Graphic from"),
        QStringLiteral("RulerNone=None"),
        QStringLiteral("RulerCmHorizontal=cm horizontal"),
        QStringLiteral("RulerCmVertical=cm vertical"),
        QStringLiteral("RulerCMHorVert=cm horizontal and vertical"),
        QStringLiteral("RulerInchHorizontal=inch horizontal"),
        QStringLiteral("RulerInchVertical=inch vertical"),
        QStringLiteral("RulerInchHorVert=inch horizontal and vertical"),
        QStringLiteral("No databases available=No tables available!"),
        QStringLiteral("Invalid componentname=Invalid componentname!"),
        QStringLiteral("Save report=Save report %s?"),
        QStringLiteral("Report not saved=You have not saved the current report! Continue anyway?"),
        QStringLiteral("Database not found=Table %s not found!"),
        QStringLiteral("DeleteDetailLinkQuestion=Delete the link to the detail table?"),
        QStringLiteral("Database not set=No table set!"),
        QStringLiteral("DeleteGroupQuestion=Delete the group?"),
        QStringLiteral("DefaultTableName=Table"),
        QStringLiteral("Databasename=Table name"),
        QStringLiteral("InputName=Input name"),
        QStringLiteral("Error opening database=Error opening table!"),
        QStringLiteral("ErrorDeleteMainDatabase=The main table cannot be deleted!"),
        QStringLiteral("DeleteDatabaseConfirmation=Delete table %s?"),
        QStringLiteral("Error activating query=Error activating query!"),
        QStringLiteral("PRIMARY INDEX=Primary index"),
        QStringLiteral("None=None"),
        QStringLiteral("RenameError=Cannot rename!"),
        QStringLiteral("No SQL parameters=No SQL parameters"),
        QStringLiteral("Invalid value for datatype=Invalid value for data type!"),
        QStringLiteral("Calcfield not found=Calculated field not found!"),
        QStringLiteral("Error creating calcfield=Error creating calculated field!"),
        QStringLiteral("NoAlias=No alias"),
        QStringLiteral("Calculated field=Calculated field"),
        QStringLiteral("Datafield=Data field"),
        QStringLiteral("ImgAlign None=None"),
        QStringLiteral("ImgAlign Top=Top"),
        QStringLiteral("ImgAlign Bottom=Bottom"),
        QStringLiteral("ImgAlign Left=Left"),
        QStringLiteral("ImgAlign Right=Right"),
        QStringLiteral("Band=Band"),
        QStringLiteral("Childband=Child band"),
        QStringLiteral("Subdetailband=Sub-detail band"),
        QStringLiteral("Groupband=Group band"),
        QStringLiteral("Label=Label"),
        QStringLiteral("Memo=Memo"),
        QStringLiteral("Image=Image"),
        QStringLiteral("Shape=Shape"),
        QStringLiteral("Sysdata=System data"),
        QStringLiteral("Datafield=Data field"),
        QStringLiteral("Image datafield=Image data field"),
        QStringLiteral("Expression=Expression"),
        QStringLiteral("Richtext=Rich text"),
        QStringLiteral("Richtext datafield=Rich text data field"),
        QStringLiteral("Chart=Chart"),
        QStringLiteral("PopupMenuProperties=Edit"),
        QStringLiteral("PopupMenuOptions=Options"),
        QStringLiteral("PopupMenuBringToFront=Bring to front"),
        QStringLiteral("PopupMenuSendToBack=Send to back"),
        QStringLiteral("PopupMenuGroup=Group elements"),
        QStringLiteral("PopupMenuUngroup=Ungroup element"),
        QStringLiteral("PopupMenuUngroupAll=Ungroup all elements"),
    };
    return RuntimeMessages(lines);
}

} // namespace cm
