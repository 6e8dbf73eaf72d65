#include "qtmessageboxes.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace cm {

namespace {

const QString kTitle = QStringLiteral("Cardmint");

// A box asked for from within a dialog stays above that dialog.
QWidget* ownerOf(QWidget* window)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : window;
}

int runBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, kTitle, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

QString runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& caption, const QString& folder,
                      const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, caption.isEmpty() ? kTitle : caption, folder);
    dialog.setAcceptMode(mode);
    // Opening needs an existing file; saving asks before replacing one (the dialog's default).
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!filter.isEmpty())
        dialog.setNameFilters(filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* parent)
    : parent_(parent)
{
}

void QtMessageBoxes::error(const QString& text)
{
    runBox(ownerOf(parent_), QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageBoxes::information(const QString& text)
{
    runBox(ownerOf(parent_), QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::confirm(const QString& text)
{
    return runBox(ownerOf(parent_), QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

MessageBoxes::Answer QtMessageBoxes::ask(const QString& text, bool withCancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    switch (runBox(ownerOf(parent_), QMessageBox::Question, text, buttons, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Escape or closing the box: Cancel where offered, else No.
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

QString QtMessageBoxes::openFileName(const QString& caption, const QString& folder, const QString& filter)
{
    return runFileDialog(ownerOf(parent_), QFileDialog::AcceptOpen, caption, folder, filter, {});
}

QString QtMessageBoxes::saveFileName(const QString& caption, const QString& folder, const QString& filter,
                                     const QString& defaultSuffix)
{
    return runFileDialog(ownerOf(parent_), QFileDialog::AcceptSave, caption, folder, filter, defaultSuffix);
}

bool QtMessageBoxes::chooseFont(QFont& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, ownerOf(parent_));
    if (ok)
        font = chosen;
    return ok;
}

bool QtMessageBoxes::chooseColor(QColor& color)
{
    const QColor chosen = QColorDialog::getColor(color, ownerOf(parent_));
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}

bool QtMessageBoxes::inputText(const QString& caption, const QString& prompt, QString& value)
{
    bool ok = false;
    const QString text = QInputDialog::getText(ownerOf(parent_), caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok)
        return false;
    value = text;
    return true;
}

} // namespace cm
