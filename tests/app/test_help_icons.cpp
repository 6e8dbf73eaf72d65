// Bundled icons, the theme fallback, the splash window and the About box.
#include "app/aboutdialog.h"
#include "app/appicons.h"
#include "app/splash.h"

#include <QFontMetrics>
#include <QLabel>
#include <QSvgRenderer>
#include <gtest/gtest.h>

using namespace cm;

namespace {

QImage render(const QIcon& icon)
{
    return icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(AppIcons, EveryBundledIconLoads)
{
    const QStringList names = bundledIconNames();
    for (const char* name : {"document-new", "align-left-edges", "equal-space-vertical", "add-data-field",
                             "help-whatsthis", "group-by", "cardmint"})
        EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
    for (const QString& name : names) {
        QSvgRenderer svg(bundledIconPath(name));
        EXPECT_TRUE(svg.isValid()) << name.toStdString();
        const QImage image = render(QIcon(bundledIconPath(name)));
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        // Something is drawn: not every pixel is transparent.
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(drawn) << name.toStdString();
    }
    EXPECT_FALSE(applicationIcon().isNull());
}

TEST(AppIcons, BundledIconStandsInWhenTheThemeLacksTheName)
{
    const QString savedTheme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("cardmint-no-such-theme"));
    const QIcon icon = themedIcon(QStringLiteral("document-new"), QStringLiteral("document-new"));
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(render(icon), render(QIcon(bundledIconPath(QStringLiteral("document-new")))));
    EXPECT_FALSE(themedIcon(QStringLiteral("cardmint-unknown-name"), QStringLiteral("zoom-in")).isNull());
    QIcon::setThemeName(savedTheme);
}

TEST(Splash, IconAndTextArePlacedWithTheMargins)
{
    SplashScreen splash;
    EXPECT_EQ(splash.text(), QStringLiteral("Loading..."));
    EXPECT_FALSE(splash.isEnabled());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.iconRect(), QRect(16, 16, 32, 32));
    EXPECT_EQ(splash.font().pixelSize(), 11);
    const QRect text = splash.textRect();
    EXPECT_EQ(text.left(), 56);
    EXPECT_GE(text.width(), QFontMetrics(splash.font()).horizontalAdvance(splash.text()));
    EXPECT_EQ(splash.width(), text.right() + 1 + 16);
    EXPECT_GE(splash.height(), 32 + 2 * 16);
    splash.showNow();
    EXPECT_TRUE(splash.isVisible());

    // A long text wraps instead of making the window as wide as the text.
    SplashScreen wrapped(QString(QStringLiteral("Opening the logbook and the layout ")).repeated(6));
    EXPECT_LT(wrapped.width(), 500);
    EXPECT_GT(wrapped.textRect().height(), text.height());
}

TEST(AboutBox, ShowsNameAndVersion)
{
    AboutDialog box;
    auto* name = box.findChild<QLabel*>(QStringLiteral("productName"));
    auto* version = box.findChild<QLabel*>(QStringLiteral("version"));
    ASSERT_TRUE(name && version);
    EXPECT_EQ(name->text(), QStringLiteral("Cardmint"));
    EXPECT_GT(name->font().pointSizeF(), box.font().pointSizeF());
    EXPECT_FALSE(programVersion().isEmpty());
    EXPECT_TRUE(version->text().contains(programVersion()));
    EXPECT_TRUE(box.isModal());
}
