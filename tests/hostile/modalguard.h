#pragma once

#include <QApplication>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// A dialog box that nobody answers would hang a headless test for ever.
// While it lives, this closes every modal widget that appears (rejecting it)
// and records its title, so a test can fail on it instead of hanging.
class ModalGuard : public QObject
{
public:
    ModalGuard()
    {
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, &ModalGuard::check);
        m_timer.start();
    }

    QStringList seen;

private:
    void check()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seen << modal->windowTitle() + QLatin1Char('|') + modal->metaObject()->className();
        modal->close();
    }

    QTimer m_timer;
};
