#pragma once

#include <memory>

namespace lm {

class Dialogs;
class Forms1;

// What start-up made: the main window, ready to be shown, or the exit status
// of a program that cannot start (the operator has been told why).
struct StartUpResult {
    std::unique_ptr<Forms1> window;
    int exitCode = 0;
};

// Shows the splash, reads the settings file of the working folder (a missing
// one is created with the defaults; one that cannot be read is reported and
// ends the program), asks whether to go on when another window works in the
// folder (No ends the program with status 0), clears scratch files that an
// interrupted save left behind, builds the main window and, with Interactive
// printing, loads the working file; then offers the labels typed and not
// saved when an earlier run was ended by a logout or shutdown. The window is
// not shown; it holds the folder's lock and sees the session's end through.
StartUpResult startUp(Dialogs& dialogs);

// Shows the main window maximized; un-maximized it keeps its normal size.
void showMainWindow(Forms1& window);

}  // namespace lm
