#pragma once

#include <QList>
#include <QString>

// What poppler-utils read from a PDF file: each page's size and its words.
// Lengths are twips from the page's top-left corner (the tools report
// points; one point is 20 twips).

struct PdfWord {
    QString text;
    double left = 0;
    double top = 0;  // the top of the line the word sits on
    double right = 0;
    double bottom = 0;
};

struct PdfPage {
    double width = 0;
    double height = 0;
    QList<PdfWord> words;

    // The one word with this text, or nullptr when there is none or several.
    const PdfWord* word(const QString& text) const;
    QStringList texts() const;
};

// The pages of `pdfPath` with their words (pdftotext -bbox); false with
// *error set when the tool cannot run or rejects the file.
bool readPdf(const QString& pdfPath, QList<PdfPage>* pages, QString* error);

// The page count pdfinfo reports, or -1 with *error set.
int pdfPageCount(const QString& pdfPath, QString* error);
