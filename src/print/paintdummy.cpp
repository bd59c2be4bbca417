// Keeps labelgui a valid library until the windows bring sources of their own;
// remove it then.
