#pragma once
// A plain message box: the text, the application's title, no icon, OK. The
// readout file's fixed texts ("Error ...1", "Fehler ...") are shown this way,
// apart from the error display's episodes but in its turn: never over another
// box, and not again while the same text is open or waiting.

#include "exchange/SessionTexts.h"

#include <QString>

#include <filesystem>
#include <string>

// Shows the Windows-1252 text modally and returns when the box is closed
// (at once, the box waiting its turn, when another box is open). A handler
// that must not hold a box open while it runs (the reply handler) hands the
// text over instead (HandOverNotice, ui/HandlerCall.h).
void ShowMessage(const std::string& text);
// The same for a text that may hold characters beyond the code page (a folder's name).
void ShowMessageText(const QString& text);

// A readout file's fixed text with what failed below it: the reason
// (Windows-1252), then the folder as the system names it.
QString FileFailureText(const std::string& fixedText, const std::string& reason, const std::filesystem::path& folder,
                        exchange::TTextLanguage language);
