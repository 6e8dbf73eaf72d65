#pragma once
// Message boxes for tests: each question takes the next queued answer (OK /
// Yes when the queue is empty, a cancelled file box when no name is queued)
// and every text shown is recorded.
#include "designer/messageboxes.h"

#include <deque>

namespace cm {

class ScriptedMessageBoxes : public MessageBoxes {
public:
    std::deque<Answer> answers;
    std::deque<QString> fileNames;
    // Chosen in the font and colour dialogs; an empty queue cancels them.
    std::deque<QFont> fonts;
    std::deque<QColor> colors;
    // Typed into input boxes; an empty queue cancels them.
    std::deque<QString> texts;
    // "error: ...", "information: ...", "confirm: ...", "ask: ...", "open: ...", "save: ...",
    // "font: <family>", "color: #rrggbb" (what the dialog was preset with),
    // "input: <caption> | <prompt>"
    QStringList shown;

    void error(const QString& text) override { shown << QStringLiteral("error: ") + text; }
    void information(const QString& text) override { shown << QStringLiteral("information: ") + text; }
    bool confirm(const QString& text) override
    {
        shown << QStringLiteral("confirm: ") + text;
        const Answer a = next(Answer::Ok);
        return a == Answer::Ok || a == Answer::Yes;
    }
    Answer ask(const QString& text, bool) override
    {
        shown << QStringLiteral("ask: ") + text;
        return next(Answer::Yes);
    }
    QString openFileName(const QString& caption, const QString&, const QString&) override
    {
        shown << QStringLiteral("open: ") + caption;
        return nextFile();
    }
    QString saveFileName(const QString& caption, const QString&, const QString&, const QString&) override
    {
        shown << QStringLiteral("save: ") + caption;
        return nextFile();
    }

    bool chooseFont(QFont& font) override
    {
        shown << QStringLiteral("font: ") + font.family();
        if (fonts.empty())
            return false;
        font = fonts.front();
        fonts.pop_front();
        return true;
    }
    bool chooseColor(QColor& color) override
    {
        shown << QStringLiteral("color: ") + color.name();
        if (colors.empty())
            return false;
        color = colors.front();
        colors.pop_front();
        return true;
    }

    bool inputText(const QString& caption, const QString& prompt, QString& value) override
    {
        shown << QStringLiteral("input: ") + caption + QStringLiteral(" | ") + prompt;
        if (texts.empty())
            return false;
        value = texts.front();
        texts.pop_front();
        return true;
    }

private:
    Answer next(Answer fallback)
    {
        if (answers.empty())
            return fallback;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString nextFile()
    {
        if (fileNames.empty())
            return QString();
        QString f = fileNames.front();
        fileNames.pop_front();
        return f;
    }
};

} // namespace cm
