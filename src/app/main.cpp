#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagewright"));
    pw::TMainForm window;
    window.show();
    return QApplication::exec();
}
