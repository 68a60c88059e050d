#pragma once

// A small writer for the JSON that pagewright-cli prints: keys in the order written,
// two-space indentation, and numbers that read back to the same double.

#include <QByteArray>
#include <QString>

#include <vector>

namespace pw::cli {

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The key of the next value inside an object.
    JsonWriter& key(const char* name);

    void value(const QString& s);
    void value(bool b);
    void value(qint32 i);
    void value(quint32 u);
    void value(double d); // shortest form that reads back exactly; null when not finite
    void null();

    const QByteArray& data() const { return m_out; }

private:
    void beforeValue();
    void newline();

    QByteArray m_out;
    std::vector<bool> m_first; // per open container: nothing written in it yet
    bool m_afterKey = false;
};

// Writes the document and a line end to stdout; kOk, or kFailed when stdout fails.
int printJson(const JsonWriter& j);

} // namespace pw::cli
