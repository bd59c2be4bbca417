#include "pagefixtures.h"

#include "app/forms1.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "platform/labelcontrol.h"

QList<QByteArray> labelSetTexts(int labelType, int sets) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    QList<QByteArray> texts;
    for (int k = 1; k <= sets; ++k) {
        QByteArray number = QByteArray::number(k);
        texts << "S" + number;
        if (type->pocketsPerSet >= 1) texts << "P" + number + "a";
        if (type->pocketsPerSet >= 2) texts << "P" + number + "b";
    }
    return texts;
}

QByteArray labelFileBytes(const QList<QByteArray>& texts) {
    QByteArray bytes;
    for (const QByteArray& text : texts) bytes += text + "~~";
    return bytes;
}

QByteArray numberedLabels(int from, int to) {
    QByteArray bytes;
    for (int i = from; i <= to; ++i) bytes += "L" + QByteArray::number(i) + "~~";
    return bytes;
}

QList<QByteArray> pageTexts(int labelType, const QList<QByteArray>& texts, int pageNumber) {
    const int perPage = lm::labelTypeInfo(labelType)->textsPerPage();
    return texts.mid((pageNumber - 1) * perPage, perPage);
}

QList<QByteArray> shownTexts(lm::Forms1& window) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(window.state().LabelType());
    const lm::LabelPage& page = window.page();
    QList<QByteArray> texts;
    int pocket = 2;
    for (int spine = 2; spine <= window.state().LastSpineIndex; ++spine) {
        texts << QByteArray::fromStdString(page.spineText(spine));
        for (int i = 0; i < type->pocketsPerSet; ++i)
            texts << QByteArray::fromStdString(page.pocketText(pocket++));
    }
    while (!texts.isEmpty() && texts.last().isEmpty()) texts.removeLast();
    return texts;
}

void typeInto(lm::LabelControl* label, const QString& text) {
    label->setSelectionStart(int(label->toPlainText().size()));
    label->replaceSelection(text);
}

QString titleOf(const QString& path, int page, bool twoSpaces) {
    return QStringLiteral("Kelvarine Label Maker - %1%2(Page %3)")
        .arg(path.toUpper(), twoSpaces ? QStringLiteral("  ") : QStringLiteral(" "),
             page < 0 ? QString::number(page) : QStringLiteral(" ") + QString::number(page));
}
