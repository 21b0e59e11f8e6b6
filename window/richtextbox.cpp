#include "window/richtextbox.h"

#include <QTextDocument>

namespace pagewick::window {

namespace {

// The document knows only one kind of paragraph end; every break is shown as one.
QString forDisplay(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // A plain-text box lays out only what is on screen, so a long chapter
    // goes in without laying out all of it first.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void RichTextBox::setText(const QString &text)
{
    m_text = text;
    // setPlainText leaves the document unmodified: reading back stays exact.
    setPlainText(forDisplay(text));
}

QString RichTextBox::text() const
{
    if (!document()->isModified())
        return m_text;
    QString edited = toPlainText();
    edited.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return edited;
}

} // namespace pagewick::window
