#pragma once
// The small window shown while the program starts: the application icon
// and a line of text, centred on the screen, without a caption bar.
#include <QWidget>

namespace cm {

class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(const QString& text = QStringLiteral("Loading..."), QWidget* parent = nullptr);

    // Shows the window and paints it before the caller goes on with its work.
    void showNow();

    QString text() const { return text_; }
    QRect iconRect() const;
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QRect textRect_;
};

} // namespace cm
