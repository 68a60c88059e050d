#include "app/dialogs/folderdialog.h"

#include "app/dialogs/dialogbuttons.h"
#include "model/services.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {

FolderDialog::FolderDialog(const char* objectName, const QString& caption, const QString& label,
                           bool withCancel, Prompts& prompts, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    auto* text = new QLabel(label, this);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("DirectoryEdit1"));
    text->setBuddy(m_folder);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAccessibleName(QStringLiteral("Verzeichnis wählen"));
    browse->setToolTip(QStringLiteral("Verzeichnis wählen"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this, &prompts, caption] {
        const QString chosen = prompts.folderName(caption);
        if (!chosen.isEmpty())
            m_folder->setText(QDir::toNativeSeparators(chosen));
    });
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(browse);

    auto* buttons = dialogButtons(this, withCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

QString FolderDialog::folder() const {
    return m_folder->text().trimmed();
}

void FolderDialog::setFolder(const QString& folder) {
    m_folder->setText(folder);
}

} // namespace pw
