#include "error.h"

namespace pw {

Error::Error(int messageNumber, QStringList args) : m_number(messageNumber), m_args(std::move(args)) {
    composeWhat();
}

Error Error::text(const QString& text, const QString& file, qint64 position) {
    Error e;
    e.m_text = text;
    e.m_file = file;
    e.m_position = position;
    e.composeWhat();
    return e;
}

void Error::composeWhat() {
    QString s = m_number > 0 ? QStringLiteral("message %1").arg(m_number) : m_text;
    for (const QString& a : m_args)
        s += QStringLiteral(" | ") + a;
    if (!m_file.isEmpty())
        s = m_file + QStringLiteral(": ") + s;
    if (m_position >= 0)
        s += QStringLiteral(" (byte %1)").arg(m_position);
    m_what = s.toStdString();
}

} // namespace pw
