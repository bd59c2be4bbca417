#pragma once

#include <string>

#include "core/linereader.h"
#include "core/emptyoutput.h"
#include "core/result.h"

namespace lm {

// What a conversion did.
struct ConvertSummary {
    long long labelsWritten = 0;
    // The progress callback asked to stop: the output file was left as it was.
    bool cancelled = false;
};

// Turns a column export of CatME or the Connexion Client into a label file.
// The export is taken to be laid out for `labelType`, one fixed block of
// lines per label; Mailer-1 and types outside 1 to 10 have no layout and give
// an empty label file. The import commands write into the working folder's
// kImportResultFile; `outputPath` is replaced only when the whole conversion
// succeeded, so a failure leaves the previous result intact. An export line
// that would put "~~" inside a label text is refused with the line where its
// label begins: the label file would read that text as two.
// With EmptyOutput::KeepPrevious a conversion that gives no label leaves
// `outputPath` as it was (labelsWritten is 0).
Result<ConvertSummary> FileConvert(const std::string& originalFile, int labelType,
                                   const std::string& outputPath,
                                   const ProgressCallback& progress = {},
                                   EmptyOutput empty = EmptyOutput::Write);

}  // namespace lm
