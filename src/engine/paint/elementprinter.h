#pragma once
// Run-time printers of the report's elements. Each element gets one printer
// object per generation run; the printer keeps everything that changes
// while printing (formatted lines, continuation, the evaluator, the last
// printed value), so the report model stays as designed.
#include "engine/paint/printcontext.h"
#include "engine/paint/textlayout.h"
#include "expr/evaluator.h"
#include "report/design.h"

#include <QFontMetricsF>
#include <memory>
#include <optional>

class QPainter;
class QTextDocument;

namespace cm {

// Fills each drawn side of `frame` as a rectangle inside `rect` (device dots).
void paintFrame(QPainter& painter, const TQRFrame& frame, const QRect& rect, Extended xFactor, Extended yFactor);
// Fills `rect` with `color`, leaving pen and brush set for it. Every drawing
// sets the pen and brush it needs; a page picture records each change, and
// restoring them after every fill made a page half as big again.
void fillArea(QPainter& painter, const QRect& rect, const QColor& color);

class ElementPrinter {
public:
    explicit ElementPrinter(TQRPrintable& element);
    virtual ~ElementPrinter();
    ElementPrinter(const ElementPrinter&) = delete;
    ElementPrinter& operator=(const ElementPrinter&) = delete;

    TQRPrintable& element() const { return element_; }
    bool contentComplete() const { return contentComplete_; }
    // Whether the last print put anything of the remaining content on the page.
    bool advanced() const { return advanced_; }

    virtual void startRun(PrintContext&) {}
    virtual void endRun(PrintContext&) {}
    // A detail record was printed (aggregating expressions).
    virtual void notifyDetail() {}
    // The remembered value of a data field is forgotten (new group).
    virtual void forgetLastValue() {}

    // Prints at the band's position (native units), following the band's
    // growth as the design flags ask.
    void printAt(PrintContext& context, Extended offsetX, Extended offsetY);

protected:
    // `extraHeight`: what the element grows by with its band.
    virtual void print(PrintContext& context, Extended offsetX, Extended offsetY, Extended extraHeight) = 0;
    // The device rectangle of the element at an offset.
    QRect deviceRect(const TQRPrinter& out, Extended ox, Extended oy, Extended extraHeight) const;
    void drawFrame(PrintContext& context, const QRect& rect) const;

    bool contentComplete_ = true;
    bool advanced_ = true;

private:
    TQRPrintable& element_;
    const DesignElementProps* design_ = nullptr;
};

// Labels, memos, data fields, expressions and system values.
class TextPrinter : public ElementPrinter {
public:
    struct Settings {
        bool autoSize = false;
        bool autoStretch = false;
        bool wordWrap = true;
        bool transparent = false;
    };
    static Settings labelSettings(const TQRCustomLabel& label);

    TextPrinter(TQRPrintable& element, Settings settings);
    void startRun(PrintContext& context) override;

    // The formatted lines of the last print (tests and the designer read them).
    const QStringList& formattedLines() const { return lines_; }
    // Width and height the element printed with, native units.
    Extended printWidth() const { return width_; }

protected:
    void print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight) override;
    // Sets the print text (caption-based) or the source lines; false: nothing changes.
    virtual void prepareText(PrintContext& context) = 0;
    // Rotation in tenths of a degree (labels and expressions of the designer).
    virtual int degree() const { return 0; }

    Settings settings_;
    QString printText_;
    QStringList sourceLines_;
    bool captionBased_ = true;

private:
    void breakLines(PrintContext& context);
    // Whether a line from `line` on has anything to show.
    bool hasTextFrom(qsizetype line) const;
    void printRotated(PrintContext& context, Extended left, Extended top, Extended height);

    QFont refFont_;
    std::optional<TextMeasurer> measure_;
    QFont pageFont_;
    std::optional<QFontMetricsF> pageMetrics_;
    WidthCache<qreal> pageAdvances_;
    QStringList lines_;
    int nextLine_ = 0;
    Extended width_ = 0;
    Extended height_ = 0;
    Extended shift_ = 0;   // how far an auto-sized element moved to keep its anchor
    Extended minHeight_ = 0;
    QString brokenText_;
    bool brokenValid_ = false;
    bool charactersLeftOut_ = false;   // the last breaking dropped text that did not fit
};

class LabelPrinter : public TextPrinter {
public:
    explicit LabelPrinter(TQRLabel& label) : TextPrinter(label, labelSettings(label)), label_(label) {}

protected:
    void prepareText(PrintContext&) override { printText_ = label_.caption(); }
    int degree() const override;

private:
    TQRLabel& label_;
};

class MemoPrinter : public TextPrinter {
public:
    explicit MemoPrinter(TQRCustomLabel& memo);
    void startRun(PrintContext& context) override;

protected:
    void prepareText(PrintContext& context) override;

private:
    TQRCustomLabel& memo_;
};

class DBTextPrinter : public TextPrinter {
public:
    explicit DBTextPrinter(TQRDBText& text);
    void startRun(PrintContext& context) override;
    void forgetLastValue() override { lastText_.reset(); }

protected:
    void prepareText(PrintContext& context) override;

private:
    QString fieldText(const DataSet& data) const;
    TQRDBText& dbText_;
    const TQRDesignDBText* design_;
    DataSet* data_ = nullptr;
    int field_ = -1;
    std::optional<QString> lastText_;
    int lastPage_ = 0;
};

class ExprPrinter : public TextPrinter {
public:
    explicit ExprPrinter(TQRExpr& expr);
    void startRun(PrintContext& context) override;
    void endRun(PrintContext& context) override;
    void notifyDetail() override { evaluator_.DoAggregate(); }
    void reset() { evaluator_.Reset(); }
    TQRExpr& expr() const { return expr_; }

protected:
    void prepareText(PrintContext& context) override;
    void print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight) override;
    int degree() const override;

private:
    TQRExpr& expr_;
    TQREvaluator evaluator_;
};

class SysDataPrinter : public TextPrinter {
public:
    explicit SysDataPrinter(TQRSysData& sys) : TextPrinter(sys, labelSettings(sys)), sys_(sys) {}

protected:
    void prepareText(PrintContext& context) override;

private:
    TQRSysData& sys_;
};

class ShapePrinter : public ElementPrinter {
public:
    explicit ShapePrinter(TQRShape& shape) : ElementPrinter(shape), shape_(shape) {}

protected:
    void print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight) override;

private:
    TQRShape& shape_;
};

// Draws a picture into an element rectangle: stretched, or at its natural
// size clipped to the rectangle (optionally centred).
void drawPicture(PrintContext& context, const QImage& image, const QRect& rect, bool stretch, bool center);

class ImagePrinter : public ElementPrinter {
public:
    explicit ImagePrinter(TQRImage& image) : ElementPrinter(image), image_(image) {}
    void startRun(PrintContext&) override;

protected:
    void print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight) override;

private:
    TQRImage& image_;
    QImage picture_;
};

class DBImagePrinter : public ElementPrinter {
public:
    explicit DBImagePrinter(TQRDBImage& image) : ElementPrinter(image), image_(image) {}
    void startRun(PrintContext& context) override;

protected:
    void print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight) override;

private:
    QImage loadPicture() const;
    TQRDBImage& image_;
    DataSet* data_ = nullptr;
    int field_ = -1;
};

// Rich text: the stored RTF (or the plain lines) with its "%%" macros and
// %DEL marks expanded, laid out from the first unprinted character into the
// element and continued on the next page when the element stretches.
class RichTextPrinter : public ElementPrinter {
public:
    explicit RichTextPrinter(TQRCustomRichText& rich);
    ~RichTextPrinter() override;
    void startRun(PrintContext& context) override;
    void endRun(PrintContext& context) override;

    // The index of the first character not yet printed.
    int nextCharacter() const { return nextChar_; }

protected:
    void print(PrintContext& context, Extended ox, Extended oy, Extended extraHeight) override;

private:
    // The content to print for the current record, macros expanded.
    const QTextDocument* prepareDocument(PrintContext& context);
    std::unique_ptr<QTextDocument> documentOf(const TQRCustomRichText& source) const;

    TQRCustomRichText& rich_;
    DataSet* data_ = nullptr;
    int field_ = -1;
    std::unique_ptr<QTextDocument> designDocument_;   // the element's own content, read once per run
    bool designHasMacros_ = false;
    std::unique_ptr<QTextDocument> current_;    // this record's content while it is printed
    const QTextDocument* printing_ = nullptr;
    int nextChar_ = 0;
};

// The value of a "%%" text macro's formula; failures give the error text.
QString macroValue(PrintContext& context, const QString& formula);

// The printer for an element, or null for a class that prints nothing.
std::unique_ptr<ElementPrinter> makeElementPrinter(TQRPrintable& element);

} // namespace cm
