#pragma once

#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

namespace pagewick::workflow {

// The answer to a text question with a tick box.
struct TextAndChoice
{
    QString text;
    bool checked = false;
};

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
    // The same with a tick box `choice` under the line of text, ticked at
    // first when `checked`. Boxes that have no tick box leave it as it starts.
    virtual std::optional<TextAndChoice> askTextAndChoice(const QString &text, const QString &initial,
                                                          const QString &choice, bool checked)
    {
        Q_UNUSED(choice);
        const std::optional<QString> answer = askText(text, initial);
        if (!answer)
            return std::nullopt;
        return TextAndChoice{*answer, checked};
    }
};

// The real message boxes, parented to the window.
class MessageBoxPrompt : public MessagePrompt
{
public:
    explicit MessageBoxPrompt(QWidget *parent);

    bool ask(const QString &text) override;
    void notify(const QString &text) override;
    std::optional<QString> askText(const QString &text, const QString &initial) override;
    std::optional<TextAndChoice> askTextAndChoice(const QString &text, const QString &initial,
                                                  const QString &choice, bool checked) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace pagewick::workflow
