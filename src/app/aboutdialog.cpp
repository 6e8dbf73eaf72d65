#include "aboutdialog.h"

#include "appicons.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace cm {

QString programVersion()
{
#ifdef CARDMINT_VERSION
    return QStringLiteral(CARDMINT_VERSION);
#else
    return QCoreApplication::applicationVersion();
#endif
}

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About Cardmint"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Cardmint"), this);
    name->setObjectName(QStringLiteral("productName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    name->setFont(big);

    auto* version = new QLabel(tr("Version %1").arg(programVersion()), this);
    version->setObjectName(QStringLiteral("version"));
    auto* what = new QLabel(tr("Designs QSL cards and prints one card for every contact in your logbook."), this);
    what->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(6);
    text->addWidget(what);
    text->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedWidth(sizeHint().width() < 360 ? 360 : sizeHint().width());
}

void showAboutBox(QWidget* parent)
{
    AboutDialog box(parent);
    box.exec();
}

} // namespace cm
