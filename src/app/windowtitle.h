#pragma once

#include <QString>

#include <string>

namespace lm {

// The title of the main window while no file is shown.
inline const QString kWindowTitle = QStringLiteral("Kelvarine Label Maker");

// The space before "(Page": one at start-up, after Save As and on closing;
// two after the page moves, loads and imports.
enum class TitleSpacing { OneSpace, TwoSpaces };

// "Kelvarine Label Maker - <FILE IN UPPER CASE>  (Page  2)": the page number
// with one leading blank where a minus sign would stand.
QString pageTitle(const std::string& fileName, int pageNumber, TitleSpacing spacing);

}  // namespace lm
