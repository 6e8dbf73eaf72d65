#pragma once
// "Rich text": shows a rich-text element's formatted text, read-only, and
// loads a new one from an RTF file; also its automatic stretching.
#include "app/dialogs/dialogbase.h"

#include <QByteArray>
#include <QStringList>

class QCheckBox;
class QTextEdit;

namespace cm {

class TQRDesignRichtext;

class RichTextDialog : public PropertyDialog {
    Q_OBJECT
public:
    RichTextDialog(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner);
    void apply();

private:
    void load();
    void showContent();

    DesignerCore& designer_;
    TQRDesignRichtext& element_;
    QTextEdit* view_;
    QPushButton* load_;
    QCheckBox* autoStretch_;
    // The working copy: what OK writes.
    QByteArray rtf_;
    QStringList plainLines_;
    QString folder_;
};

bool editRichText(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner);

} // namespace cm
