// cardmint [LAYOUT.QR2]: the card designer's window.
#include "app/appicons.h"
#include "app/apppaths.h"
#include "app/mainwindow.h"
#include "app/qtmessageboxes.h"
#include "app/splash.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

// An exception that reaches the event loop is shown, not a crash.
class CardmintApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(activeWindow(), QStringLiteral("Cardmint"), QString::fromLocal8Bit(error.what()));
        }
        return false;
    }
};

// The window needs its boxes when it is made, and the boxes want the
// window as their parent: they are made again once it exists.
class WindowBoxes : public cm::MessageBoxes {
public:
    void attach(QWidget* window) { boxes_ = std::make_unique<cm::QtMessageBoxes>(window); }

    void error(const QString& text) override { boxes_->error(text); }
    void information(const QString& text) override { boxes_->information(text); }
    bool confirm(const QString& text) override { return boxes_->confirm(text); }
    Answer ask(const QString& text, bool withCancel) override { return boxes_->ask(text, withCancel); }
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override
    {
        return boxes_->openFileName(caption, folder, filter);
    }
    QString saveFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override
    {
        return boxes_->saveFileName(caption, folder, filter, defaultSuffix);
    }
    bool chooseFont(QFont& font) override { return boxes_->chooseFont(font); }
    bool chooseColor(QColor& color) override { return boxes_->chooseColor(color); }
    bool inputText(const QString& caption, const QString& prompt, QString& value) override
    {
        return boxes_->inputText(caption, prompt, value);
    }

private:
    std::unique_ptr<cm::QtMessageBoxes> boxes_ = std::make_unique<cm::QtMessageBoxes>(nullptr);
};

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    CardmintApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Cardmint"));
    QApplication::setApplicationName(QStringLiteral("Cardmint"));
    QApplication::setDesktopFileName(QStringLiteral("cardmint"));
    QApplication::setWindowIcon(cm::applicationIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Designs QSL cards and prints one card per QSO of the logbook."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("layout"), QStringLiteral("A layout file (*.QR2) to open."),
                                 QStringLiteral("[LAYOUT.QR2]"));
    parser.process(app);

    auto splash = std::make_unique<cm::SplashScreen>();
    splash->showNow();

    WindowBoxes boxes;
    cm::MainWindow window(boxes, cm::AppPaths::standard());
    boxes.attach(&window);
    if (!parser.positionalArguments().isEmpty())
        window.setStartLayout(parser.positionalArguments().constFirst());
    splash.reset();
    window.show();
    // For the start-up benchmark: quit once the window is shown with its
    // layout loaded and painted (the start-up step is queued by the show).
    if (qEnvironmentVariableIsSet("CARDMINT_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &window, [&] {
            window.repaint();
            std::fprintf(stderr, "window shown in %lld ms: %s\n", static_cast<long long>(sinceStart.elapsed()),
                         qPrintable(window.windowTitle()));
            QApplication::quit();
        });
    }
    return app.exec();
}
