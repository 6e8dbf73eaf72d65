// Printing of the text elements: labels, memos, data fields, expressions,
// and system values.
#include "engine/paint/elementprinter.h"

#include "engine/pages/qrprinter.h"
#include "expr/datetimeformat.h"
#include "expr/numberformat.h"
#include "expr/textmacros.h"

#include <QDateTime>
#include <QPainter>
#include <cmath>
#include <numbers>

namespace cm {

namespace {

constexpr Extended NativePerInch = 254;
constexpr Extended ScreenPerInch = 96;

Extended pixelsToNative(Extended pixels, int zoom) { return pixels * NativePerInch / ScreenPerInch * 100 / zoom; }
int nativeToPixels(Extended native, int zoom) { return int(rnd(native * ScreenPerInch / NativePerInch * zoom / 100)); }

// How far a frame side moves the text: its width in points as native units.
Extended frameShift(const TQRFrame& frame) { return Extended(rnd(frame.width / Extended(72) * NativePerInch)); }

QString valueText(const EvResult& value, const QString& mask)
{
    switch (value.kind) {
    case ResultKind::Integer:
    case ResultKind::Float:
        return formatFloat(mask, value.toDouble(), FormatSettings::current());
    case ResultKind::Boolean:
        return value.booResult ? QStringLiteral("True") : QStringLiteral("False");
    case ResultKind::String:
    case ResultKind::Error:
        break;
    }
    return value.strResult;
}

// Evaluates a formula for a text macro; failures give the error text.
QString evaluateText(PrintContext& context, const QString& formula)
{
    TQREvaluator evaluator;
    evaluator.SetDataSets(context.dataSets());
    evaluator.SetEnvironment(context.environment());
    try {
        return valueText(evaluator.Calculate(formula), QString());
    } catch (const EvaluatorException& e) {
        return e.message();
    }
}

} // namespace

// --- common text printing

TextPrinter::Settings TextPrinter::labelSettings(const TQRCustomLabel& label)
{
    return Settings{label.autoSize, label.autoStretch, label.wordWrap, label.transparent};
}

TextPrinter::TextPrinter(TQRPrintable& element, Settings settings)
    : ElementPrinter(element), settings_(settings)
{
}

void TextPrinter::startRun(PrintContext& context)
{
    const TQRFont& font = element().font();
    refFont_ = toQFont(font);
    measure_.emplace(refFont_, context.zoom());
    // Reference pixels are 1/96 inch; the page surface has its own dots.
    pageFont_ = toQFont(font, context.output().yFactor() * NativePerInch / ScreenPerInch);
    pageMetrics_.emplace(pageFont_);
    pageAdvances_ = {};
    lines_.clear();
    nextLine_ = 0;
    contentComplete_ = true;
    brokenValid_ = false;
}

void TextPrinter::breakLines(PrintContext& context)
{
    const auto& v = element().size.values;
    const int zoom = context.zoom();
    // A constant caption breaks the same every time.
    if (brokenValid_ && captionBased_ && printText_ == brokenText_)
        return;
    lines_.clear();
    BreakOptions options;
    options.width = nativeToPixels(v[TQRPrintableSize::W], zoom);
    options.autoSize = settings_.autoSize;
    options.wordWrap = settings_.wordWrap;
    charactersLeftOut_ = false;
    if (captionBased_) {
        charactersLeftOut_ = !breakText(printText_, options, *measure_, lines_);
    } else if (settings_.autoSize) {
        lines_ = sourceLines_;
    } else {
        for (const QString& line : sourceLines_)
            charactersLeftOut_ = !breakText(line, options, *measure_, lines_) || charactersLeftOut_;
    }
    width_ = v[TQRPrintableSize::W];
    shift_ = 0;
    minHeight_ = 0;
    const Extended sizingHeight = pixelsToNative(measure_->lineHeight() * zoom / 100 + 1, zoom);
    if (captionBased_)
        minHeight_ = sizingHeight;
    if (settings_.autoSize) {
        int widest = 0;
        for (const QString& line : std::as_const(lines_))
            widest = std::max(widest, measure_->width(line));
        const TQRFrame& f = element().frame;
        widest += (f.drawLeft ? f.width : 0) + (f.drawRight ? f.width : 0);
        const int oldPixels = nativeToPixels(width_, zoom);
        width_ = pixelsToNative(widest, zoom);
        // Right-aligned elements keep their right edge, centred ones their centre.
        if (element().alignment() == TAlignment::taRightJustify)
            shift_ = pixelsToNative(oldPixels - widest, zoom);
        else if (element().alignment() == TAlignment::taCenter)
            shift_ = pixelsToNative((oldPixels - widest) / 2, zoom);
        minHeight_ = sizingHeight;
    }
    brokenText_ = printText_;
    brokenValid_ = captionBased_;
}

bool TextPrinter::hasTextFrom(qsizetype line) const
{
    for (; line < lines_.size(); ++line) {
        if (!lines_[line].trimmed().isEmpty())
            return true;
    }
    return false;
}

void TextPrinter::print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight)
{
    if (!element().enabled())
        return;
    prepareText(context);
    TQRPrinter& out = context.output();
    QPainter& p = context.canvas();
    const auto& v = element().size.values;
    Extended left = ox + v[TQRPrintableSize::L];
    const Extended top = oy + v[TQRPrintableSize::T];
    const Extended lineHeight = pageMetrics_->height() / out.yFactor();

    if (degree() != 0) {
        printRotated(context, left, top, v[TQRPrintableSize::H] + extraHeight);
        return;
    }

    breakLines(context);
    const Extended width = width_;
    const Extended height = std::max(v[TQRPrintableSize::H], minHeight_) + extraHeight;
    left += shift_;
    const TQRFrame& frame = element().frame;
    const QColor background = toQColor(element().color());
    auto fill = [&](Extended y0, Extended y1) {
        const int64_t x0 = out.deviceX(left), x1 = out.deviceX(left + width);
        const int64_t d0 = out.deviceY(y0), d1 = out.deviceY(y1);
        fillArea(p, QRect(int(x0), int(d0), int(x1 - x0), int(d1 - d0)), background);
    };
    if (!settings_.transparent)
        fill(top, top + height);

    Extended textLeft = left;
    Extended textTop = top;
    if (frame.drawTop)
        textTop += frameShift(frame);
    if (frame.drawLeft)
        textLeft += frameShift(frame);
    const TAlignment alignment = element().alignment();
    const Extended anchorX = alignment == TAlignment::taRightJustify ? textLeft + width
                           : alignment == TAlignment::taCenter      ? textLeft + width / 2
                                                                    : textLeft;
    p.setFont(pageFont_);
    const QColor textColor = toQColor(element().font().color());
    p.setPen(textColor);
    const qreal ascent = pageMetrics_->ascent();
    const qreal anchorDevice = qreal(out.deviceX(anchorX));

    Extended y = textTop;
    Extended bottom = textTop + height + 1;
    Extended growth = 0;
    bool hasGrown = false;
    const qsizetype firstLine = contentComplete_ ? 0 : nextLine_;
    qsizetype i = firstLine;
    for (; i < lines_.size(); ++i) {
        if (y + lineHeight > bottom) {
            if (!settings_.autoStretch || !context.canStretch(lineHeight))
                break;
            const Extended before = growth;
            context.stretchBand(lineHeight, growth, hasGrown);
            bottom = textTop + height + 1 + growth;
            if (!settings_.transparent && growth > before) {
                fill(top + height + before, top + height + growth);
                p.setPen(textColor);   // the fill leaves no pen to draw text with
            }
        }
        const QString& line = lines_[i];
        if (!line.isEmpty()) {
            qreal x = anchorDevice;
            if (alignment != TAlignment::taLeftJustify) {
                const qreal advance =
                    pageAdvances_.width(line, [&] { return pageMetrics_->horizontalAdvance(line); });
                x -= alignment == TAlignment::taRightJustify ? advance : advance / 2;
            }
            p.drawText(QPointF(x, qreal(out.deviceY(y)) + ascent), line);
        }
        y += lineHeight;
    }
    nextLine_ = int(i);
    advanced_ = i > firstLine;
    contentComplete_ = !(i < lines_.size() && settings_.autoStretch);
    // Lines that go on on the next page are not lost; lines below a fixed box are.
    if (charactersLeftOut_ || (contentComplete_ && hasTextFrom(i)))
        context.noteTextClipped(element());
    if (frame.anyFrame()) {
        const int64_t x0 = out.deviceX(left), x1 = out.deviceX(left + width);
        const int64_t y0 = out.deviceY(top), y1 = out.deviceY(top + height + growth);
        drawFrame(context, QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0)));
    }
}

void TextPrinter::printRotated(PrintContext& context, Extended left, Extended top, Extended height)
{
    TQRPrinter& out = context.output();
    QPainter& p = context.canvas();
    const Extended width = element().size.values[TQRPrintableSize::W];
    const QString& text = printText_;
    const int c = degree();
    const double d = c * std::numbers::pi / 1800;
    const double w = refFont_.pixelSize() > 0 ? QFontMetricsF(refFont_, &referenceDevice()).horizontalAdvance(text) : 0;
    const double h = measure_->lineHeight();
    auto trunc = [](double x) { return std::trunc(x); };
    double dx = 0, dy = 0;
    if (c <= 900) {
        dy = trunc(std::sin(d) * w);
    } else if (c <= 1800) {
        dx = trunc(-std::cos(d) * w);
        dy = trunc(std::sin(d) * w + std::cos((1800 - c) * std::numbers::pi / 1800) * h);
    } else if (c <= 2700) {
        dx = trunc(-std::cos(d) * w + std::sin((c - 1800) * std::numbers::pi / 1800) * h);
        dy = trunc(std::sin((2700 - c) * std::numbers::pi / 1800) * h);
    } else {
        dx = trunc(std::sin((3600 - c) * std::numbers::pi / 1800) * h);
    }
    const double W = std::abs(trunc(std::cos(d) * w)) + std::abs(trunc(std::sin(d) * h));
    const double H = std::abs(trunc(std::sin(d) * w)) + std::abs(trunc(std::cos(d) * h));
    const double bw = double(rnd(width * ScreenPerInch / NativePerInch));
    const double bh = double(rnd(height * ScreenPerInch / NativePerInch));
    switch (element().alignment()) {
    case TAlignment::taLeftJustify:
        if (c <= 1800) dy += bh - H;
        if (c > 900 && c <= 2700) dx += bw - W;
        break;
    case TAlignment::taRightJustify:
        if (c < 900 || c >= 2700) dx += bw - W;
        if (c >= 1800) dy += bh - H;
        break;
    case TAlignment::taCenter:
        dx += c == 2700 ? bw - W : c == 900 ? 0 : trunc((bw - W) / 2);
        dy += c == 1800 ? bh - H : trunc((bh - H) / 2);
        break;
    }
    const int64_t x0 = out.deviceX(left), x1 = out.deviceX(left + width);
    const int64_t y0 = out.deviceY(top), y1 = out.deviceY(top + height);
    const QRect box(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
    if (!settings_.transparent)
        fillArea(p, box, toQColor(element().color()));
    // The start point is carried over proportionally to the page's dots.
    const double sx = bw > 0 ? x0 + double(rnd((x1 - x0) * dx / bw)) : double(x0);
    const double sy = bh > 0 ? y0 + double(rnd((y1 - y0) * dy / bh)) : double(y0);
    p.save();
    p.setFont(pageFont_);
    p.setPen(toQColor(element().font().color()));
    p.translate(sx, sy);
    p.rotate(-c / 10.0);
    p.drawText(QPointF(0, pageMetrics_->ascent()), text);
    p.restore();
    drawFrame(context, box);
}

// --- labels

int LabelPrinter::degree() const
{
    auto* design = dynamic_cast<const TQRDesignLabel*>(&label_);
    return design ? design->degree() : 0;
}

// --- memos

MemoPrinter::MemoPrinter(TQRCustomLabel& memo)
    : TextPrinter(memo, labelSettings(memo)), memo_(memo)
{
    captionBased_ = false;
}

void MemoPrinter::startRun(PrintContext& context)
{
    TextPrinter::startRun(context);
    captionBased_ = false;
}

void MemoPrinter::prepareText(PrintContext& context)
{
    sourceLines_.clear();
    const QStringList& lines = memo_.lines.lines;
    // Memos without macros print their lines as they stand.
    bool hasMacro = false;
    for (const QString& line : lines)
        hasMacro = hasMacro || line.contains(u'%');
    if (!hasMacro) {
        sourceLines_ = lines;
        return;
    }
    sourceLines_ = expandMacroLines(lines, OpenMacro::Kept,
                                    [&](const QString& formula) { return evaluateText(context, formula); });
}

// --- data fields

DBTextPrinter::DBTextPrinter(TQRDBText& text)
    : TextPrinter(text, labelSettings(text)), dbText_(text), design_(dynamic_cast<const TQRDesignDBText*>(&text))
{
}

void DBTextPrinter::startRun(PrintContext& context)
{
    TextPrinter::startRun(context);
    data_ = dbText_.dataSet ? dbText_.dataSet->dataSet() : nullptr;
    field_ = data_ ? data_->fieldIndex(dbText_.dataField()) : -1;
    captionBased_ = !(field_ >= 0 && isBlobField(data_->field(field_).type));
    if (design_ && dynamic_cast<TQRCustomReport*>(dbText_.parentControl()))
        settings_.autoStretch = false;
    lastText_.reset();
    lastPage_ = 0;
}

QString DBTextPrinter::fieldText(const DataSet& data) const
{
    const FieldDef& def = data.field(field_);
    if (data.isNull(field_))
        return QString();
    const QString& mask = dbText_.mask;
    if (mask.isEmpty() || def.type == FieldType::String)
        return data.displayText(field_);
    const FormatSettings& fs = FormatSettings::current();
    if (isIntegerField(def.type))
        return formatFloat(mask, double(data.toInteger(field_)), fs);
    if (isFloatField(def.type))
        return formatFloat(mask, data.toFloat(field_), fs);
    if (isDateTimeField(def.type))
        return formatDateTime(mask, data.toDateTime(field_), fs);
    // A mask on another kind of field has no picture to apply; the value prints as it reads.
    return data.displayText(field_);
}

void DBTextPrinter::prepareText(PrintContext& context)
{
    const bool hasValue = data_ && field_ >= 0 && data_->isOpen() && !data_->eof();
    if (!captionBased_) {
        sourceLines_.clear();
        if (hasValue) {
            QString text = data_->text(field_);
            text.remove(QChar(10));
            sourceLines_ = text.split(QChar(13));
        }
        return;
    }
    QString text = hasValue ? fieldText(*data_) : QString();
    if (design_) {
        if (design_->suppressRepeatedValues) {
            const int page = context.pageNumber();
            if (!lastText_ || *lastText_ != text)
                lastText_ = text;
            else if (!(design_->reprintOnNewPage && page != lastPage_))
                text.clear();
            lastPage_ = page;
        }
        if (design_->blankIfZero && hasValue) {
            const FieldType type = data_->field(field_).type;
            bool isZero = false;
            if (isIntegerField(type) || isFloatField(type)) {
                isZero = data_->toFloat(field_) == 0;
            } else if (type == FieldType::String) {
                bool ok = false;
                const double number = data_->text(field_).trimmed().toDouble(&ok);
                isZero = ok && number == 0;
            }
            if (isZero)
                text.clear();
        }
    }
    printText_ = text;
}

// --- expressions

ExprPrinter::ExprPrinter(TQRExpr& expr)
    : TextPrinter(expr, labelSettings(expr)), expr_(expr)
{
}

void ExprPrinter::startRun(PrintContext& context)
{
    TextPrinter::startRun(context);
    evaluator_.SetDataSets(context.dataSets());
    evaluator_.SetEnvironment(context.environment());
    try {
        evaluator_.Prepare(expr_.expression());
    } catch (const EvaluatorException&) {
        // An expression that does not compile prints its error at print time.
    }
    if (expr_.master)
        context.registerAggregate(this, expr_.master);
    else if (evaluator_.Prepared() && evaluator_.IsAggregate())
        context.registerAggregate(this, nullptr);
    if (evaluator_.Prepared())
        evaluator_.Reset();
}

void ExprPrinter::endRun(PrintContext&)
{
    if (evaluator_.Prepared())
        evaluator_.Unprepare();
}

void ExprPrinter::prepareText(PrintContext&)
{
    EvResult value;
    try {
        evaluator_.Value(value);
    } catch (const EvaluatorException& e) {
        value = EvResult::error(e.message());
    }
    // A rotated expression shows the formula itself when it fails.
    if (value.isError() && degree() != 0)
        printText_ = expr_.expression();
    else
        printText_ = valueText(value, expr_.mask);
}

void ExprPrinter::print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight)
{
    TextPrinter::print(context, ox, oy, extraHeight);
    if (expr_.resetAfterPrint && evaluator_.Prepared())
        evaluator_.Reset();
}

int ExprPrinter::degree() const
{
    auto* design = dynamic_cast<const TQRDesignExpr*>(&expr_);
    return design ? design->degree() : 0;
}

// --- system values

void SysDataPrinter::prepareText(PrintContext& context)
{
    const FormatSettings& fs = FormatSettings::current();
    QString value;
    switch (sys_.data()) {
    case TQRSysDataType::qrsTime: value = formatDateTime(u"t", QDateTime::currentDateTime(), fs); break;
    case TQRSysDataType::qrsDate: value = formatDateTime(u"c", QDateTime(QDate::currentDate(), QTime(0, 0)), fs); break;
    case TQRSysDataType::qrsDateTime: value = formatDateTime(u"c", QDateTime::currentDateTime(), fs); break;
    case TQRSysDataType::qrsPageNumber: value = QString::number(context.pageNumber()); break;
    case TQRSysDataType::qrsReportTitle: value = context.reportTitle(); break;
    case TQRSysDataType::qrsDetailCount: value = QString::number(context.detailCount()); break;
    case TQRSysDataType::qrsDetailNo: value = QString::number(context.detailNumber()); break;
    }
    printText_ = sys_.text() + value;
}

// --- macros shared with rich text

QString macroValue(PrintContext& context, const QString& formula)
{
    return evaluateText(context, formula);
}

} // namespace cm
