#pragma once

namespace lm {

class WindowContext;

// Start-up's load with Interactive printing: the first page of the working
// label file of the working folder (created empty when missing), with the
// caption "Kelvarine Label Maker - <PATH> (Page  1)". A working file that
// cannot be opened is reported; the page then stays empty with no file open.
void loadWorkingFile(WindowContext& window);

}  // namespace lm
