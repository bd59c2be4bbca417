#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "guitestsupport.h"
#include "platform/qtdialogs.h"
#include "scripteddialogs.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

// Runs `act` on the modal dialog of type T as soon as it shows.
template <class T>
void whenShown(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

// Chooses `file` in the file dialog and accepts it, again a moment later
// while the dialog stays open: one still listing its folder in the
// background may not take the choice the first time.
void chooseFile(QFileDialog* box, const QString& file) {
    nameInFileDialog(*box, file);
    static_cast<QDialog*>(box)->accept();
    if (box->isVisible()) QTimer::singleShot(20, box, [box, file] { chooseFile(box, file); });
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
  private slots:
    void messageBoxShowsTheRequest_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("defaultButton");  // -1: none named
        QTest::addColumn<int>("press");
        QTest::addColumn<QString>("shown");  // Qt's buttons, icon and default button, as numbers
        QTest::addColumn<int>("answer");
        using QB = QMessageBox;
        QTest::newRow("ok, critical")
            << int(MessageButtons::Ok) << int(MessageIcon::Critical) << -1 << int(QB::Ok)
            << QStringLiteral("%1 icon %2 default %1").arg(QB::Ok).arg(QB::Critical)
            << int(MessageAnswer::Ok);
        QTest::newRow("yes no cancel, exclamation, Cancel default")
            << int(MessageButtons::YesNoCancel) << int(MessageIcon::Exclamation)
            << int(MessageAnswer::Cancel) << int(QB::Cancel)
            << QStringLiteral("%1 %2 %3 icon %4 default %3")
                   .arg(QB::Yes)
                   .arg(QB::No)
                   .arg(QB::Cancel)
                   .arg(QB::Warning)
            << int(MessageAnswer::Cancel);
    }
    // The program's title, line breaks as Qt shows them, the text not read as
    // rich text; the button pressed is the answer.
    void messageBoxShowsTheRequest() {
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(int, defaultButton);
        QFETCH(int, press);
        QFETCH(QString, shown);
        QFETCH(int, answer);
        lm::MessageRequest request;
        request.text = QStringLiteral("First line\r\nSecond <b>line</b>");
        request.buttons = MessageButtons(buttons);
        request.icon = MessageIcon(icon);
        if (defaultButton >= 0) request.defaultButton = MessageAnswer(defaultButton);
        QString seen;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            QList<int> standard;
            for (QAbstractButton* b : box->buttons()) standard << int(box->standardButton(b));
            std::sort(standard.begin(), standard.end());
            seen = box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|');
            for (int b : standard) seen += QString::number(b) + QLatin1Char(' ');
            seen += QStringLiteral("icon %1 default %2")
                        .arg(int(box->icon()))
                        .arg(int(box->standardButton(box->defaultButton())));
            box->button(QMessageBox::StandardButton(press))->click();
        });
        QCOMPARE(int(lm::QtDialogs().message(request)), answer);
        QCOMPARE(seen,
                 QStringLiteral("Kelvarine Label Maker|First line\nSecond <b>line</b>|") + shown);
    }
    void messageBoxShowsAllOfItsTextAndTitle_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << QStringLiteral("Label file has been cleared!");
        QTest::newRow("a path and a reason") << QStringLiteral(
            "The file /home/operator/exports/2026/december/catme-labels.txt could "
            "not be imported.\r\n\r\nIt holds NUL bytes: a binary file, or text "
            "in UTF-16, is no export. Nothing was imported.");
    }
    // The whole text fits its label, wrapped where it must be, and the box is
    // wide enough for its title.
    void messageBoxShowsAllOfItsTextAndTitle() {
        QFETCH(QString, text);
        lm::MessageRequest request;
        request.text = text;
        request.icon = MessageIcon::Critical;
        int boxWidth = 0;
        int titleWidth = 0;
        bool textFits = false;
        QString labelSize;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (label) {
                textFits = label->wordWrap()
                               ? label->height() >= label->heightForWidth(label->width())
                               : label->width() >= label->sizeHint().width();
                labelSize = QStringLiteral("%1 x %2").arg(label->width()).arg(label->height());
            }
            boxWidth = box->width();
            titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->button(QMessageBox::Ok)->click();
        });
        lm::QtDialogs().message(request);
        QVERIFY2(textFits,
                 qPrintable(QStringLiteral("the text does not fit its label of ") + labelSize));
        QVERIFY2(boxWidth > titleWidth, qPrintable(QString::number(boxWidth)));
    }
    void inputBoxGivesTheAnswerOrCancel() {
        lm::QtDialogs dialogs;
        QString label, title, preset;
        whenShown<QInputDialog>([&](QInputDialog* box) {
            label = box->labelText();
            title = box->windowTitle();
            preset = box->textValue();
            box->setTextValue(QStringLiteral("  "));
            box->accept();
        });
        QCOMPARE(dialogs.inputBox(QStringLiteral("Type a new top margin:"),
                                  QStringLiteral("Top Margin"), QStringLiteral(" 920")),
                 std::optional<QString>(QStringLiteral("  ")));
        QCOMPARE(label, QStringLiteral("Type a new top margin:"));
        QCOMPARE(title, QStringLiteral("Top Margin"));
        QCOMPARE(preset, QStringLiteral(" 920"));

        whenShown<QInputDialog>([](QInputDialog* box) { box->reject(); });
        QVERIFY(!dialogs.inputBox(QStringLiteral("p"), QStringLiteral("t"), QString()));
    }
    // Each problem names its page, row, column, label and what is wrong: the list
    // is wide enough to read the longest of them without scrolling sideways.
    void printProblemsReadWhole() {
        const QStringList problems{
            QStringLiteral("Page 1, row 1, column 1, spine label: HF5415.1265: The text does not "
                           "fit its label: a word is broken inside it"),
            QStringLiteral("Page 12, row 5, column 8, second pocket label: <Blank>: will print")};
        bool whole = false;
        QString sizes;
        whenShown<QDialog>([&](QDialog* dialog) {
            auto* list = dialog->findChild<QListWidget*>();
            if (list) {
                const int widest = list->fontMetrics().horizontalAdvance(problems[0]);
                whole = list->viewport()->width() >= widest;
                sizes = QStringLiteral("%1 for %2").arg(list->viewport()->width()).arg(widest);
            }
            dialog->reject();
        });
        QCOMPARE(lm::QtDialogs().printProblems(QStringLiteral("These labels:"), problems).action,
                 lm::PrintProblemAction::Cancel);
        QVERIFY2(whole, qPrintable(sizes));
    }
    void fileDialogsStartFromTheLastName() {
        QTemporaryDir dir;
        QString chosen = dir.filePath(QStringLiteral("labels.dat"));
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        lm::QtDialogs dialogs;
        QStringList filters;
        QString title;
        whenShown<QFileDialog>([&](QFileDialog* box) {
            filters = box->nameFilters();
            title = box->windowTitle();
            chooseFile(box, chosen);
        });
        QCOMPARE(dialogs.openFileName(
                     QStringLiteral("Open Label File"),
                     QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*")),
                 std::optional<QString>(chosen));
        QCOMPARE(title, QStringLiteral("Open Label File"));
        QCOMPARE(filters, QStringList({QStringLiteral("Label Files (*.dat *.txt)"),
                                       QStringLiteral("All Files (*)")}));

        QStringList preselected;
        QDir folder;
        whenShown<QFileDialog>([&](QFileDialog* box) {
            preselected = box->selectedFiles();
            folder = box->directory();
            box->reject();
        });
        QVERIFY(
            !dialogs.saveFileName(QStringLiteral("Save Label File"),
                                  QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*")));
        QCOMPARE(folder.absolutePath(), QDir(dir.path()).absolutePath());
        QCOMPARE(preselected, QStringList{chosen});
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
