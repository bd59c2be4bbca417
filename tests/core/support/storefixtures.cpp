#include "storefixtures.h"

#include <QTest>

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

int runAsOrdinaryUser(const std::vector<QString>& ownedPaths, const std::function<int()>& body) {
    if (geteuid() != 0) return body();
    const uid_t nobody = 65534;
    for (const QString& path : ownedPaths)
        if (chown(QFile::encodeName(path).constData(), nobody, nobody) != 0) return -1;
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(255);
        _exit(body() & 0xff);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

UnencodablePage::UnencodablePage(lm::MemoryPage page, int spineElement, int pocketElement)
    : lm::MemoryPage(std::move(page)), m_spine(spineElement), m_pocket(pocketElement) {}

}  // namespace lmtest
