#pragma once

#include <QString>
#include <memory>

#include "core/result.h"
#include "paint/sheetpaintoptions.h"

class QIODevice;

namespace lm {

struct LabelSheet;

// Writes label sheets into one PDF document, one page per sheet, each page the
// size of its sheet and without margins, so label positions are measured from
// the page's top-left corner. Sheets are written out as they are added: the
// memory needed does not grow with the number of sheets.
class PdfSheetWriter {
  public:
    // Writes to the file `path`. It is created or replaced only by a
    // successful finish(); until then an existing file stays as it was.
    explicit PdfSheetWriter(const QString& path);
    // Writes to an open device the caller keeps, such as standard output.
    explicit PdfSheetWriter(QIODevice* device);
    // Without finish() the file is left untouched.
    ~PdfSheetWriter();

    PdfSheetWriter(const PdfSheetWriter&) = delete;
    PdfSheetWriter& operator=(const PdfSheetWriter&) = delete;

    // The document's title in its properties; set before the first sheet.
    void setTitle(const QString& title);
    // Outlines and calibration for the sheets added from now on.
    void setPaintOptions(const SheetPaintOptions& options);

    // Adds one page and prints the sheet on it. After a failure every later
    // call reports the same failure.
    Status addSheet(const LabelSheet& sheet);

    // Completes the document and puts the file in place. A document without
    // any sheet is refused and nothing is written.
    Status finish();

    int sheetCount() const;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lm
