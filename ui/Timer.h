#pragma once
// A periodic timer delivered on the main thread, switched by Enabled.
// Enabling a running timer changes nothing (its period runs on); enabling a
// stopped one starts a fresh period.

#include <QTimer>

#include <functional>

class TTimer : public QTimer {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent, int intervalMs = 1000);

    bool Enabled() const { return isActive(); }
    void SetEnabled(bool enabled);

    std::function<void(QObject* Sender)> OnTimer;
};
