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

    // `kind` tells the texts of one owner apart, for Showing() and Clear().
    void Show(TText text, exchange::TTextLanguage language, int kind = 0);
    void LanguageChanged(exchange::TTextLanguage language);
    // Clears the status bar if it still shows this line's text (of that kind).
    void Clear();
    void Clear(int kind);
    bool Showing() const;
    bool Showing(int kind) const { return Showing() && kind_ == kind; }

private:
    QStatusBar* statusBar_;
    TText text_;
    QString shown_;
    int kind_ = 0;
};
