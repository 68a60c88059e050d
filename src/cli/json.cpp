#include "json.h"

#include "cli/cli.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace pw::cli {

void JsonWriter::newline() {
    m_out.append('\n');
    m_out.append(QByteArray(qsizetype(m_first.size()) * 2, ' '));
}

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out.append(',');
        m_first.back() = false;
        newline();
    }
}

void JsonWriter::beginObject() {
    beforeValue();
    m_out.append('{');
    m_first.push_back(true);
}

void JsonWriter::endObject() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        newline();
    m_out.append('}');
}

void JsonWriter::beginArray() {
    beforeValue();
    m_out.append('[');
    m_first.push_back(true);
}

void JsonWriter::endArray() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty)
        newline();
    m_out.append(']');
}

JsonWriter& JsonWriter::key(const char* name) {
    beforeValue();
    m_out.append('"').append(name).append("\": ");
    m_afterKey = true;
    return *this;
}

void JsonWriter::value(const QString& s) {
    beforeValue();
    m_out.append('"');
    const QByteArray utf8 = s.toUtf8();
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            m_out.append("\\\"");
            break;
        case '\\':
            m_out.append("\\\\");
            break;
        case '\n':
            m_out.append("\\n");
            break;
        case '\r':
            m_out.append("\\r");
            break;
        case '\t':
            m_out.append("\\t");
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                m_out.append(buf);
            } else {
                m_out.append(ch);
            }
        }
    }
    m_out.append('"');
}

void JsonWriter::value(bool b) {
    beforeValue();
    m_out.append(b ? "true" : "false");
}

void JsonWriter::value(qint32 i) {
    beforeValue();
    m_out.append(QByteArray::number(i));
}

void JsonWriter::value(quint32 u) {
    beforeValue();
    m_out.append(QByteArray::number(u));
}

void JsonWriter::value(double d) {
    if (!std::isfinite(d)) {
        null();
        return;
    }
    beforeValue();
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, d);
    m_out.append(buf, res.ptr - buf);
}

void JsonWriter::null() {
    beforeValue();
    m_out.append("null");
}

int printJson(const JsonWriter& j) {
    QByteArray out = j.data();
    out.append('\n');
    std::fwrite(out.constData(), 1, std::size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 ? kOk : kFailed;
}

} // namespace pw::cli
