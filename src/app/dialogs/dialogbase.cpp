#include "app/dialogs/dialogbase.h"

#include "app/helpsystem.h"
#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/messageboxes.h"
#include "engine/paint/textlayout.h"
#include "report/elements.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

namespace cm {

// ---------------------------------------------------------------- dialog

PropertyDialog::PropertyDialog(const QString& caption, int helpContext, QWidget* owner)
    : QDialog(owner), body_(new QVBoxLayout), ok_(new QPushButton(tr("OK"), this)),
      cancel_(new QPushButton(tr("Cancel"), this))
{
    setWindowTitle(caption);
    setModal(true);
    if (helpContext)
        setProperty("helpContext", helpContext);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    cancel_->setAutoDefault(false);
    ok_->setAccessibleName(tr("OK"));
    cancel_->setAccessibleName(tr("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel_, QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body_);
    layout->addWidget(buttons);
    // The main window's F1 does not reach a modal dialog: it has its own.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &PropertyDialog::showHelp);
}

void PropertyDialog::finishLayout()
{
    if (auto* help = parent() ? parent()->findChild<HelpSystem*>() : nullptr)
        help->applyWhatsThis(this);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void PropertyDialog::showHelp()
{
    if (auto* help = parent() ? parent()->findChild<HelpSystem*>() : nullptr)
        help->showTopic(HelpSystem::contextOf(focusWidget() ? focusWidget() : this), this);
}

bool runDialog(PropertyDialog& dialog, Document& document, const std::function<void()>& apply)
{
    dialog.finishLayout();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document.beginChange();
    apply();
    document.endChange();
    return true;
}

// ---------------------------------------------------------------- numbers

QChar decimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

QString generalNumber(double value, int maxDecimals)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(value, 'f', maxDecimals);
    const QChar point = decimalSeparator();
    if (text.contains(point)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

bool readNumber(const QString& text, double& value)
{
    bool ok = false;
    const double v = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool readWholeNumber(const QString& text, int& value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        return false;
    value = v;
    return true;
}

NumberBox::NumberBox(Keys keys, Step step, QWidget* parent)
    : QAbstractSpinBox(parent), keys_(keys), step_(step)
{
    setButtonSymbols(step == Step::None ? NoButtons : UpDownArrows);
    setKeyboardTracking(true);
    setCorrectionMode(CorrectToPreviousValue);
}

QString NumberBox::text() const { return lineEdit()->text(); }
void NumberBox::setText(const QString& text) { lineEdit()->setText(text); }
void NumberBox::setMaxLength(int length) { lineEdit()->setMaxLength(length); }

QValidator::State NumberBox::validate(QString&, int&) const
{
    return QValidator::Acceptable;   // the keys are filtered as they are typed
}

QAbstractSpinBox::StepEnabled NumberBox::stepEnabled() const
{
    return step_ == Step::None ? StepNone : StepUpEnabled | StepDownEnabled;
}

void NumberBox::stepBy(int steps)
{
    const bool up = steps > 0;
    for (int i = 0; i < std::abs(steps); ++i) {
        if (step_ == Step::Decimal) {
            double v = 0;
            if (!readNumber(text(), v))
                return;
            v += up ? 1 : -1;
            if (v < 0)
                return;
            setText(generalNumber(v));
        } else if (step_ != Step::None) {
            int v = 0;
            if (!readWholeNumber(text(), v))
                return;
            const int floor = step_ == Step::WholeAbove1 ? 1 : 0;
            if (up)
                ++v;
            else if (v > floor)
                --v;
            else
                return;
            setText(QString::number(v));
        }
    }
    emit editingFinished();
}

void NumberBox::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool character = typed.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool navigation = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                            event->key() == Qt::Key_Escape || event->key() == Qt::Key_Tab ||
                            event->key() == Qt::Key_Backtab;
    if (keys_ == Keys::Any || !character || navigation) {
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    const QChar c = typed.front();
    const QChar point = decimalSeparator();
    const bool control = c.unicode() < 32 || c.unicode() == 127;
    QChar put = c;
    bool accept = false;
    switch (keys_) {
    case Keys::Digits: accept = c >= u'0' && c <= u'9'; break;
    case Keys::DigitsNoZero: accept = c >= u'1' && c <= u'9'; break;
    case Keys::Decimal:
        if (c == u'.' || c == u',')
            put = point;
        accept = control || c.isDigit() || put == point;
        break;
    case Keys::Position: accept = control || c.isDigit() || c == point || c == u' '; break;
    case Keys::Any: accept = true; break;
    }
    if (!accept) {
        event->accept();
        return;
    }
    if (put == c) {
        QAbstractSpinBox::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(put));
    QAbstractSpinBox::keyPressEvent(&replaced);
}

// ---------------------------------------------------------------- fonts and colours

QFont dialogFontOf(const TQRFont& font)
{
    QFont f = toQFont(font);
    f.setPointSize(std::max(1, std::abs(font.size())));
    return f;
}

void takeDialogFont(TQRFont& font, const QFont& chosen)
{
    font.setName(chosen.family());
    if (chosen.pointSize() > 0)
        font.setSize(chosen.pointSize());
    uint32_t bits = font.style().bits & ~uint32_t(fsBold | fsItalic | fsUnderline | fsStrikeOut);
    if (chosen.bold())
        bits |= fsBold;
    if (chosen.italic())
        bits |= fsItalic;
    if (chosen.underline())
        bits |= fsUnderline;
    if (chosen.strikeOut())
        bits |= fsStrikeOut;
    SetBits style = font.style();
    style.bits = bits;
    font.setStyle(style);
}

void showTextLook(const TQRPrintable& element, QComboBox& alignment, FontButton& font, ColorButton& color)
{
    alignment.setCurrentIndex(int(element.alignment()));
    font.setFont(element.font());
    color.setColor(element.color());
}

void writeTextLook(TQRPrintable& element, const QComboBox& alignment, FontButton& font, const ColorButton& color)
{
    if (alignment.currentIndex() >= 0)
        element.setAlignment(TAlignment(alignment.currentIndex()));
    assignFont(element.font(), font.font());
    element.setColor(color.color());
}

void assignFont(TQRFont& target, const TQRFont& source)
{
    target.setName(source.name());
    target.setHeight(source.height());
    target.setStyle(source.style());
    target.setColor(source.color());
    target.setCharset(source.charset());
    target.setPitch(source.pitch());
    // Setting an equal font raises no change; the font is still chosen here.
    if (target.onChange)
        target.onChange();
}

TColor colorFromQColor(const QColor& color)
{
    return TColor(color.red() | color.green() << 8 | color.blue() << 16);
}

FontButton::FontButton(const QString& caption, MessageBoxes& boxes, QWidget* parent)
    : QPushButton(caption, parent)
{
    nameControl(this, caption);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this, &boxes] {
        QFont f = dialogFontOf(font_);
        if (boxes.chooseFont(f))
            takeDialogFont(font_, f);
    });
}

ColorButton::ColorButton(const QString& caption, MessageBoxes& boxes, QWidget* parent)
    : QPushButton(caption, parent)
{
    nameControl(this, caption);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this, &boxes] {
        QColor c = toQColor(color_);
        if (boxes.chooseColor(c))
            setColor(colorFromQColor(c));
    });
}

void ColorButton::setColor(TColor color)
{
    color_ = color;
    // A small swatch beside the caption shows the working colour.
    QPixmap swatch(12, 12);
    swatch.fill(toQColor(color));
    setIcon(QIcon(swatch));
}

// ---------------------------------------------------------------- labels and lists

QString plainCaption(const QString& caption)
{
    QString text = caption;
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    if (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

void nameControl(QWidget* control, const QString& caption)
{
    control->setAccessibleName(plainCaption(caption));
}

QLabel* labelFor(QWidget* control, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(control);
    nameControl(control, caption);
    return label;
}

QComboBox* alignmentList(QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->addItems({PropertyDialog::tr("Left"), PropertyDialog::tr("Right"), PropertyDialog::tr("Centered")});
    return list;
}

QStringList messageList(const DesignerCore& designer, const QStringList& keys)
{
    QStringList out;
    for (const QString& key : keys)
        out << designer.message(key, key);
    return out;
}

QStringList penStyleNames(const DesignerCore& designer)
{
    return messageList(designer, {QStringLiteral("PenStyleSolid"), QStringLiteral("PenStyleDashed"),
                                  QStringLiteral("PenStyleDot"), QStringLiteral("PenStyleDashDot"),
                                  QStringLiteral("PenStyleDashDotDot"), QStringLiteral("PenStyleHiddenMark"),
                                  QStringLiteral("PenStyleInsideFrame")});
}

} // namespace cm
