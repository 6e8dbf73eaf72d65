#include "app/builder/scripteditor.h"

#include "app/builder/builder.h"
#include "app/builder/builderwidgets.h"
#include "expr/scriptsections.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cm {

ScriptEditor::ScriptEditor(BuilderContext context, const QStringList& script, const QString& componentName,
                           bool isReport, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), script_(script), component_(componentName)
{
    setObjectName(QStringLiteral("ScriptEditor"));
    setWindowTitle(QStringLiteral("Scripts - ") + componentName);
    struct Tab {
        const char* caption;
        ScriptEvent event;
    };
    static const Tab tabs[] = {
        {"Before Print", ScriptEvent::BeforePrint}, {"After Print", ScriptEvent::AfterPrint},
        {"After Preview", ScriptEvent::AfterPreview}, {"On start page", ScriptEvent::StartPage},
        {"On end page", ScriptEvent::EndPage},
    };
    tabs_ = new QTabWidget(this);
    nameControl(tabs_, QStringLiteral("Events"));
    const int count = isReport ? 5 : 2;
    for (int i = 0; i < count; ++i) {
        const QString caption = QString::fromLatin1(tabs[i].caption);
        const QString event = scriptEventName(tabs[i].event);
        auto* page = new QWidget(tabs_);
        auto* layout = new QVBoxLayout(page);
        auto* edit = new QPlainTextEdit(page);
        edit->setObjectName(event);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setTabChangesFocus(true);
        nameControl(edit, caption);
        edit->setPlainText(scriptSectionBody(script_, component_, event).join(u'\n'));
        QPushButton* insert = captionButton(QStringLiteral("Insert expression ..."), page);
        layout->addWidget(edit, 1);
        auto* row = new QHBoxLayout;
        row->addWidget(insert);
        row->addStretch();
        layout->addLayout(row);
        connect(insert, &QPushButton::clicked, this, [this, edit] { insertExpression(edit); });
        tabs_->addTab(page, caption);
        pages_.emplace_back(event, edit);
    }
    QPushButton* ok = captionButton(QStringLiteral("OK"), this);
    QPushButton* cancel = captionButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);
    resize(560, 400);
}

void ScriptEditor::insertExpression(QPlainTextEdit* edit)
{
    // The selection goes to the builder and the answer straight back; the
    // clipboard is left alone.
    QTextCursor cursor = edit->textCursor();
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    if (editExpression(this, context_, text) && !text.isEmpty()) {
        cursor.insertText(text);
        edit->setTextCursor(cursor);
    }
    edit->setFocus();
}

QStringList ScriptEditor::script() const
{
    QStringList result = script_;
    for (const auto& [event, edit] : pages_)
        replaceScriptSection(result, component_, event, textLines(edit->toPlainText()));
    return result;
}

} // namespace cm
