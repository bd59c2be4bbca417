// The real labelmaker-cli writes only its own words on stderr, also where no
// XDG_RUNTIME_DIR is set (a root shell, cron, a container), and leaves no
// folder of its own behind.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "clirun.h"

class TestCliStderr : public QObject {
    Q_OBJECT
  private slots:
    void onlyTheProgramsOwnWords_data() {
        QTest::addColumn<QString>("command");  // LABELS and PDF stand for the two paths
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("pdf") << "pdf LABELS PDF" << 0 << QByteArray();
        QTest::newRow("pages") << "pages --type 1 LABELS" << 0 << QByteArray();
        QTest::newRow("refused") << "delete --type 1 --page 1 --label 0 LABELS" << 2
                                 << QByteArray("No label is selected!\n");
    }
    void onlyTheProgramsOwnWords() {
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(QByteArray, err);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("tmp")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("qortex")));
        const QString labels = dir.filePath(QStringLiteral("l.dat"));
        QVERIFY(clitest::writeBytes(labels, "A~~B~~"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
        env.insert(QStringLiteral("QORTEX_DIR"), dir.filePath(QStringLiteral("qortex")));
        QStringList arguments = command.split(QLatin1Char(' '));
        arguments.replaceInStrings(QStringLiteral("LABELS"), labels);
        arguments.replaceInStrings(QStringLiteral("PDF"), dir.filePath(QStringLiteral("l.pdf")));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(clitest::cliProgram(), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.readAllStandardError(), err);
        QCOMPARE(process.exitCode(), status);
        QCOMPARE(clitest::folderEntries(dir.filePath(QStringLiteral("tmp"))), QStringList());
    }
};

QTEST_APPLESS_MAIN(TestCliStderr)
#include "tst_clistderr.moc"
