#include "app/dialogs/pricelistdialog.h"

#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace pw {

PriceListDialog::PriceListDialog(std::unique_ptr<QTextDocument> document,
                                 std::function<void(QTextDocument&)> print, std::function<void()> setUp,
                                 QWidget* parent)
    : QDialog(parent), m_document(std::move(document)) {
    setObjectName(QStringLiteral("TPreisListeForm"));
    setWindowTitle(QStringLiteral("Preisliste"));
    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = tools->addAction(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("BitBtn1"));
    connect(ok, &QAction::triggered, this, &QDialog::accept);
    QAction* printAction =
        tools->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("Drucken"));
    printAction->setObjectName(QStringLiteral("BitBtn2"));
    connect(printAction, &QAction::triggered, this, [this, print] { print(*m_document); });
    QAction* setUpAction = tools->addAction(style()->standardIcon(QStyle::SP_FileDialogInfoView),
                                            QStringLiteral("Drucker einrichten..."));
    setUpAction->setObjectName(QStringLiteral("BitBtn3"));
    // A tool button drops the dots of a caption unless told otherwise.
    for (QAction* a : tools->actions())
        a->setIconText(a->text());
    connect(setUpAction, &QAction::triggered, this, [setUp] { setUp(); });

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("RichEdit1"));
    m_text->setAccessibleName(QStringLiteral("Preisliste"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setDocument(m_document.get());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(m_text, 1);
    resize(820, 640);
}

PriceListDialog::~PriceListDialog() {
    // The edit shows the document; it lets go of it before the document goes.
    m_text->setDocument(nullptr);
}

} // namespace pw
