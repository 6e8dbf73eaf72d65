#include "app/dialogs/reportdialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/report.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace cm {

QString unitCaption(TQRUnit unit)
{
    switch (unit) {
    case TQRUnit::MM: return QStringLiteral("mm");
    case TQRUnit::Inches: return QStringLiteral("Inches");
    case TQRUnit::Pixels: return QStringLiteral("Pixels");
    case TQRUnit::Characters: return QStringLiteral("Chars");
    case TQRUnit::Native: break;
    }
    return QString();
}

namespace {

NumberBox* lengthBox(QWidget* parent, const QString& objectName)
{
    auto* box = new NumberBox(NumberBox::Keys::Decimal, NumberBox::Step::Decimal, parent);
    box->setObjectName(objectName);
    return box;
}

QString lengthText(Extended value)
{
    return generalNumber(double(value), 2);
}

} // namespace

ReportDialog::ReportDialog(DesignerCore& designer, TQRCustomReport& report, QWidget* owner)
    : PropertyDialog(tr("Report Options"), 90044, owner), report_(report), paper_(new QComboBox(this)),
      width_(lengthBox(this, QStringLiteral("PaperWidthEdit"))),
      length_(lengthBox(this, QStringLiteral("PaperLengthEdit"))), portrait_(new QRadioButton(tr("&Portrait"), this)),
      landscape_(new QRadioButton(tr("La&ndscape"), this)), top_(lengthBox(this, QStringLiteral("TopMarginEdit"))),
      bottom_(lengthBox(this, QStringLiteral("BottomMarginEdit"))),
      left_(lengthBox(this, QStringLiteral("LeftMarginEdit"))),
      right_(lengthBox(this, QStringLiteral("RightMarginEdit"))),
      columns_(new NumberBox(NumberBox::Keys::DigitsNoZero, NumberBox::Step::WholeAbove1, this)),
      columnSpace_(lengthBox(this, QStringLiteral("ColumnSpaceEdit"))), title_(new QLineEdit(this)),
      font_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      frameTop_(new QCheckBox(tr("Top"), this)), frameBottom_(new QCheckBox(tr("Bottom"), this)),
      frameLeft_(new QCheckBox(tr("Left"), this)), frameRight_(new QCheckBox(tr("Right"), this)),
      frameWidth_(new NumberBox(NumberBox::Keys::Any, NumberBox::Step::WholeAbove1, this)),
      frameStyle_(new QComboBox(this)),
      frameColor_(new ColorButton(tr("&Color..."), designer.document().boxes(), this))
{
    setObjectName(QStringLiteral("ReportEditForm"));
    paper_->setObjectName(QStringLiteral("PaperSizeCombo"));
    columns_->setObjectName(QStringLiteral("ColumnsEdit"));
    columns_->setMaxLength(2);
    title_->setObjectName(QStringLiteral("TitleEdit"));
    frameWidth_->setObjectName(QStringLiteral("FrameWidthEdit"));
    frameWidth_->setMaxLength(2);
    frameStyle_->setObjectName(QStringLiteral("FrameStyleCombo"));
    frameColor_->setObjectName(QStringLiteral("FrameColorButton"));
    const QString unit = unitCaption(report.units());
    std::array<QLabel*, 7> units{};
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = new QLabel(unit, this);
        units[i]->setObjectName(QStringLiteral("UnitLabel%1").arg(i + 1));
    }
    widthUnit_ = units[0];
    lengthUnit_ = units[1];

    // Paper
    auto* paperBox = new QGroupBox(tr("Paper"), this);
    auto* paperGrid = new QGridLayout(paperBox);
    paperGrid->addWidget(labelFor(paper_, tr("Paper si&ze"), paperBox), 0, 0);
    paperGrid->addWidget(paper_, 0, 1, 1, 2);
    widthLabel_ = labelFor(width_, tr("&Width"), paperBox);
    lengthLabel_ = labelFor(length_, tr("&Length"), paperBox);
    paperGrid->addWidget(widthLabel_, 1, 0);
    paperGrid->addWidget(width_, 1, 1);
    paperGrid->addWidget(widthUnit_, 1, 2);
    paperGrid->addWidget(lengthLabel_, 2, 0);
    paperGrid->addWidget(length_, 2, 1);
    paperGrid->addWidget(lengthUnit_, 2, 2);
    paperGrid->addWidget(portrait_, 3, 0);
    paperGrid->addWidget(landscape_, 3, 1);
    nameControl(portrait_, portrait_->text());
    nameControl(landscape_, landscape_->text());

    // Margins and columns
    auto* marginBox = new QGroupBox(tr("Margins"), this);
    auto* marginGrid = new QGridLayout(marginBox);
    const std::pair<NumberBox*, QString> margins[] = {
        {top_, tr("T&op margin")}, {bottom_, tr("&Bottom margin")}, {left_, tr("L&eft margin")},
        {right_, tr("&Right margin")}, {columnSpace_, tr("Column s&pace")},
    };
    int row = 0;
    for (const auto& [box, caption] : margins) {
        marginGrid->addWidget(labelFor(box, caption, marginBox), row, 0);
        marginGrid->addWidget(box, row, 1);
        marginGrid->addWidget(units[size_t(row + 2)], row, 2);
        ++row;
    }
    marginGrid->addWidget(labelFor(columns_, tr("Number of col&umns"), marginBox), row, 0);
    marginGrid->addWidget(columns_, row, 1);

    // Title and font
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(labelFor(title_, tr("Report &Title"), this));
    titleRow->addWidget(title_, 1);
    titleRow->addWidget(font_);

    // Frame
    auto* frameBox = new QGroupBox(tr("Frame"), this);
    auto* frameGrid = new QGridLayout(frameBox);
    frameGrid->addWidget(frameTop_, 0, 0);
    frameGrid->addWidget(frameBottom_, 0, 1);
    frameGrid->addWidget(frameLeft_, 1, 0);
    frameGrid->addWidget(frameRight_, 1, 1);
    for (QCheckBox* box : {frameTop_, frameBottom_, frameLeft_, frameRight_})
        nameControl(box, tr("Frame %1").arg(box->text().toLower()));
    frameGrid->addWidget(labelFor(frameWidth_, tr("Wi&dth"), frameBox), 2, 0);
    frameGrid->addWidget(frameWidth_, 2, 1);
    frameGrid->addWidget(labelFor(frameStyle_, tr("&Style"), frameBox), 3, 0);
    frameGrid->addWidget(frameStyle_, 3, 1);
    frameGrid->addWidget(frameColor_, 4, 1);
    nameControl(frameWidth_, tr("Frame width"));
    nameControl(frameStyle_, tr("Frame style"));
    nameControl(frameColor_, tr("Frame color"));

    auto* columnsLayout = new QHBoxLayout;
    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(paperBox);
    leftColumn->addWidget(frameBox);
    columnsLayout->addLayout(leftColumn);
    columnsLayout->addWidget(marginBox, 0, Qt::AlignTop);
    body().addLayout(columnsLayout);
    body().addLayout(titleRow);

    // Values
    QStringList names;
    for (int i = 0; i < PaperSizeCount; ++i)
        names << paperSizeName(TQRPaperSize(i));
    names.sort(Qt::CaseInsensitive);
    paper_->addItems(names);
    paper_->setCurrentIndex(paper_->findText(paperSizeName(report.page.paperSize())));
    const TQRPage& page = report.page;
    width_->setText(lengthText(page.width()));
    length_->setText(lengthText(page.length()));
    top_->setText(lengthText(page.topMargin()));
    bottom_->setText(lengthText(page.bottomMargin()));
    left_->setText(lengthText(page.leftMargin()));
    right_->setText(lengthText(page.rightMargin()));
    columnSpace_->setText(lengthText(page.columnSpace()));
    columns_->setText(QString::number(page.columns()));
    (page.orientation() == TQROrientation::poLandscape ? landscape_ : portrait_)->setChecked(true);
    title_->setText(report.reportTitle);
    font_->setFont(report.font());
    frameTop_->setChecked(report.frame.drawTop);
    frameBottom_->setChecked(report.frame.drawBottom);
    frameLeft_->setChecked(report.frame.drawLeft);
    frameRight_->setChecked(report.frame.drawRight);
    frameWidth_->setText(QString::number(report.frame.width));
    frameStyle_->addItems(penStyleNames(designer));
    frameStyle_->setCurrentIndex(int(report.frame.style));
    frameColor_->setColor(report.frame.color);

    connect(paper_, &QComboBox::currentIndexChanged, this, &ReportDialog::showCustomSize);
    // Typing a width asks for a paper of that size.
    connect(width_->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [this] {
        paper_->setCurrentIndex(paper_->findText(paperSizeName(TQRPaperSize::Custom)));
    });
    showCustomSize();
}

void ReportDialog::showCustomSize()
{
    const bool custom = paper_->currentText() == paperSizeName(TQRPaperSize::Custom);
    for (QWidget* w : std::initializer_list<QWidget*>{width_, length_, widthLabel_, lengthLabel_, widthUnit_, lengthUnit_})
        w->setVisible(custom);
}

void ReportDialog::apply()
{
    TQRPage& page = report_.page;
    assignFont(report_.font(), font_->font());
    report_.reportTitle = title_->text();
    page.setOrientation(landscape_->isChecked() ? TQROrientation::poLandscape : TQROrientation::poPortrait);
    for (int i = 0; i < PaperSizeCount; ++i) {
        if (paperSizeName(TQRPaperSize(i)) == paper_->currentText()) {
            page.setPaperSize(TQRPaperSize(i));
            break;
        }
    }
    // A box that holds no number, or a length beyond any paper, leaves the value as it is.
    const auto set = [&page](NumberBox* box, TQRPage::Index index) {
        double v = 0;
        if (readNumber(box->text(), v) && isLengthInRange(page.toNative(v, TQRPage::isHorizontal(index))))
            page.setValue(index, v);
    };
    if (page.paperSize() == TQRPaperSize::Custom) {
        set(width_, TQRPage::Wid);
        set(length_, TQRPage::Len);
    }
    set(top_, TQRPage::Top);
    set(left_, TQRPage::Left);
    set(right_, TQRPage::Right);
    set(bottom_, TQRPage::Bottom);
    set(columnSpace_, TQRPage::ColSpace);
    if (int columns = 0; readWholeNumber(columns_->text(), columns))
        page.setColumns(columns);
    report_.frame.drawTop = frameTop_->isChecked();
    report_.frame.drawLeft = frameLeft_->isChecked();
    report_.frame.drawRight = frameRight_->isChecked();
    report_.frame.drawBottom = frameBottom_->isChecked();
    if (int width = 0; readWholeNumber(frameWidth_->text(), width))
        report_.frame.width = width;
    report_.frame.color = frameColor_->color();
    if (frameStyle_->currentIndex() >= 0)
        report_.frame.style = TPenStyle(frameStyle_->currentIndex());
    report_.arrangeBands();
}

bool editReport(DesignerCore& designer, TQRCustomReport& report, QWidget* owner)
{
    ReportDialog dialog(designer, report, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
