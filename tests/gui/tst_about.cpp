#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/forms1.h"
#include "app/frmabout.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "scripteddialogs.h"

namespace {

// The one about box the item leaves open, or null.
lm::frmAbout* openFrom(lm::Forms1& window, const char* item) {
    trigger(window, QString::fromUtf8(item));
    const QList<lm::frmAbout*> boxes = window.findChildren<lm::frmAbout*>();
    return boxes.size() == 1 ? boxes.constFirst() : nullptr;
}

QString labelText(const lm::frmAbout& box, const char* name) {
    const QLabel* label = box.findChild<QLabel*>(QString::fromUtf8(name));
    return label ? label->text() : QStringLiteral("(no %1)").arg(QString::fromUtf8(name));
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
  public slots:
    // Stands in for the desktop's browser.
    void openUrl(const QUrl& url) { m_opened << url; }

  private slots:
    void init() {
        m_opened.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    }
    void cleanup() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    // Either Help item shows the same box, brought forward when minimized or
    // hidden; OK unloads it and the next item makes a new one. The link opens
    // by a left click, Enter or Space; Enter on OK closes without opening it.
    void bothHelpItemsShowOneModelessBox() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        s.window->show();
        QPointer<lm::frmAbout> box = openFrom(*s.window, "mnuHelp_about");
        QVERIFY(box && box->isVisible() && !box->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(box->windowTitle(), QStringLiteral("About Label Maker"));
        QCOMPARE(labelText(*box, "lblTitle"), QStringLiteral("Kelvarine Label Maker"));
        QCOMPARE(labelText(*box, "lblVersion"), QStringLiteral("Version: 4.11"));
        QCOMPARE(labelText(*box, "lblSupport"), QStringLiteral("Technical Support:"));
        QCOMPARE(labelText(*box, "lblWebLink"), lm::kProductWebPage);

        box->showMinimized();
        QCOMPARE(openFrom(*s.window, "mnuHelp_Technical"), box.data());
        QVERIFY(!box->isMinimized() && box->isVisible());
        box->hide();
        QCOMPARE(openFrom(*s.window, "mnuHelp_about"), box.data());
        QVERIFY(box->isVisible());

        QPushButton* ok = box->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QTRY_VERIFY(box.isNull());
        box = openFrom(*s.window, "mnuHelp_Technical");
        QVERIFY(box && box->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(box));
        ok = box->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QCOMPARE(QApplication::focusWidget(), ok);  // where the focus starts
        QLabel* link = box->findChild<QLabel*>(QStringLiteral("lblWebLink"));
        QTest::mouseClick(link, Qt::RightButton);
        QVERIFY(m_opened.isEmpty());
        QTest::mouseClick(link, Qt::LeftButton);
        QVERIFY(link->focusPolicy() & Qt::TabFocus);
        QTest::keyClick(link, Qt::Key_Return);
        QTest::keyClick(link, Qt::Key_Space);
        const QUrl page(lm::kProductWebPage);
        QCOMPARE(m_opened, (QList<QUrl>{page, page, page}));
        QVERIFY(box->isVisible());

        // Enter on the OK button closes the box without opening the link.
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
        QTRY_VERIFY(box.isNull());
        QCOMPARE(m_opened.size(), 3);
    }

  private:
    QList<QUrl> m_opened;
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
