// The name Save As and the question on closing write to: a name typed
// without a suffix gets ".dat", as the dialog offers, so that Load's filter
// shows the file; any name with a suffix is kept as typed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/qtdialogs.h"
#include "scripteddialogs.h"
#include "store/savecommands.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

class TestSaveAsName : public QObject {
    Q_OBJECT
  private slots:
    void nameGetsTheLabelSuffix_data() {
        QTest::addColumn<bool>("closing");  // the question on closing instead of Save As
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no suffix") << false << "labels"
                                   << "labels.dat";
        QTest::newRow("dotted name") << false << "week.12"
                                     << "week.12";
        QTest::newRow("dot in the folder only") << false << "batch.d/labels"
                                                << "batch.d/labels.dat";
        QTest::newRow("closing, no suffix") << true << "labels"
                                            << "labels.dat";
    }
    void nameGetsTheLabelSuffix() {
        QFETCH(bool, closing);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        StartedWindow s(settingsForType(lm::kSp1, lm::kBatchPrinting));
        QVERIFY(s.window);
        QVERIFY(QDir(s.folder.path()).mkpath(QStringLiteral("batch.d")));
        typeInto(s.window->spineControl(2), QStringLiteral("A"));
        const QString folder = s.folder.path() + QLatin1Char('/');
        if (closing)
            s.dialogs.expectMessage(lm::kPageChangedQuestion, MessageButtons::YesNoCancel,
                                    MessageIcon::Question, MessageAnswer::Yes);
        s.dialogs.expectSaveFile(lm::kSaveDialogTitle, lm::kSaveDialogFilter, folder + typed);
        if (closing) {
            QVERIFY(lm::mayCloseWindow(*s.window));
        } else {
            trigger(*s.window, QStringLiteral("mnuFile_SaveAs"));
        }
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(QString::fromStdString(s.window->state().CurrentFileName), folder + written);
        QCOMPARE(s.window->windowTitle(), titleOf(folder + written, 1, false));
        QFile file(folder + written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("A~~"));
        if (typed != written) QVERIFY(!QFile::exists(folder + typed));
    }
    // The working file typed without its suffix is still the working file.
    void suffixedWorkingFileIsRefusedWithBatchPrinting() {
        StartedWindow s(settingsForType(lm::kSp1, lm::kBatchPrinting));
        QVERIFY(s.window);
        typeInto(s.window->spineControl(2), QStringLiteral("A"));
        const QString folder = s.folder.path() + QLatin1Char('/');
        s.dialogs.expectSaveFile(lm::kSaveDialogTitle, lm::kSaveDialogFilter,
                                 folder + QStringLiteral("$$label"));
        s.dialogs.expectOk(
            folder + QStringLiteral("$$label.dat is a reserved file! Please name another file."),
            MessageIcon::Critical);
        s.dialogs.expectSaveFile(lm::kSaveDialogTitle, lm::kSaveDialogFilter, std::nullopt);
        trigger(*s.window, QStringLiteral("mnuFile_SaveAs"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QVERIFY(s.window->state().CurrentFileName.empty());
        QVERIFY(s.window->state().PageChanged);
    }
    // Qt's own dialog adds the suffix too, so that its question before
    // overwriting names the file that will be written.
    void saveDialogAddsTheSuffixBeforeItAsks() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString suffix;
        QTimer hand;
        QObject::connect(&hand, &QTimer::timeout, &hand, [&] {
            // Chosen again while the dialog stays open: one still listing its
            // folder may not take the first choice.
            auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            hand.setInterval(20);
            suffix = box->defaultSuffix();
            nameInFileDialog(*box, dir.filePath(QStringLiteral("labels")));
            QMetaObject::invokeMethod(box, "accept");  // QFileDialog's own, with its checks
        });
        hand.start(0);
        lm::QtDialogs dialogs;
        const std::optional<QString> chosen =
            dialogs.saveFileName(lm::kSaveDialogTitle, lm::kSaveDialogFilter);
        QCOMPARE(suffix, QStringLiteral("dat"));
        QCOMPARE(chosen, std::optional<QString>(dir.filePath(QStringLiteral("labels.dat"))));
    }
};

QTEST_MAIN(TestSaveAsName)
#include "tst_saveasname.moc"
