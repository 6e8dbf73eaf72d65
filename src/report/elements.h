#pragma once
// Printable elements: texts, data fields, expressions, system values, memos,
// shapes, pictures and rich text. Here they are data with their published
// properties; how they print lives in the engine.
#include "report/control.h"
#include "report/datasetcomponent.h"
#include "report/units.h"

namespace cm {

class TQRCustomBand;

struct DesignElementProps;

class TQRPrintable : public TQRControl {
public:
    explicit TQRPrintable(Container* owner);

    // The designer's flags of a design element (null for plain engine elements).
    virtual DesignElementProps* designProps() { return nullptr; }

    TQRPrintableSize size;
    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment a) { alignment_ = a; alignNow(); }
    bool alignToBand() const { return alignToBand_; }
    void setAlignToBand(bool v) { alignToBand_ = v; alignNow(); }
    bool contentComplete = true;

    // Puts the element at the band's left, right or centre when AlignToBand is set.
    void alignNow();
    void parentChanged() override;
    void afterLoad() override;
    void beginLoad() override;
    // The size at the report's zoom; set from outside, the size takes the new edge.
    QRect zoomedBounds() const override;
    void setZoomedEdge(BoundsEdge edge, int value) override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool alignToBand_ = false;
    QRect streamedBounds_;   // while loading: the stored pixels, at the report's zoom
};

class TQRCustomLabel : public TQRPrintable {
public:
    explicit TQRCustomLabel(Container* owner);

    bool autoSize = true;
    bool autoStretch = false;
    bool wordWrap = true;
    bool transparent = false;
    TBiDiMode bidiMode() const { return bidiMode_; }
    void setBiDiMode(TBiDiMode m) { bidiMode_ = m; parentBiDiMode = false; }
    bool parentBiDiMode = true;
    EventName onPrint;
    QString caption() const { return caption_; }
    virtual void setCaption(const QString& c) { caption_ = c; }
    TQRStrings lines;

    // Point size stored as "FontSize"; applied after loading when above 0.
    int streamedFontSize = 0;
    void afterLoad() override;

private:
    QString caption_;
    TBiDiMode bidiMode_ = TBiDiMode::bdLeftToRight;
};

class TQRLabel : public TQRCustomLabel {
public:
    explicit TQRLabel(Container* owner) : TQRCustomLabel(owner) {}
};

class TQRMemo : public TQRCustomLabel {
public:
    explicit TQRMemo(Container* owner) : TQRCustomLabel(owner) {}
};

class TQRDBText : public TQRCustomLabel {
public:
    explicit TQRDBText(Container* owner) : TQRCustomLabel(owner) {}
    QPointer<TDataSetComponent> dataSet;
    QString dataField() const { return dataField_; }
    void setDataField(const QString& f) { dataField_ = f; setCaption(f); }
    QString mask;

private:
    QString dataField_;
};

class TQRExpr : public TQRCustomLabel {
public:
    explicit TQRExpr(Container* owner) : TQRCustomLabel(owner) {}
    QPointer<Component> master;
    bool resetAfterPrint = false;
    QString expression() const { return expression_; }
    void setExpression(const QString& e);
    QString mask;

private:
    QString expression_;
};

// A calculation over a data field (sum, count, maximum, minimum, average),
// printed as the expression it generates. Not a layout class: programs build it.
class TQRDBCalc : public TQRExpr {
public:
    explicit TQRDBCalc(Container* owner) : TQRExpr(owner) { updateExpression(); }
    const ClassInfo& classInfo() const override;
    static const ClassInfo& staticClassInfo();

    TQRCalcOperation operation() const { return operation_; }
    void setOperation(TQRCalcOperation op) { operation_ = op; updateExpression(); }
    QString dataField() const { return dataField_; }
    void setDataField(const QString& f) { dataField_ = f; updateExpression(); }
    // The mask of the printed value.
    QString printMask() const { return mask; }
    void setPrintMask(const QString& m) { mask = m; }
    QPointer<Component> dataSource;   // stored only
    QPointer<Component> resetBand;    // stored only

private:
    void updateExpression();
    TQRCalcOperation operation_ = TQRCalcOperation::qrcSum;
    QString dataField_;
};

class TQRSysData : public TQRCustomLabel {
public:
    explicit TQRSysData(Container* owner);
    TQRSysDataType data() const { return data_; }
    void setData(TQRSysDataType d) { data_ = d; updateCaption(); }
    QString text() const { return text_; }
    void setText(const QString& t) { text_ = t; updateCaption(); }
    static QString designCaption(TQRSysDataType d);

private:
    void updateCaption();
    TQRSysDataType data_ = TQRSysDataType::qrsTime;
    QString text_;
};

class TQRShape : public TQRPrintable {
public:
    explicit TQRShape(Container* owner);
    TQRBrush brush;
    TQRPen pen;
    TQRShapeType shape = TQRShapeType::qrsRectangle;
};

class TQRImage : public TQRPrintable {
public:
    explicit TQRImage(Container* owner);
    bool autoSize = false;
    bool center = false;
    bool stretch = false;
    TQRPicture picture;
};

class TQRDBImage : public TQRPrintable {
public:
    explicit TQRDBImage(Container* owner);
    bool center = true;
    bool stretch = false;
    QString dataField;
    QPointer<TDataSetComponent> dataSet;
};

class TQRCustomRichText : public TQRPrintable {
public:
    explicit TQRCustomRichText(Container* owner);
    bool autoStretch = false;
    TQRStrings lines;            // plain text lines; the formatted content is kept below
    QByteArray richContent;      // the rich text as stored (RTF), empty when plain
};

class TQRRichText : public TQRCustomRichText {
public:
    explicit TQRRichText(Container* owner) : TQRCustomRichText(owner) {}
    QPointer<Component> parentRichEdit;   // a rich-text holder whose lines are used instead
};

class TQRDBRichText : public TQRCustomRichText {
public:
    explicit TQRDBRichText(Container* owner) : TQRCustomRichText(owner) {}
    QString dataField;
    QPointer<TDataSetComponent> dataSet;
};

} // namespace cm
