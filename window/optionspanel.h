#pragma once

#include <QString>

#include <optional>

namespace pagewick::workflow {
class FileSystem;
}

namespace pagewick::window {

class Frmmain;

inline const QString kBadDirectoryMessage = QStringLiteral("输入目录非法，请重输!     ");

// Shows the options panel when hidden, hides it when shown.
void toggleOptionsPanel(Frmmain &window);
void closeOptionsPanel(Frmmain &window);

// The keyword boxes are usable only while custom-condition extraction is checked.
void applyKeywordRule(Frmmain &window);

// The save directory as it stands after the check: an existing file or
// directory, or one newly created (the last level only), with a "/" at its
// end. nullopt when it cannot be used.
std::optional<QString> validatedSaveDirectory(workflow::FileSystem &fs, const QString &text);

// Checks Txt_dir; on failure tells the user and puts the focus back in it,
// leaving its text as it was.
void checkSaveDirectory(Frmmain &window);

// Lets a long path be read in full.
void showSaveDirectoryTip(Frmmain &window);

} // namespace pagewick::window
