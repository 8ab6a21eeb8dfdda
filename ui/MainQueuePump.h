#pragma once
// Serves the serial layer's main-thread queue (deliveries of port events,
// synchronised calls) from Qt's event loop: whenever the queue's wake
// descriptor is readable, the waiting deliveries run on the GUI thread. A
// handler's exception ends its delivery and goes to the error display like
// any other; the deliveries still waiting run at the next wake.

#include <QObject>

class QSocketNotifier;

class TMainQueuePump : public QObject {
    Q_OBJECT
public:
    // Binds the queue to the calling (GUI) thread.
    explicit TMainQueuePump(QObject* parent = nullptr);

private:
    QSocketNotifier* notifier_;
};
