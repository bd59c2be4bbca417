#include <QAction>
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
#include "platform/twips.h"
#include "scripteddialogs.h"

namespace {

QList<lm::frmAbout*> aboutBoxes(const lm::Forms1& window) {
    return window.findChildren<lm::frmAbout*>();
}

lm::frmAbout* openFrom(lm::Forms1& window, const char* item) {
    window.menuItem(QString::fromUtf8(item))->trigger();
    const QList<lm::frmAbout*> boxes = aboutBoxes(window);
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
    void init();
    void cleanup();
    void bothHelpItemsOpenOneModelessBox();
    void boxNamesProductVersionAndWebPage();
    void clickingTheLinkOpensItsAddress();
    void enterClosesTheBoxWithoutOpeningTheLink();
    void linkOpensFromTheKeyboard();
    void openBoxIsBroughtForward();
    void okClosesAndUnloadsTheBox();

  private:
    QList<QUrl> m_opened;
};

void TestAbout::init() {
    m_opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
}

void TestAbout::cleanup() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestAbout::bothHelpItemsOpenOneModelessBox() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.window->show();
    lm::frmAbout* box = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(box->windowTitle(), QStringLiteral("About Label Maker"));
    QCOMPARE(openFrom(*s.window, "mnuHelp_Technical"), box);
    QCOMPARE(openFrom(*s.window, "mnuHelp_about"), box);
    // The main window's commands still run while it is open.
    s.window->menuItem(QStringLiteral("mnuHelp_Technical"))->trigger();
    QCOMPARE(aboutBoxes(*s.window).size(), 1);
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestAbout::boxNamesProductVersionAndWebPage() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    lm::frmAbout* box = openFrom(*s.window, "mnuHelp_Technical");
    QVERIFY(box);
    QCOMPARE(labelText(*box, "lblTitle"), QStringLiteral("Kelvarine Label Maker"));
    QCOMPARE(labelText(*box, "lblVersion"), QStringLiteral("Version: 4.11"));
    QCOMPARE(labelText(*box, "lblSupport"), QStringLiteral("Technical Support:"));
    const QUrl address(labelText(*box, "lblWebLink"));
    QVERIFY(address.isValid());
    QVERIFY2(address.host().endsWith(QStringLiteral(".example")), qPrintable(address.host()));
    QVERIFY(address.path().endsWith(QStringLiteral("/labelmak.htm")));
    QCOMPARE(labelText(*box, "lblCopyRight").split(QLatin1Char('\n')).size(), 2);
    QVERIFY(labelText(*box, "lblCopyRight").contains(QStringLiteral("Kelvarine")));
    QPushButton* ok = box->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(box->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^Line1_"))).size(), 2);
    // Its client area is 5730 x 3555 twips.
    QCOMPARE(box->width(), lm::twipsToPixels(5730, box->logicalDpiX()));
    QCOMPARE(box->height(), lm::twipsToPixels(3555, box->logicalDpiY()));
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestAbout::clickingTheLinkOpensItsAddress() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    lm::frmAbout* box = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(box);
    QLabel* link = box->findChild<QLabel*>(QStringLiteral("lblWebLink"));
    QVERIFY(link);
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(m_opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(lm::kProductWebPage)});
    QCOMPARE(link->text(), lm::kProductWebPage);
    QVERIFY(box->isVisible());
    LM_VERIFY_DIALOGS(s.dialogs);  // nothing to report
}

void TestAbout::enterClosesTheBoxWithoutOpeningTheLink() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.window->show();
    QPointer<lm::frmAbout> box = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowActive(box));
    QCOMPARE(QApplication::focusWidget(), box->findChild<QWidget*>(QStringLiteral("cmdOK")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(box.isNull());
    QVERIFY(m_opened.isEmpty());
}

void TestAbout::linkOpensFromTheKeyboard() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    lm::frmAbout* box = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(box);
    QLabel* link = box->findChild<QLabel*>(QStringLiteral("lblWebLink"));
    QVERIFY(link->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Space);
    QCOMPARE(m_opened.size(), 2);
    QCOMPARE(m_opened.constLast(), QUrl(lm::kProductWebPage));
}

void TestAbout::openBoxIsBroughtForward() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.window->show();
    lm::frmAbout* box = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(box);
    box->showMinimized();
    QVERIFY(box->isMinimized());
    QCOMPARE(openFrom(*s.window, "mnuHelp_Technical"), box);
    QVERIFY(!box->isMinimized());
    QVERIFY(box->isVisible());
    box->hide();
    QCOMPARE(openFrom(*s.window, "mnuHelp_about"), box);
    QVERIFY(box->isVisible());
}

void TestAbout::okClosesAndUnloadsTheBox() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    QPointer<lm::frmAbout> box = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(box);
    QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(box.isNull());
    QVERIFY(aboutBoxes(*s.window).isEmpty());
    lm::frmAbout* again = openFrom(*s.window, "mnuHelp_about");
    QVERIFY(again);
    QVERIFY(again->isVisible());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
