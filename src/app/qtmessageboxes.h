#pragma once
// The message and file boxes of the running program: QMessageBox and
// QFileDialog over the main window.
#include "designer/messageboxes.h"

#include <QPointer>
#include <QWidget>

namespace cm {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent);

    void error(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    Answer ask(const QString& text, bool withCancel = false) override;
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override;
    bool chooseFont(QFont& font) override;
    bool chooseColor(QColor& color) override;
    bool inputText(const QString& caption, const QString& prompt, QString& value) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace cm
