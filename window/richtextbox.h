#pragma once

#include <QString>
#include <QPlainTextEdit>

namespace pagewick::window {

// The result box. The text put into it is given back exactly, line breaks
// included (CR LF as the extraction writes them, lone CR or LF as they came),
// until the user edits it; after an edit the box's own line breaks are given
// back as CR LF.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

private:
    QString m_text;
};

} // namespace pagewick::window
