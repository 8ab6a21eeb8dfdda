#pragma once
// The two languages of the program's texts: the window's flag buttons choose
// one, the command line follows the locale.

inline constexpr int kLanguageGerman = 1;
inline constexpr int kLanguageEnglish = 2;
