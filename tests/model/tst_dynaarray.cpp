#include "testmain.h"
#include "model/orvanto.h"
class TestDynaArray : public QObject { Q_OBJECT
private slots:
  void x() { QVERIFY(true); }
};
PW_TEST_CLASS(TestDynaArray)
#include "tst_dynaarray.moc"
