#include "testmain.h"
#include "model/orvanto.h"
class TestMessages : public QObject { Q_OBJECT
private slots:
  void x() { QVERIFY(true); }
};
PW_TEST_CLASS(TestMessages)
#include "tst_messages.moc"
