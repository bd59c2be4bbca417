#pragma once

#include <QList>
#include <QString>

// One word of a PDF page as pdftotext -bbox reports it, in twips from the
// page's top-left corner (the tool reports points; one point is 20 twips).
struct PdfWord {
    QString text;
    double left = 0;
    double top = 0;  // the top of the font's ascent, i.e. the top of the line
    double right = 0;
    double bottom = 0;
};

struct PdfPage {
    double width = 0;  // twips
    double height = 0;
    QList<PdfWord> words;

    // The one word with this text, or nullptr when there is none or several.
    const PdfWord* word(const QString& text) const;
};

// The pages of a PDF file with their words; fails (with *error set) when
// pdftotext cannot be run or reports an error.
bool readPdfWords(const QString& pdfPath, QList<PdfPage>* pages, QString* error);
