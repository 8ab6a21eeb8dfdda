#pragma once
// Hints of menu items and controls. A hint "short|long" gives its first part
// as tool-tip and its second part to the status bar; a hint without "|"
// serves as both.

#include <QString>

class QAction;

struct THintParts {
    QString Short;  // the tool-tip
    QString Long;   // the status-bar text
};

THintParts SplitHint(const QString& hint);

void SetHint(QAction* action, const QString& hint);
