#pragma once
// The designer's runtime message table: "key=text" lines looked up by key
// without regard to case, first match winning; and the sink through which
// messages reach the user (message boxes in the GUI, stderr in the CLI).
#include <QStringList>

namespace cm {

class RuntimeMessages {
public:
    RuntimeMessages() = default;
    explicit RuntimeMessages(QStringList lines) : lines_(std::move(lines)) {}

    const QStringList& lines() const { return lines_; }
    void setLines(const QStringList& lines) { lines_ = lines; }

    // The text of the first line whose key matches; empty when none does.
    QString text(QStringView key) const;
    // An error text: "Unknown Error [key]" when the key has no text,
    // otherwise the text with the parameter put into its "%s".
    QString errorText(QStringView key, const QString& parameter = QString()) const;
    // Text with a caller's fallback for a missing key.
    QString textOr(QStringView key, const QString& fallback) const;

    // The table the main window configures.
    static RuntimeMessages windowTable();

private:
    QStringList lines_;
};

// Puts `parameter` in place of the first "%s" of `text`. The text is never
// used as a printf-style format, so user texts cannot do harm.
QString substituteParameter(const QString& text, const QString& parameter);

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showError(const QString& text) = 0;
};

// Collects messages (tests, the command-line tool).
class CollectingMessageSink : public MessageSink {
public:
    void showError(const QString& text) override { messages << text; }
    QStringList messages;
};

} // namespace cm
