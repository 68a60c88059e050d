#pragma once

// The buttons at the foot of the program's dialogs: OK, and "Abbrechen" where the dialog
// can be left without its values. OK accepts the dialog, "Abbrechen" rejects it.

#include <QDialogButtonBox>

class QDialog;

namespace pw {

QDialogButtonBox* dialogButtons(QDialog* dialog, bool withCancel);

} // namespace pw
