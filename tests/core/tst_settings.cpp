#include <QTest>

#include "core/settings.h"

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultLine();
};

void TestSettings::defaultLine() {
    QCOMPARE(QByteArray::fromStdString(lm::formatSettingsLine(lm::defaultSettings())),
             QByteArray("\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New "
                        "Roman\",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n"));
}

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
