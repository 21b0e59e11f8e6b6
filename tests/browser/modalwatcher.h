#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace pagewick::browsertests {

// Stands in for the user in front of modal dialogs: while it lives, every
// modal dialog that opens is recorded (class name) and answered, OK for
// message boxes and input dialogs when answerOk, Cancel otherwise.
class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(bool answerOk);

    const QStringList &seen() const { return m_seen; }

private:
    void poll();

    QTimer m_timer;
    bool m_answerOk = true;
    QStringList m_seen;
};

} // namespace pagewick::browsertests
