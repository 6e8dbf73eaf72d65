// The property toolbar: the element's type, and its text or choice list
// to change in place. What it shows and writes comes from the designer.
#include "app/mainwindow.h"

#include "designer/designercore.h"
#include "designer/document.h"
#include "designer/propertybar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolBar>

namespace cm {

void MainWindow::buildPropertyBar()
{
    allComboBox_ = new QComboBox(propertyToolbar_);
    allComboBox_->setObjectName(QStringLiteral("AllComboBox"));
    allComboBox_->setEditable(false);
    allComboBox_->setFixedWidth(149);
    allComboBox_->setMaxVisibleItems(10);
    allComboBox_->setToolTip(tr("type of element"));
    allComboBox_->setAccessibleName(tr("type of element"));
    allEdit_ = new QLineEdit(propertyToolbar_);
    allEdit_->setObjectName(QStringLiteral("AllEdit"));
    allEdit_->setFixedWidth(149);
    allEdit_->setToolTip(tr("Elementtext"));
    allEdit_->setAccessibleName(tr("Elementtext"));
    typeLabel_ = new QLabel(propertyToolbar_);
    typeLabel_->setObjectName(QStringLiteral("TypeLabel"));
    typeLabel_->setAccessibleName(tr("Element type"));
    typeLabel_->setToolTip(tr("Element type"));
    typeLabel_->setContentsMargins(6, 0, 6, 0);
    allComboBoxAction_ = propertyToolbar_->addWidget(allComboBox_);
    allEditAction_ = propertyToolbar_->addWidget(allEdit_);
    propertyToolbar_->addWidget(typeLabel_);
    allComboBoxAction_->setVisible(false);
    allEditAction_->setVisible(false);

    // The caption follows every keystroke; only the user's picks write back.
    connect(allEdit_, &QLineEdit::textEdited, this, [this](const QString& text) { applyPropertyText(*designer_, text); });
    connect(allComboBox_, &QComboBox::activated, this,
            [this](int index) { applyPropertyChoice(*designer_, index, allComboBox_->itemText(index)); });
}

void MainWindow::syncPropertyBar()
{
    if (!allEdit_)
        return;
    const PropertyBarState s = propertyBarState(*designer_);
    typeLabel_->setText(s.typeLabel);
    allEditAction_->setVisible(s.box == PropertyBarState::Box::Text);
    allComboBoxAction_->setVisible(s.box == PropertyBarState::Box::Choice);
    if (s.box == PropertyBarState::Box::Text) {
        // Typing keeps its cursor: the text is only set when it differs.
        if (allEdit_->text() != s.text) {
            const QSignalBlocker quiet(allEdit_);
            allEdit_->setText(s.text);
        }
        allEdit_->setEnabled(s.enabled);
    } else if (s.box == PropertyBarState::Box::Choice) {
        const QSignalBlocker quiet(allComboBox_);
        allComboBox_->clear();
        allComboBox_->addItems(s.choices);
        allComboBox_->setCurrentIndex(s.current);
        allComboBox_->setEnabled(s.enabled);
    }
}

} // namespace cm
