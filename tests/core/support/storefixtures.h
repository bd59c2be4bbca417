#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

#include "core/labelpage.h"

namespace lmtest {

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// "L1~~L2~~...": the texts `prefix`from .. `prefix`to, each terminated.
std::string numberedLabels(const std::string& prefix, int from, int to);
// The texts joined into label file bytes, each followed by "~~".
std::string labelFile(const std::vector<std::string>& texts);

// Entries of a folder, hidden ones included (scratch files are hidden).
int entriesIn(const QString& folder);

// The texts of spine elements 2..last and pocket elements 2..last.
std::vector<std::string> spineTexts(const lm::LabelPage& page);
std::vector<std::string> pocketTexts(const lm::LabelPage& page);

}  // namespace lmtest
