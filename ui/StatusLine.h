#pragma once
// A text of the program's own in the status bar, held in both languages so
// that it follows the caption language at once. Once anything else has
// taken the status bar's place, the text is no longer ours to change.
//
//   line.Show([name](TTextLanguage l) { return ...; }, language);
//   line.LanguageChanged(language);   // the flag: shown again, translated

#include "exchange/SessionTexts.h"

#include <QString>

#include <functional>

class QStatusBar;

class TStatusLine {
public:
    using TText = std::function<QString(exchange::TTextLanguage)>;

    explicit TStatusLine(QStatusBar* statusBar) : statusBar_(statusBar) {}

    void Show(TText text, exchange::TTextLanguage language);
    void LanguageChanged(exchange::TTextLanguage language);
    // Clears the status bar if it still shows this line's text.
    void Clear();
    bool Showing() const;

private:
    QStatusBar* statusBar_;
    TText text_;
    QString shown_;
};
