#pragma once

#include <QObject>

class QSocketNotifier;

namespace pagewick::cli {

// SIGINT and SIGTERM, from the moment this object exists, come as
// stopRequested() from the event loop instead of ending the program. One
// object at a time.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace pagewick::cli
