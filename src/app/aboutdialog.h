#pragma once
// The About box: product name, version and what the program is for.
#include <QDialog>

namespace cm {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// Shows the About box modally; it is freed when closed.
void showAboutBox(QWidget* parent);

// The program's version, "0.1.0".
QString programVersion();

} // namespace cm
