#pragma once
// A plain message box: the text, the application's title, no icon, OK. The
// readout file's fixed texts ("Error ...1", "Fehler ...") are shown this way,
// apart from the error display's rules.

#include <string>

// Shows the Windows-1252 text modally and returns when the box is closed.
void ShowMessage(const std::string& text);
