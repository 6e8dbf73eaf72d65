#pragma once
// "Rich text": edits a rich-text element's formatted text (font, colour,
// bold, italic, underline and paragraph alignment of the selection), loads
// a new one from an RTF file, and sets its automatic stretching.
#include "app/dialogs/dialogbase.h"

#include <QByteArray>
#include <QKeySequence>
#include <QStringList>
#include <vector>

class QCheckBox;
class QTextCharFormat;
class QTextEdit;

namespace cm {

class TQRDesignRichtext;

class RichTextDialog : public PropertyDialog {
    Q_OBJECT
public:
    RichTextDialog(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner);
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void showContent();
    QPushButton* formatButton(const QString& caption, const QString& objectName, const QString& hint,
                              const QKeySequence& shortcut);
    void chooseFont();
    void chooseColor();
    void setAlignment(Qt::Alignment alignment);
    void format(const QTextCharFormat& change);
    void showFormat();

    DesignerCore& designer_;
    TQRDesignRichtext& element_;
    // Filled while the buttons are made, so declared before them.
    std::vector<QKeySequence> formatKeys_;
    QTextEdit* view_;
    QPushButton* load_;
    QPushButton* font_;
    QPushButton* color_;
    QPushButton* bold_;
    QPushButton* italic_;
    QPushButton* underline_;
    QPushButton* left_;
    QPushButton* center_;
    QPushButton* right_;
    QCheckBox* autoStretch_;
    // The working copy: what OK writes when the text was not edited.
    QByteArray rtf_;
    QStringList plainLines_;
    QString folder_;
};

bool editRichText(DesignerCore& designer, TQRDesignRichtext& element, QWidget* owner);

} // namespace cm
