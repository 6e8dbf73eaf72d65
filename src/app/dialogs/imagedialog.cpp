#include "app/dialogs/imagedialog.h"

#include "designer/designercore.h"
#include "designer/designobjects.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "report/design.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSvgRenderer>

namespace cm {

namespace {

constexpr int kMaxFileNameLength = 255;
constexpr int kPreviewSize = 160;

// A stored name with wildcards ("*", or the "*.BMP" a new element starts
// with) names no picture yet.
bool namesNoFile(const QString& name)
{
    return name.contains(u'*') || name.contains(u'?');
}

} // namespace

QImage readPictureFile(const QString& fileName, QString* error)
{
    const QFileInfo info(fileName);
    if (!info.isFile()) {
        if (error)
            *error = ImageDialog::tr("The picture %1 does not exist.").arg(fileName);
        return QImage();
    }
    if (info.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0 ||
        info.suffix().compare(QLatin1String("svgz"), Qt::CaseInsensitive) == 0) {
        QSvgRenderer svg(fileName);
        QSize size = svg.defaultSize();
        if (!svg.isValid() || size.isEmpty() || size.width() > 10000 || size.height() > 10000) {
            if (error)
                *error = ImageDialog::tr("The drawing %1 cannot be read.").arg(fileName);
            return QImage();
        }
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);   // pictures are stored as bitmaps, without transparency
        QPainter painter(&image);
        svg.render(&painter);
        return image;
    }
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull() && error)
        *error = ImageDialog::tr("The picture %1 cannot be read: %2").arg(fileName, reader.errorString());
    return image;
}

ImageDialog::ImageDialog(DesignerCore& designer, TQRDesignImage& image, QWidget* owner)
    : PropertyDialog(tr("Image"), 0, owner), designer_(designer), image_(image), file_(new QLineEdit(this)),
      browse_(new QPushButton(QStringLiteral("..."), this)), stretch_(new QCheckBox(tr("&Stretch picture"), this)),
      center_(new QCheckBox(tr("&Center picture"), this)),
      autoSize_(new QCheckBox(tr("A&utosize report element to fit picture"), this)), preview_(new QLabel(this))
{
    setObjectName(QStringLiteral("ImageEditForm"));
    file_->setObjectName(QStringLiteral("Fileedit"));
    file_->setMaxLength(kMaxFileNameLength);
    browse_->setObjectName(QStringLiteral("BrowseButton"));
    browse_->setAccessibleName(tr("Choose the picture file"));
    browse_->setToolTip(tr("Choose the picture file"));
    browse_->setAutoDefault(false);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->setAccessibleName(tr("Preview"));
    preview_->setFixedSize(kPreviewSize, kPreviewSize);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    for (QCheckBox* box : {stretch_, center_, autoSize_})
        nameControl(box, box->text());

    auto* grid = new QGridLayout;
    grid->addWidget(labelFor(file_, tr("&File:"), this), 0, 0);
    grid->addWidget(file_, 0, 1);
    grid->addWidget(browse_, 0, 2);
    grid->addWidget(stretch_, 1, 0, 1, 3);
    grid->addWidget(center_, 2, 0, 1, 3);
    grid->addWidget(autoSize_, 3, 0, 1, 3);
    grid->addWidget(preview_, 4, 0, 1, 3, Qt::AlignCenter);
    body().addLayout(grid);
    setMinimumWidth(420);

    folder_ = QFileInfo(image.filename).path();
    file_->setText(namesNoFile(image.filename) ? QString() : image.filename);
    stretch_->setChecked(image.stretch);
    center_->setChecked(image.center);
    autoSize_->setChecked(image.autoSize);
    connect(browse_, &QPushButton::clicked, this, &ImageDialog::browse);
    connect(file_, &QLineEdit::textChanged, this, &ImageDialog::showPreview);
    showPreview();
}

void ImageDialog::browse()
{
    const QString text = file_->text().trimmed();
    const QString folder = text.isEmpty() ? folder_ : QFileInfo(text).path();
    const QString chosen = designer_.document().boxes().openFileName(
        tr("Picture"), folder,
        tr("Pictures (*.png *.jpg *.jpeg *.bmp *.svg *.PNG *.JPG *.JPEG *.BMP *.SVG);;PNG (*.png *.PNG);;"
           "JPEG (*.jpg *.jpeg *.JPG *.JPEG);;Bitmaps (*.bmp *.BMP);;SVG drawings (*.svg *.SVG);;All files (*)"));
    if (!chosen.isEmpty())
        file_->setText(QFileInfo(chosen).absoluteFilePath());
}

// The picture the box names, else the one the element holds.
void ImageDialog::showPreview()
{
    const QString name = file_->text().trimmed();
    QImage picture = name.isEmpty() ? image_.picture.image() : readPictureFile(name);
    if (picture.isNull()) {
        preview_->setPixmap(QPixmap());
        preview_->setText(name.isEmpty() ? tr("(no picture)") : tr("(cannot be read)"));
        return;
    }
    const QSize shown = picture.size().boundedTo(QSize(kPreviewSize - 4, kPreviewSize - 4));
    preview_->setPixmap(QPixmap::fromImage(picture.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ImageDialog::apply()
{
    const QString name = file_->text().trimmed().left(kMaxFileNameLength);
    image_.filename = name;
    image_.autoSize = !name.isEmpty() && autoSize_->isChecked();
    image_.center = center_->isChecked();
    image_.stretch = stretch_->isChecked();
    if (!name.isEmpty()) {
        QString error;
        const QImage picture = readPictureFile(name, &error);
        if (picture.isNull()) {
            image_.filename.clear();
            image_.autoSize = false;
            designer_.document().boxes().error(error);
        } else {
            image_.picture.loadFromImage(picture);
        }
    }
    if (image_.autoSize && !image_.picture.isEmpty()) {
        const QImage picture = image_.picture.image();
        if (!picture.isNull())
            setPixelRect(image_, QRect(image_.bounds.topLeft(), picture.size()));
    }
}

bool editImage(DesignerCore& designer, TQRDesignImage& image, QWidget* owner)
{
    ImageDialog dialog(designer, image, owner);
    const bool edited = runDialog(dialog, designer.document(), [&] { dialog.apply(); });
    // The element and its handles show what it holds now, also after Cancel.
    designer.document().refresh();
    designer.refreshSelection();
    return edited;
}

} // namespace cm
