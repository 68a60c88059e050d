#include "error.h"

namespace pw {

Error::Error(int messageNumber, QStringList args) : m_number(messageNumber), m_args(std::move(args)) {
    composeWhat();
}

Error Error::text(const QString& text, const QString& file, qint64 position) {
    return format(text, {}, file, position);
}

Error Error::format(const QString& textTemplate, QStringList textArgs, const QString& file, qint64 position) {
    Error e;
    e.m_text = textTemplate;
    e.m_textArgs = std::move(textArgs);
    e.m_file = file;
    e.m_position = position;
    e.composeWhat();
    return e;
}

Error Error::causedBy(const Error& cause) const {
    Error e = *this;
    e.m_cause = std::make_shared<const Error>(cause);
    e.composeWhat();
    return e;
}

QString fillPlaceholders(const QString& textTemplate, const QStringList& args) {
    // One pass from left to right, so that an argument holding "%1" stays as it is.
    QString out;
    out.reserve(textTemplate.size());
    for (qsizetype i = 0; i < textTemplate.size(); ++i) {
        const QChar c = textTemplate[i];
        if (c == QLatin1Char('%') && i + 1 < textTemplate.size() && textTemplate[i + 1].isDigit()) {
            qsizetype j = i + 1;
            int n = 0;
            while (j < textTemplate.size() && textTemplate[j].isDigit() && n < 100)
                n = n * 10 + textTemplate[j++].digitValue();
            if (n >= 1 && n <= args.size()) {
                out += args[n - 1];
                i = j - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString Error::germanText() const {
    QStringList args = m_textArgs;
    if (m_cause)
        args.append(m_cause->germanText());
    return fillPlaceholders(m_text, args);
}

void Error::composeWhat() {
    QString s = m_number > 0 ? QStringLiteral("message %1").arg(m_number) : germanText();
    for (const QString& a : m_args)
        s += QStringLiteral(" | ") + a;
    if (!m_file.isEmpty())
        s = m_file + QStringLiteral(": ") + s;
    if (m_position >= 0)
        s += QStringLiteral(" (byte %1)").arg(m_position);
    m_what = s.toStdString();
}

} // namespace pw
