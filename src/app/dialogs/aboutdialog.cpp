#include "aboutdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <gif_lib.h>
#include <lcms2.h>
#include <libdeflate.h>

namespace pw {

QStringList AboutDialog::aboutLines() {
    return {
        QStringLiteral("Version %1").arg(QStringLiteral(PW_VERSION)),
        QStringLiteral("© 2026 Pagewright. Alle Rechte vorbehalten. Ohne Gewähr."),
        QString(),
        QStringLiteral("Verwendete Bibliotheken:"),
        QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
        QStringLiteral("libdeflate %1").arg(QStringLiteral(LIBDEFLATE_VERSION_STRING)),
        QStringLiteral("Little CMS %1.%2").arg(LCMS_VERSION / 1000).arg(LCMS_VERSION % 1000 / 10),
        QStringLiteral("giflib %1.%2.%3").arg(GIFLIB_MAJOR).arg(GIFLIB_MINOR).arg(GIFLIB_RELEASE),
    };
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Info"));
    setWindowTitle(QStringLiteral("Info"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Pagewright"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    layout->addWidget(name);
    for (const QString& line : aboutLines()) {
        auto* label = new QLabel(line, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace pw
