#include "splash.h"

#include "appicons.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace cm {

namespace {

constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kTextLeft = 56;
constexpr int kMaxTextWidth = 320;
constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

QFont splashFont()
{
    // The classic dialog font; where it is missing, a sans font stands in.
    const QString family = QStringLiteral("MS Sans Serif");
    if (QFont::substitutes(family).isEmpty())
        QFont::insertSubstitutions(family, {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont f(family);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

} // namespace

SplashScreen::SplashScreen(const QString& text, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , text_(text)
{
    setEnabled(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(splashFont());
    setWindowIcon(applicationIcon());

    const QRect needed =
        QFontMetrics(font()).boundingRect(QRect(0, 0, kMaxTextWidth, 10000), kTextFlags, text_);
    const int height = std::max(kIconSize, needed.height()) + 2 * kMargin;
    textRect_ = QRect(kTextLeft, kMargin, needed.width(), height - 2 * kMargin);
    setFixedSize(kTextLeft + needed.width() + kMargin, height);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

QRect SplashScreen::iconRect() const
{
    return {kMargin, kMargin, kIconSize, kIconSize};
}

QRect SplashScreen::textRect() const
{
    return textRect_;
}

void SplashScreen::showNow()
{
    show();
    raise();
    repaint();
    QCoreApplication::processEvents();
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    // A thin frame: the window has no caption bar or border of its own.
    p.setPen(palette().color(QPalette::Active, QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    applicationIcon().paint(&p, iconRect());
    p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    p.drawText(textRect_, kTextFlags, text_);
}

} // namespace cm
