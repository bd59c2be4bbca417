#pragma once

namespace lm {

class WindowContext;

// Edit, Insert Blank Label: asks how many blank label sets go before the set
// of the selected label and has the page save insert them. A refused entry
// ("You entered illegal numbers!") comes back as the input box's default; an
// empty entry or Cancel takes the highlight off again and saves nothing.
void mnuEdit_Blank_Click(WindowContext& window);

}  // namespace lm
