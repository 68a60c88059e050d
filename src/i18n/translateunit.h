#pragma once

// The numbered message table and the lookup of interface texts.

#include "model/error.h"

#include <QString>
#include <QStringList>

namespace pw {

constexpr int kFirstMessage = 1;
constexpr int kLastMessage = 58;

// The German text of message n, or an empty string for a number the table does not
// hold (14, 25, 26, 33 and anything outside 1..58).
QString messageGerman(int n);
bool messageExists(int n);

// Message n in the current interface language. For a number outside the table the
// output is left unchanged.
void GetMessageText(int n, QString& text);
QString GetMessageText(int n);

// The template column captions a new document starts with: messages 15 to 19.
QStringList DefaultTemplateColumns();

// The words a front end shows for an error: the message (or plain text) in the interface
// language, its arguments, and the byte position where there is one. The file an error
// names is left to the caller, which knows whether it was already said.
QString errorText(const Error& e);

// Appends arguments to a message the way message boxes show them: directly after a text
// that ends in a space, else after ": ".
QString joinMessage(const QString& text, const QStringList& args);

} // namespace pw
