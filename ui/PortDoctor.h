#pragma once
// The port doctor: when a port will not open, the error box keeps the serial
// layer's text, and the status bar adds what the operator can do about it,
// from what the platform finds out about the device. The advice follows the
// caption language and goes when a port choice succeeds.

#include "portlist/PortAdvice.h"

#include <QString>

#include <optional>
#include <string>

class QStatusBar;

class TPortDoctor {
public:
    explicit TPortDoctor(QStatusBar* statusBar) : statusBar_(statusBar) {}

    // Examines the port and shows the advice, if there is one.
    void OpenFailed(const std::string& comName, std::int32_t code, std::int32_t winCode, int language);
    void PortChosen();
    void LanguageChanged(int language);

private:
    void Show(int language);
    void Forget();
    bool Showing() const;

    QStatusBar* statusBar_;
    std::optional<TPortAdvice> advice_;
    QString shown_;
};
