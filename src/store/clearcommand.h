#pragma once

namespace lm {

class WindowContext;

// File, Clear Current Label File: with no file open says "No label file to be
// cleared!"; otherwise asks whether to lose all the labels of
// CurrentFileName (Yes, No), empties that file, writes 0 into the counter
// file, leaves no file open and an empty page titled "Kelvarine Label
// Maker". A label file that cannot be emptied is reported, and the file and
// the page stay on display; a counter file that cannot be written is
// reported and the clearing goes on. Returns true when the file was emptied.
bool mnuFile_Clear_Click(WindowContext& window);

}  // namespace lm
