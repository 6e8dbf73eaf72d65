#include "app/dialogs/shapedialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <array>

namespace cm {

namespace {

// List positions and the values they stand for.
constexpr std::array<TQRShapeType, 6> kShapes = {
    TQRShapeType::qrsCircle,         TQRShapeType::qrsHorLine,      TQRShapeType::qrsRectangle,
    TQRShapeType::qrsRightAndLeft,   TQRShapeType::qrsTopAndBottom, TQRShapeType::qrsVertLine,
};
constexpr std::array<TBrushStyle, 8> kBrushes = {
    TBrushStyle::bsClear,     TBrushStyle::bsSolid,      TBrushStyle::bsCross,      TBrushStyle::bsDiagCross,
    TBrushStyle::bsBDiagonal, TBrushStyle::bsFDiagonal,  TBrushStyle::bsHorizontal, TBrushStyle::bsVertical,
};
constexpr std::array<TPenMode, 16> kPenModes = {
    TPenMode::pmCopy,        TPenMode::pmBlack,       TPenMode::pmWhite,        TPenMode::pmNop,
    TPenMode::pmNot,         TPenMode::pmNotCopy,     TPenMode::pmMergePenNot,  TPenMode::pmMaskPenNot,
    TPenMode::pmMergeNotPen, TPenMode::pmMaskNotPen,  TPenMode::pmMerge,        TPenMode::pmNotMerge,
    TPenMode::pmMask,        TPenMode::pmNotMask,     TPenMode::pmXor,          TPenMode::pmNotXor,
};

template <class T, size_t N>
int positionOf(const std::array<T, N>& values, T value)
{
    for (size_t i = 0; i < N; ++i)
        if (values[i] == value)
            return int(i);
    return -1;
}

} // namespace

ShapeDialog::ShapeDialog(DesignerCore& designer, TQRDesignShape& shape, QWidget* owner)
    : PropertyDialog(tr("Shape"), 90035, owner), shape_(shape), kind_(new QComboBox(this)),
      brushStyle_(new QComboBox(this)), brushColor_(new ColorButton(tr("&Color..."), designer.document().boxes(), this)),
      penMode_(new QComboBox(this)), penStyle_(new QComboBox(this)),
      penWidth_(new NumberBox(NumberBox::Keys::Digits, NumberBox::Step::WholeAbove1, this)),
      penColor_(new ColorButton(tr("C&olor..."), designer.document().boxes(), this))
{
    setObjectName(QStringLiteral("ShapeEditForm"));
    kind_->setObjectName(QStringLiteral("TypeCombo"));
    brushStyle_->setObjectName(QStringLiteral("BrushStyleCombo"));
    penMode_->setObjectName(QStringLiteral("PenModeCombo"));
    penStyle_->setObjectName(QStringLiteral("PenStyleCombo"));
    penWidth_->setObjectName(QStringLiteral("PenWidthEdit"));
    brushColor_->setObjectName(QStringLiteral("BrushColorButton"));
    penColor_->setObjectName(QStringLiteral("PenColorButton"));
    penWidth_->setMaxLength(2);
    kind_->addItems(messageList(designer, {QStringLiteral("ShapeCircle"), QStringLiteral("ShapeHorizontalLine"),
                                           QStringLiteral("ShapeRectangle"), QStringLiteral("ShapeLeftRightLines"),
                                           QStringLiteral("ShapeTopBottomLines"), QStringLiteral("ShapeVerticalLine")}));
    brushStyle_->addItems(messageList(designer, {QStringLiteral("BrushEmpty"), QStringLiteral("BrushSolid"),
                                                 QStringLiteral("BrushCross"), QStringLiteral("BrushDiagCross"),
                                                 QStringLiteral("BrushDiagLinesBT"), QStringLiteral("BrushDiagLinesTB"),
                                                 QStringLiteral("BrushHorLines"), QStringLiteral("BrushVertLines")}));
    QStringList modeKeys;
    for (int i = 1; i <= 16; ++i)
        modeKeys << QStringLiteral("PenMode%1").arg(i);
    penMode_->addItems(messageList(designer, modeKeys));
    penStyle_->addItems(penStyleNames(designer));

    auto* grid = new QGridLayout;
    grid->addWidget(labelFor(kind_, tr("&Type"), this), 0, 0);
    grid->addWidget(kind_, 0, 1);
    body().addLayout(grid);

    auto* brush = new QGroupBox(tr("Brush"), this);
    auto* brushGrid = new QGridLayout(brush);
    brushGrid->addWidget(labelFor(brushStyle_, tr("&Style"), brush), 0, 0);
    brushGrid->addWidget(brushStyle_, 0, 1);
    brushGrid->addWidget(brushColor_, 1, 1);
    body().addWidget(brush);
    nameControl(brushColor_, tr("Brush color"));

    auto* pen = new QGroupBox(tr("Pen"), this);
    auto* penGrid = new QGridLayout(pen);
    penGrid->addWidget(labelFor(penMode_, tr("&Mode"), pen), 0, 0);
    penGrid->addWidget(penMode_, 0, 1);
    penGrid->addWidget(labelFor(penStyle_, tr("St&yle"), pen), 1, 0);
    penGrid->addWidget(penStyle_, 1, 1);
    penGrid->addWidget(labelFor(penWidth_, tr("&Width"), pen), 2, 0);
    penGrid->addWidget(penWidth_, 2, 1);
    penGrid->addWidget(penColor_, 3, 1);
    body().addWidget(pen);
    nameControl(penStyle_, tr("Pen style"));
    nameControl(penWidth_, tr("Pen width"));
    nameControl(penColor_, tr("Pen color"));
    nameControl(brushStyle_, tr("Brush style"));
    nameControl(penMode_, tr("Pen mode"));

    kind_->setCurrentIndex(positionOf(kShapes, shape.shape));
    kind_->setEnabled(!shape.d.blockChange);
    brushStyle_->setCurrentIndex(positionOf(kBrushes, shape.brush.style));
    brushColor_->setColor(shape.brush.color);
    penMode_->setCurrentIndex(positionOf(kPenModes, shape.pen.mode));
    penStyle_->setCurrentIndex(int(shape.pen.style));
    penWidth_->setText(QString::number(shape.pen.width));
    penColor_->setColor(shape.pen.color);
}

void ShapeDialog::apply()
{
    shape_.brush.color = brushColor_->color();
    shape_.pen.color = penColor_->color();
    if (int width = 0; readWholeNumber(penWidth_->text(), width))
        shape_.pen.width = width;
    if (kind_->currentIndex() >= 0)
        shape_.shape = kShapes[size_t(kind_->currentIndex())];
    const int brush = brushStyle_->currentIndex();
    shape_.brush.style = brush >= 0 ? kBrushes[size_t(brush)] : TBrushStyle::bsClear;
    const int mode = penMode_->currentIndex();
    shape_.pen.mode = mode >= 0 ? kPenModes[size_t(mode)] : TPenMode::pmCopy;
    const int style = penStyle_->currentIndex();
    shape_.pen.style = style >= 0 ? TPenStyle(style) : TPenStyle::psSolid;
}

bool editShape(DesignerCore& designer, TQRDesignShape& shape, QWidget* owner)
{
    ShapeDialog dialog(designer, shape, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
