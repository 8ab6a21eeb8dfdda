#pragma once
// The window's captions in its two languages: 26 controls, German (1) and
// English (2). The German column equals the captions the window is built
// with, so choosing German restores them exactly.

#include "exchange/SessionTexts.h"
#include "portlist/CaptionLanguage.h"

#include <QString>

#include <array>

struct TCaptionRow {
    const char* Control;  // the control's object name
    const char16_t* Caption[2];
};

extern const std::array<TCaptionRow, 26> CaptionTable;

// The caption of `row` in language 1 or 2.
QString CaptionOf(const TCaptionRow& row, int language);
// The caption of the control so named; empty for a control the table does not hold.
QString CaptionOf(const char* control, int language);

// The language of the texts the program adds, for a caption language (0,
// before a flag was pressed, is German).
exchange::TTextLanguage TextLanguageOf(int language);
// The caption language (1 or 2) of a text language.
int CaptionLanguageOf(exchange::TTextLanguage language);
