#pragma once

namespace lm {

class WindowContext;

// Edit, Cut / Copy / Paste on the label SelectedLabel names (whether or not
// it has the keyboard focus); with no label selected they do nothing. Paste
// puts in the clipboard's plain text in place of the selection, so a
// clipboard without text (an image, say) just removes the selected text.
void mnuEdit_Cut_Click(WindowContext& window);
void mnuEdit_Copy_Click(WindowContext& window);
void mnuEdit_Paste_Click(WindowContext& window);

}  // namespace lm
