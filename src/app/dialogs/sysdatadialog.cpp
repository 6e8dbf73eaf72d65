#include "app/dialogs/sysdatadialog.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "report/design.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <array>

namespace cm {

namespace {

// List positions and the values they stand for.
constexpr std::array<TQRSysDataType, 7> kKinds = {
    TQRSysDataType::qrsDate,        TQRSysDataType::qrsTime,       TQRSysDataType::qrsDateTime,
    TQRSysDataType::qrsDetailCount, TQRSysDataType::qrsDetailNo,   TQRSysDataType::qrsPageNumber,
    TQRSysDataType::qrsReportTitle,
};

} // namespace

SysDataDialog::SysDataDialog(DesignerCore& designer, TQRDesignSysdata& element, QWidget* owner)
    : PropertyDialog(tr("Systemfield"), 90036, owner), element_(element), text_(new QLineEdit(this)),
      kind_(new QComboBox(this)), alignment_(alignmentList(this)), autoSize_(new QCheckBox(tr("Autosize width"), this)),
      transparent_(new QCheckBox(tr("Transparent"), this)),
      font_(new FontButton(tr("&Font..."), designer.document().boxes(), this)),
      color_(new ColorButton(tr("&Color"), designer.document().boxes(), this))
{
    setObjectName(QStringLiteral("SysdataEditForm"));
    text_->setObjectName(QStringLiteral("TextEdit"));
    kind_->setObjectName(QStringLiteral("TypeCombo"));
    alignment_->setObjectName(QStringLiteral("AlignmentCombo"));
    nameControl(autoSize_, autoSize_->text());
    nameControl(transparent_, transparent_->text());
    kind_->addItems(messageList(designer, {QStringLiteral("SysdataDate"), QStringLiteral("SysdataTime"),
                                           QStringLiteral("SysdataDateTime"), QStringLiteral("SysdataDetailcounter"),
                                           QStringLiteral("SysdataDetailnumber"), QStringLiteral("SysdataPagenumber"),
                                           QStringLiteral("SysdataReporttitle")}));

    auto* grid = new QGridLayout;
    grid->addWidget(labelFor(text_, tr("Te&xt"), this), 0, 0);
    grid->addWidget(text_, 0, 1);
    grid->addWidget(labelFor(kind_, tr("&Type"), this), 1, 0);
    grid->addWidget(kind_, 1, 1);
    grid->addWidget(labelFor(alignment_, tr("&Alignment"), this), 2, 0);
    grid->addWidget(alignment_, 2, 1);
    grid->addWidget(autoSize_, 3, 0, 1, 2);
    grid->addWidget(transparent_, 4, 0, 1, 2);
    grid->addWidget(font_, 5, 0);
    grid->addWidget(color_, 5, 1);
    body().addLayout(grid);

    text_->setText(element.text());
    for (size_t i = 0; i < kKinds.size(); ++i)
        if (kKinds[i] == element.data())
            kind_->setCurrentIndex(int(i));
    kind_->setEnabled(!element.d.blockChange);
    autoSize_->setChecked(element.autoSize);
    transparent_->setChecked(element.transparent);
    showTextLook(element, *alignment_, *font_, *color_);
}

void SysDataDialog::apply()
{
    element_.setText(text_->text());
    if (kind_->currentIndex() >= 0)
        element_.setData(kKinds[size_t(kind_->currentIndex())]);
    element_.autoSize = autoSize_->isChecked();
    element_.transparent = transparent_->isChecked();
    writeTextLook(element_, *alignment_, *font_, *color_);
}

bool editSysData(DesignerCore& designer, TQRDesignSysdata& element, QWidget* owner)
{
    SysDataDialog dialog(designer, element, owner);
    return runDialog(dialog, designer.document(), [&] { dialog.apply(); });
}

} // namespace cm
