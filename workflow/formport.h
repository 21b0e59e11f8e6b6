#pragma once

#include "extract/candidatestate.h"

#include <QString>

namespace pagewick::workflow {

class Clock;
class FileSystem;
class MessagePrompt;

// The main window's controls and form-level state as the workflow reads and
// sets them. Every read gives the control's value at that moment.
class FormPort
{
public:
    virtual ~FormPort() = default;

    // Check1(index) has value 1.
    virtual bool optionChecked(int index) = 0;
    virtual QString saveDirectory() = 0;       // Txt_dir
    // The save directory the program chose by itself, made at the first save
    // should it be missing; empty when there is none.
    virtual QString saveDirectoryMadeOnDemand() { return {}; }
    virtual QString nextLinkName() = 0;        // Txt_Next
    virtual QString keyword(int index) = 0;    // Txt_gjz(index)
    virtual int pageIntervalSeconds() = 0;     // Spn_jiange

    virtual QString resultText() = 0;          // Text1, CR LF breaks
    virtual void setResultText(const QString &text) = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual QString programTitle() = 0;
    virtual void setStatusText(const QString &text) = 0;  // Lab_bt
    virtual void setAddressText(const QString &text) = 0; // Combo1
    virtual void focusAddressBox() = 0;
    // Leaves the focus where it is when Txt_Next cannot take it.
    virtual void focusNextLinkName() = 0;

    virtual QString pageTitle() = 0;
    virtual void setPageTitle(const QString &title) = 0;
    virtual extract::CandidateState &candidates() = 0;

    virtual MessagePrompt &prompt() = 0;
    virtual FileSystem &fileSystem() = 0;
    virtual Clock &clock() = 0;
};

// Indexes of Check1.
enum Option : int {
    PopupBlocking = 0,
    SilentMode = 1,
    Reflow = 2,
    CustomExtraction = 3,
};

} // namespace pagewick::workflow
