#include "testmain.h"
#include "model/orvanto.h"
class TestCli : public QObject { Q_OBJECT
private slots:
  void x() { QVERIFY(true); }
};
PW_TEST_CLASS(TestCli)
#include "tst_cli.moc"
