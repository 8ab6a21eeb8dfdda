#pragma once
// A plain message box: the text, the application's title, no icon, OK. The
// readout file's fixed texts ("Error ...1", "Fehler ...") are shown this way,
// apart from the error display's episodes but in its turn: never over another
// box, and not again while the same text is open or waiting.

#include <string>

// Shows the Windows-1252 text modally and returns when the box is closed
// (at once, the box waiting its turn, when another box is open). A handler
// that must not hold a box open while it runs (the reply handler) hands the
// text over instead (HandOverNotice, ui/HandlerCall.h).
void ShowMessage(const std::string& text);
