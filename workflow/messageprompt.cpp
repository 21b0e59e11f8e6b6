#include "workflow/messageprompt.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>
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

std::optional<TextAndChoice> MessageBoxPrompt::askTextAndChoice(const QString &text, const QString &initial,
                                                                 const QString &choice, bool checked)
{
    QDialog box(m_parent);
    box.setWindowTitle(kTitle);
    auto *layout = new QVBoxLayout(&box);
    auto *label = new QLabel(text, &box);
    auto *line = new QLineEdit(initial, &box);
    label->setBuddy(line);
    auto *tick = new QCheckBox(choice, &box);
    tick->setChecked(checked);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    layout->addWidget(label);
    layout->addWidget(line);
    layout->addWidget(tick);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    line->selectAll();
    line->setFocus();
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return TextAndChoice{line->text(), tick->isChecked()};
}

} // namespace pagewick::workflow
