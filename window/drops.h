#pragma once

#include <QString>
#include <Qt>

#include <optional>

class QDropEvent;
class QMimeData;

namespace pagewick::window {

class Frmmain;

// What a drop onto the address box does to the window.
class DropTarget
{
public:
    virtual ~DropTarget() = default;
    virtual void setAddressText(const QString &text) = 0;
    virtual void clearPageTitle() = 0;
    virtual void navigateToAddressText() = 0;
    virtual void goCommand() = 0;
};

// Text (taking precedence, unless every dropped address is a local file, as
// from a file manager) becomes the address; each dropped local file is
// loaded in turn as its file address. Either way, and for a drop of neither,
// the Go command follows. Gives the drop action for a text drop (copy with
// Ctrl held, move otherwise) and nullopt when the action is left as proposed.
std::optional<Qt::DropAction> applyDrop(const QMimeData &data, Qt::KeyboardModifiers modifiers,
                                        DropTarget &target);

// The drop event of the address box.
void dropOntoAddressBox(Frmmain &window, QDropEvent &event);

} // namespace pagewick::window
