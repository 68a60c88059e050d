#include "app/mainwindow.h"

namespace pw {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Orvanto Pagewright 1.0"));
    resize(1024, 768);
}

} // namespace pw
