#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <memory>
#include <string>

namespace pw {

// The one exception type of the core. It carries either a number of the message table
// (with the arguments that follow the message, such as a file name) or, where the table
// has no fitting message, a plain German text. A plain text is a template: the front ends
// translate it through the translation store and only then fill its %1, %2, ... with the
// text's arguments (numbers, names), so that a number never hides a text from its
// translation. An error may name another as its cause; the cause's words, translated the
// same way, fill the placeholder after the last argument. Nothing below the front ends
// ever shows an error.
class Error : public std::exception {
public:
    // Message number n of the message table, followed by its arguments.
    explicit Error(int messageNumber, QStringList args = {});
    Error(int messageNumber, const QString& arg) : Error(messageNumber, QStringList{arg}) {}
    // A plain text, optionally naming a file and a byte position inside it (-1: none).
    static Error text(const QString& text, const QString& file = {}, qint64 position = -1);
    // A plain text template whose %1..%n are filled with `textArgs` after translation.
    static Error format(const QString& textTemplate, QStringList textArgs, const QString& file = {},
                        qint64 position = -1);
    // The same error with `cause` filling the placeholder after the last text argument.
    Error causedBy(const Error& cause) const;

    int messageNumber() const { return m_number; }
    const QStringList& args() const { return m_args; }
    // The plain text as written, with its placeholders, and what fills them.
    const QString& plainText() const { return m_text; }
    const QStringList& textArgs() const { return m_textArgs; }
    const Error* cause() const { return m_cause.get(); }
    // The plain text in German with its arguments and cause filled in, for logs and for
    // callers without a translation store.
    QString germanText() const;
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
    QStringList m_textArgs;
    std::shared_ptr<const Error> m_cause;
    QString m_file;
    qint64 m_position = -1;
    std::string m_what;
};

// Fills %1..%n of a template with args in one pass; a placeholder without an argument
// stays as written.
QString fillPlaceholders(const QString& textTemplate, const QStringList& args);

} // namespace pw
