#pragma once
// The program's name and its maker, as the window caption names them and as
// Tornvale.exe's version resource gives them to Windows (Explorer's
// properties). Plain macros: the resource compiler reads this file too.

#define TORNVALE_PRODUCT "Tornvale"
#define TORNVALE_MAKER "Lindqvarn GmbH"
