#include "app/previewdialog.h"

#include "engine/pageplayer.h"
#include "engine/qrerror.h"
#include "engine/qrprinter.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace cm {

namespace {
constexpr double NativePerInch = 254.0;
constexpr double ScreenDpi = 96.0;
} // namespace

PreviewDialog::PreviewDialog(std::unique_ptr<TQRPrinter> pages, QWidget* parent)
    : QDialog(parent), pages_(std::move(pages)), player_(std::make_unique<PagePlayer>()),
      scroll_(new QScrollArea(this)), image_(new QLabel(this)), pageLabel_(new QLabel(this)),
      previous_(new QPushButton(tr("&Previous"), this)), next_(new QPushButton(tr("&Next"), this))
{
    setWindowTitle(tr("Preview"));
    image_->setAlignment(Qt::AlignCenter);
    image_->setAccessibleName(tr("Page"));
    scroll_->setWidget(image_);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Dark);
    pageLabel_->setAccessibleName(tr("Page number"));
    previous_->setAccessibleName(tr("Previous page"));
    next_->setAccessibleName(tr("Next page"));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(previous_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addWidget(pageLabel_, 1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll_, 1);
    layout->addLayout(buttons);
    resize(760, 640);
    showPage(1);
}

PreviewDialog::~PreviewDialog() = default;

int PreviewDialog::pageCount() const { return pages_->storedPages(); }

void PreviewDialog::showPage(int page)
{
    const int count = pageCount();
    page_ = count == 0 ? 0 : std::clamp(page, 1, count);
    previous_->setEnabled(page_ > 1);
    next_->setEnabled(page_ < count);
    if (page_ == 0) {
        pageLabel_->setText(tr("No pages"));
        image_->setText(tr("The layout printed no pages."));
        return;
    }
    pageLabel_->setText(tr("Page %1 of %2").arg(page_).arg(count));
    const qreal ratio = devicePixelRatioF();
    const QSize size(int(pages_->sheetWidth() * ScreenDpi / NativePerInch * ratio),
                     int(pages_->sheetLength() * ScreenDpi / NativePerInch * ratio));
    QImage picture(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    picture.fill(Qt::white);
    try {
        QPainter painter(&picture);
        pages_->playPage(page_, painter, QRectF(QPointF(0, 0), QSizeF(picture.size())), *player_);
    } catch (const EQRError& error) {
        image_->setText(error.message());
        return;
    }
    picture.setDevicePixelRatio(ratio);
    image_->setPixmap(QPixmap::fromImage(picture));
}

} // namespace cm
