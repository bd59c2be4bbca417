#pragma once

namespace lm {

class WindowContext;

// File, Exit: the save question (Cancel, or a Save As that did not save,
// ends the command and the program goes on). With Interactive printing, a
// counter file holding at least the label type's threshold brings the
// question "The label file is full. Do you want to clear the file?", whose
// Yes runs Clear. A missing or unreadable counter file asks nothing. Then
// the program ends at once (endProgram), without the close question.
void mnuFile_Exit_Click(WindowContext& window);

}  // namespace lm
