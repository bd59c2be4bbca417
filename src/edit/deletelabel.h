#pragma once

namespace lm {

class WindowContext;

// Edit, Delete: highlights the set of the selected label and, when the
// operator confirms, has the page save leave it out. No collapses the
// highlight and saves nothing.
void mnuEdit_Delete_Click(WindowContext& window);

}  // namespace lm
