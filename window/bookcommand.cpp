#include "window/bookcommand.h"

#include "book/mergebook.h"
#include "window/frmmain.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>

namespace pagewick::window {

void mergeBook(Frmmain &window)
{
    const QString status = book::MergeBookCommand(window.fileSystem(), window.prompt(), window.Txt_dir->text(),
                                                  QDateTime::currentDateTimeUtc());
    if (!status.isEmpty())
        window.Lab_bt->setText(status);
}

} // namespace pagewick::window
