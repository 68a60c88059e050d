#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <string>

namespace pw {

// The one exception type of the core. It carries either a number of the message table
// (with the arguments that follow the message, such as a file name) or, where the table
// has no fitting message, a plain German text. The front ends turn it into words through
// the translation store; nothing below them ever shows it.
class Error : public std::exception {
public:
    // Message number n of the message table, followed by its arguments.
    explicit Error(int messageNumber, QStringList args = {});
    Error(int messageNumber, const QString& arg) : Error(messageNumber, QStringList{arg}) {}
    // A plain text, optionally naming a file and a byte position inside it (-1: none).
    static Error text(const QString& text, const QString& file = {}, qint64 position = -1);

    int messageNumber() const { return m_number; }
    const QStringList& args() const { return m_args; }
    const QString& plainText() const { return m_text; }
    const QString& file() const { return m_file; }
    qint64 position() const { return m_position; }

    // For logs and debuggers only; users see errorText() of the i18n module.
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Error() = default;
    void composeWhat();

    int m_number = 0;
    QStringList m_args;
    QString m_text;
    QString m_file;
    qint64 m_position = -1;
    std::string m_what;
};

} // namespace pw
