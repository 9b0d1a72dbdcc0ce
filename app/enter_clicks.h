// Enter on a focused push button clicks it in every window, as in a dialog.
#pragma once

namespace velmor {

// Makes Enter and keypad Enter click the focused, enabled push button of any window of the
// application; call once after the application object exists.
void InstallEnterClicksButtons();

}  // namespace velmor
