#pragma once

#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

namespace pagewick::workflow {

// Every message box of the program goes through this seam, so that tests can
// answer questions without a person. All boxes are modal, titled "提示", with
// the information icon.
class MessagePrompt
{
public:
    virtual ~MessagePrompt() = default;

    // A question with OK and Cancel; true only for OK (closing the box is Cancel).
    virtual bool ask(const QString &text) = 0;
    // A notice with an OK button.
    virtual void notify(const QString &text) = 0;
    // A question answered with a line of text, which starts as `initial`: the
    // text on OK, nullopt on Cancel.
    virtual std::optional<QString> askText(const QString &text, const QString &initial) = 0;
};

// The real message boxes, parented to the window.
class MessageBoxPrompt : public MessagePrompt
{
public:
    explicit MessageBoxPrompt(QWidget *parent);

    bool ask(const QString &text) override;
    void notify(const QString &text) override;
    std::optional<QString> askText(const QString &text, const QString &initial) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace pagewick::workflow
