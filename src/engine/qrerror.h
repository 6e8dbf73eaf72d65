#pragma once
// Misuse of the page output and unreadable report files raise EQRError; the
// message is the text shown to the user as it stands.
#include <QString>
#include <stdexcept>

namespace cm {

class EQRError : public std::runtime_error {
public:
    explicit EQRError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace cm
