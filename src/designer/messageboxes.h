#pragma once
// Every message, confirmation, input and file box the designer and the main
// window show goes through this interface: the window installs boxes on
// screen (QMessageBox, QFileDialog ...), tests install a scripted one that
// answers from a queue and records what was asked.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

namespace cm {

class MessageBoxes {
public:
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageBoxes() = default;

    // An error box with an OK button.
    virtual void error(const QString& text) = 0;
    // An information box with an OK button.
    virtual void information(const QString& text) = 0;
    // OK and Cancel; true for OK.
    virtual bool confirm(const QString& text) = 0;
    // Yes and No (and Cancel when `withCancel`).
    virtual Answer ask(const QString& text, bool withCancel = false) = 0;
    // A file to open or to save to; empty when cancelled. `filter` in Qt's
    // form ("Cardmint Files (*.QR2 *.qr2)").
    virtual QString openFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& folder, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // The font and colour dialogs, preset with `font` / `color`; on OK they
    // replace it and answer true.
    virtual bool chooseFont(QFont& font) = 0;
    virtual bool chooseColor(QColor& color) = 0;
    // A line of text under `prompt`, starting with `value`; on OK it
    // replaces `value` and answers true.
    virtual bool inputText(const QString& caption, const QString& prompt, QString& value) = 0;
};

} // namespace cm
