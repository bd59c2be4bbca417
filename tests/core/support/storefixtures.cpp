#include "storefixtures.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace lmtest {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::string numberedLabels(const std::string& prefix, int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i) out += prefix + std::to_string(i) + "~~";
    return out;
}

std::string labelFile(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& text : texts) out += text + "~~";
    return out;
}

int entriesIn(const QString& folder) {
    return int(QDir(folder)
                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

std::vector<std::string> spineTexts(const lm::LabelPage& page) {
    std::vector<std::string> texts;
    for (int i = 2; i <= page.lastSpineIndex(); ++i) texts.push_back(page.spineText(i));
    return texts;
}

std::vector<std::string> pocketTexts(const lm::LabelPage& page) {
    std::vector<std::string> texts;
    for (int i = 2; i <= page.lastPocketIndex(); ++i) texts.push_back(page.pocketText(i));
    return texts;
}

}  // namespace lmtest
