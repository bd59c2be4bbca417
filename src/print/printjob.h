#pragma once

#include <QString>

#include <memory>

#include "core/result.h"
#include "paint/sheetpaintoptions.h"

class QPrinter;

namespace lm {

struct LabelSheet;

// Where the sheets of one print command go. On a printer every sheet is a
// print document of its own, sent as soon as it is printed. A printer that
// writes to a file gets one PDF document with one page per sheet, each page
// the sheet's size without margins: one document per sheet would leave only
// the last sheet in the file.
class PrintJob {
  public:
    // `documentName` names the print documents (the job title a print queue
    // shows) or the PDF's title.
    // `options` apply to every sheet of the job.
    static std::unique_ptr<PrintJob> start(QPrinter& printer, const QString& documentName,
                                           const SheetPaintOptions& options = {});

    virtual ~PrintJob() = default;

    // Names the documents printed from now on.
    virtual void setDocumentName(const QString& name) = 0;
    // Prints one sheet. After a failure nothing more is printed.
    virtual Status printSheet(const LabelSheet& sheet) = 0;
    // Ends the job; a file is written here (not at all when no sheet was
    // printed). Sheets already sent to a printer stay sent whatever happens.
    virtual Status finish() = 0;
    virtual int sheetCount() const = 0;
};

}  // namespace lm
