#pragma once
// A label that holds a file-system path. Path() is the whole path, the text
// the program works with; only what is drawn is shortened (elided in the
// middle) to the label's width, with the whole path as tool-tip.

#include <QLabel>

class TPathLabel : public QLabel {
    Q_OBJECT
public:
    explicit TPathLabel(QWidget* parent);

    QString Path() const { return path_; }
    void SetPath(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Redraw();

    QString path_;
};
