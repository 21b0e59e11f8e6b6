#include "tests/browser/modalwatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace pagewick::browsertests {

ModalWatcher::ModalWatcher(bool answerOk)
    : m_answerOk(answerOk)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start(20);
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    m_seen << QString::fromLatin1(modal->metaObject()->className());
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        if (!ok)
            ok = box->button(QMessageBox::Yes);
        if (m_answerOk && ok) {
            ok->click();
            return;
        }
    }
    if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        if (m_answerOk)
            dialog->accept();
        else
            dialog->reject();
        return;
    }
    modal->close();
}

} // namespace pagewick::browsertests
