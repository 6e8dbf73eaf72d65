#include "app/datatabplaceholder.h"

#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace cm {

DataTabPlaceholder::DataTabPlaceholder(QWidget* parent)
    : QWidget(parent), note_(new QLabel(this)), status_(new QStatusBar(this))
{
    note_->setText(tr("The logbook's records are listed here in a later version. The cards are printed "
                      "from the whole logbook in its own order."));
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignCenter);
    note_->setAccessibleName(tr("Logbook"));
    status_->setSizeGripEnabled(false);
    status_->setAccessibleName(tr("Record count"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(note_, 1);
    layout->addWidget(status_);
}

void DataTabPlaceholder::showRecordCount(int count)
{
    status_->showMessage(tr("There are %1 QSOs !").arg(count));
}

QString DataTabPlaceholder::statusText() const { return status_->currentMessage(); }

} // namespace cm
