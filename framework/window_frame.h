// The program's own title bar for windows the user cannot resize.
//
// Where a Wayland compositor leaves window frames to the programs (GNOME,
// weston), Qt draws one frame for every window, with a maximise button even
// on a fixed-size window, and cuts a caption that fills a narrow dialog.
// There fixed-size windows go frameless and carry this bar instead: the
// window's icon, its caption (elided to fit) and only the buttons the window
// has (minimise where its flags offer it, close). Dragging the bar moves the
// window through the compositor. Windows that can be resized keep Qt's frame,
// whose maximise button then means something.
#pragma once

class QWidget;

// Whether fixed-size windows carry the bar; decided once at start from the
// session (off unless set).
void SetOwnWindowFrames(bool own);
bool OwnWindowFrames();

// Gives `window`, a top-level window of fixed size not yet shown, the bar
// when OwnWindowFrames: the window becomes frameless and grows by the bar's
// height, its contents keep their size below the bar (a layout through the
// window's contents margins, placed children moved down). Later calls on the
// same window do nothing.
void FrameFixedWindow(QWidget* window);
