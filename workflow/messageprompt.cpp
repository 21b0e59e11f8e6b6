#include "workflow/messageprompt.h"

#include <QMessageBox>
#include <QWidget>

namespace pagewick::workflow {

namespace {

const QString kTitle = QStringLiteral("提示");

} // namespace

MessageBoxPrompt::MessageBoxPrompt(QWidget *parent)
    : m_parent(parent)
{
}

bool MessageBoxPrompt::ask(const QString &text)
{
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void MessageBoxPrompt::notify(const QString &text)
{
    QMessageBox box(QMessageBox::Information, kTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace pagewick::workflow
