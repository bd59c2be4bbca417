#pragma once

#include <string>
#include <vector>

#include "core/emptyoutput.h"
#include "core/linereader.h"
#include "core/result.h"

namespace lm {

// One file of a folder of Connexion label exports.
struct ExportFile {
    std::string path;
    long long modifiedNs = 0;  // last modification, nanoseconds since 1970
    long long size = 0;
};

// What an extract did.
struct ExtractSummary {
    long long recordsRead = 0;
    long long recordsWritten = 0;
    // "Invalid Call Index N" once for every record that was not written, for
    // the caller to show: the call index has no texts to write.
    std::vector<std::string> messages;
    // The progress callback asked to stop: the output file was left as it was.
    bool cancelled = false;
};

// The fixed names the extract commands write into the working folder.
std::string newFileName(int callIndex);          // "NewFile_3.dat"
std::string newFileMultipleName(int callIndex);  // "NewFileMultiple_3.dat"

std::string invalidCallIndexMessage(int callIndex);  // "Invalid Call Index 7"

// The export files of `folder` in name order: its regular files (links
// followed), without subfolders and hidden files.
Result<std::vector<ExportFile>> listExportFiles(const std::string& folder);

// Oldest first, by a selection sort whose order for equal times the
// extract has always had.
void sortOldestFirst(std::vector<ExportFile>& files);

// Both extracts refuse an export whose record would put "~~" inside a label
// text (the label file would read that text as two), naming the export file
// or the line where the record begins; the output is then left as it was.

// Makes one label set of every file of `folderPath`, oldest file first, for
// the label type `callIndex`, and writes them as the label file `outputPath`
// (the window's is newFileName(callIndex) in the working folder). The output
// is replaced only when the whole extract succeeded, and with
// EmptyOutput::KeepPrevious only when it wrote a label set.
Result<ExtractSummary> InfoExtract(const std::string& folderPath, int callIndex,
                                   const std::string& outputPath,
                                   const ProgressCallback& progress = {},
                                   EmptyOutput empty = EmptyOutput::Write);

// Makes one label set of every nine-line record of `exportFile`; blank lines
// between records are skipped and an unfinished last record is dropped.
Result<ExtractSummary> InfoExtractMultiple(const std::string& exportFile, int callIndex,
                                           const std::string& outputPath,
                                           const ProgressCallback& progress = {},
                                           EmptyOutput empty = EmptyOutput::Write);

}  // namespace lm
