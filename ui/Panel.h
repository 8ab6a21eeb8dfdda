#pragma once
// A panel as the window uses it: a filled rectangle with an optional raised
// bevel and an optional centred caption. Display panels (Panel5, the readout
// panels) show their caption; cover panels are plain panels stacked above a
// group of controls, hiding the group while they are visible.

#include <QColor>
#include <QLabel>

class TPanel : public QLabel {
    Q_OBJECT
public:
    enum class TBevel { bvNone, bvRaised };

    TPanel(QWidget* parent, TBevel bevel, const QColor& color);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
};
