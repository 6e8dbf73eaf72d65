#pragma once
// What every property dialog shares: the modal frame with "OK" (default,
// Enter) and "Cancel" (Escape), its help topic on F1 and What's This, the
// numeric boxes with their key filters and arrows, the font and colour
// buttons with their working copies, and the lists of pen styles and text
// alignments.
#include "report/graphics.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QPushButton>
#include <functional>

class QBoxLayout;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QWidget;

namespace cm {

class DesignerCore;
class TQRPrintable;
class Document;
class MessageBoxes;

class PropertyDialog : public QDialog {
    Q_OBJECT
public:
    // `owner` is the main window; its help system (a child object) answers F1.
    PropertyDialog(const QString& caption, int helpContext, QWidget* owner);

    // The body above the buttons.
    QBoxLayout& body() { return *body_; }
    QPushButton& okButton() { return *ok_; }
    QPushButton& cancelButton() { return *cancel_; }
    // Sets what's-this texts once the controls exist, and centres the dialog.
    void finishLayout();

private:
    void showHelp();
    QBoxLayout* body_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Shows the dialog modally; on OK `apply` writes its values as one edit
// (modified flag and undo step). True on OK.
bool runDialog(PropertyDialog& dialog, Document& document, const std::function<void()>& apply);

// A text box with optional up and down arrows. Keys are filtered by
// `keys`; the arrows change the number by `step`. A text that is not a
// number is left alone by the arrows.
class NumberBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    enum class Keys {
        Any,          // no filter
        Decimal,      // digits and the decimal separator ("." and "," become it); control keys pass
        Position,     // digits, the decimal separator, space; control keys pass
        Digits,       // 0 to 9 only; every other key, backspace included, is refused
        DigitsNoZero, // 1 to 9 only; the same
    };
    enum class Step {
        None,         // no arrows
        Decimal,      // +1 / -1 while the result stays 0 or more
        WholeAbove0,  // whole numbers; down while greater than 0
        WholeAbove1,  // whole numbers; down while greater than 1
    };
    NumberBox(Keys keys, Step step, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void setMaxLength(int length);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Keys keys_;
    Step step_;
};

// The locale's decimal separator, and numbers in general format with it
// (22.5, 45: no trailing zeros, no group separators).
QChar decimalSeparator();
QString generalNumber(double value, int maxDecimals = 10);
// A number from a box's text in the locale's form; false when it is none.
bool readNumber(const QString& text, double& value);
bool readWholeNumber(const QString& text, int& value);

// A "&Font..." button over a working copy of a font.
class FontButton : public QPushButton {
    Q_OBJECT
public:
    FontButton(const QString& caption, MessageBoxes& boxes, QWidget* parent);
    TQRFont& font() { return font_; }
    void setFont(const TQRFont& font) { font_.assignQuietly(font); }

private:
    TQRFont font_;
};

// A "&Color..." button over a working colour.
class ColorButton : public QPushButton {
    Q_OBJECT
public:
    ColorButton(const QString& caption, MessageBoxes& boxes, QWidget* parent);
    TColor color() const { return color_; }
    void setColor(TColor color);

private:
    TColor color_ = clBlack;
};

// The model font as the font dialog's QFont (in points) and back: name,
// size and style come from the dialog; colour, character set and pitch stay.
QFont dialogFontOf(const TQRFont& font);
void takeDialogFont(TQRFont& font, const QFont& chosen);
// Gives an element the font through its setters (so it stops following its parent's).
void assignFont(TQRFont& target, const TQRFont& source);
TColor colorFromQColor(const QColor& color);

// Labels a control: the label's mnemonic moves the focus to it, and the
// control's accessible name is the caption without the "&".
QLabel* labelFor(QWidget* control, const QString& caption, QWidget* parent);
QString plainCaption(const QString& caption);
void nameControl(QWidget* control, const QString& caption);

// "Left", "Right", "Centered".
QComboBox* alignmentList(QWidget* parent);
// The look every text element's dialog shows and writes back: alignment
// (written when one is picked), font and colour.
void showTextLook(const TQRPrintable& element, QComboBox& alignment, FontButton& font, ColorButton& color);
void writeTextLook(TQRPrintable& element, const QComboBox& alignment, FontButton& font, const ColorButton& color);
// The seven pen styles, named through the designer's message table.
QStringList penStyleNames(const DesignerCore& designer);
// Entries from the designer's message table (the key when a line is missing).
QStringList messageList(const DesignerCore& designer, const QStringList& keys);

} // namespace cm
