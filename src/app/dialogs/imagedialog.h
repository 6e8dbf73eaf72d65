#pragma once
// "Image": the picture file of an image element (PNG, JPEG, BMP, SVG and
// the other formats Qt reads), with a preview, and how the picture fits
// the element.
#include "app/dialogs/dialogbase.h"

#include <QImage>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace cm {

class TQRDesignImage;

// Reads a picture file; SVG drawings are rendered at their own size.
// Null with `error` set when the file cannot be read.
QImage readPictureFile(const QString& fileName, QString* error = nullptr);

class ImageDialog : public PropertyDialog {
    Q_OBJECT
public:
    ImageDialog(DesignerCore& designer, TQRDesignImage& image, QWidget* owner);
    void apply();

private:
    void browse();
    void showPreview();

    DesignerCore& designer_;
    TQRDesignImage& image_;
    QLineEdit* file_;
    QPushButton* browse_;
    QCheckBox* stretch_;
    QCheckBox* center_;
    QCheckBox* autoSize_;
    QLabel* preview_;
    QString folder_;
};

bool editImage(DesignerCore& designer, TQRDesignImage& image, QWidget* owner);

} // namespace cm
