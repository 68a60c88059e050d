#include "app/dialogs/folderdialog.h"

#include "model/services.h"

#include <QDialogButtonBox>
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

    auto* buttons = new QDialogButtonBox(
        withCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, this);
    if (withCancel)
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
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
