#include "testmain.h"

#include "app/mainwindow.h"

using namespace pw;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void theWindowShowsTheProgramsCaption() {
        TMainForm window;
        QVERIFY(window.windowTitle().startsWith(QStringLiteral("Orvanto Pagewright 1.0")));
    }
};

PW_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
