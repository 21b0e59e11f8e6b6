#include "window/optionspanel.h"

#include "window/frmmain.h"
#include "workflow/filesystem.h"
#include "workflow/messageprompt.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>

namespace pagewick::window {

void toggleOptionsPanel(Frmmain &window)
{
    window.Frame1->setHidden(!window.Frame1->isHidden());
}

void closeOptionsPanel(Frmmain &window)
{
    window.Frame1->hide();
}

void applyKeywordRule(Frmmain &window)
{
    const bool custom = window.Check1[3]->checkState() == Qt::Checked;
    for (QLineEdit *box : window.Txt_gjz)
        box->setEnabled(custom);
}

std::optional<QString> validatedSaveDirectory(workflow::FileSystem &fs, const QString &text)
{
    if (!fs.exists(text) && !fs.createDirectory(text))
        return std::nullopt;
    if (text.endsWith(QLatin1Char('/')))
        return text;
    return text + QLatin1Char('/');
}

void checkSaveDirectory(Frmmain &window)
{
    const std::optional<QString> directory =
        validatedSaveDirectory(window.fileSystem(), window.Txt_dir->text());
    if (directory) {
        if (*directory != window.Txt_dir->text())
            window.Txt_dir->setText(*directory);
        return;
    }
    window.prompt().notify(kBadDirectoryMessage);
    window.Txt_dir->setFocus(Qt::OtherFocusReason);
}

void showSaveDirectoryTip(Frmmain &window)
{
    window.Txt_dir->setToolTip(window.Txt_dir->text());
}

} // namespace pagewick::window
