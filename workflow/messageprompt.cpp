#include "workflow/messageprompt.h"

#include <QInputDialog>
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

std::optional<QString> MessageBoxPrompt::askText(const QString &text, const QString &initial)
{
    QInputDialog box(m_parent);
    box.setWindowTitle(kTitle);
    box.setLabelText(text);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(initial);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

} // namespace pagewick::workflow
