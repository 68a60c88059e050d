#pragma once

// A folder to write into, typed or chosen with the button beside the field: the output
// folder of the flip catalogue ("Als HTML Blätterkatalog exportieren", with OK and
// "Abbrechen") and the folder the pictures are copied into ("Bilddateien umkopieren",
// with OK only). The field is DirectoryEdit1 in both.

#include <QDialog>

class QLineEdit;

namespace pw {

class Prompts;

class FolderDialog : public QDialog {
    Q_OBJECT
public:
    // `prompts` answers the browse button (the folder choice); it must outlive the dialog.
    FolderDialog(const char* objectName, const QString& caption, const QString& label, bool withCancel,
                 Prompts& prompts, QWidget* parent = nullptr);
    QString folder() const;
    void setFolder(const QString& folder);

private:
    QLineEdit* m_folder;
};

} // namespace pw
