#pragma once

#include "extract/candidatestate.h"
#include "window/frmmainseams.h"

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace pagewick::browser {
class WebBrowser;
}

namespace pagewick::workflow {
class Clock;
class FileSystem;
class MessagePrompt;
} // namespace pagewick::workflow

namespace pagewick::window {

class ClickLabel;
class RichTextBox;
class SplitterBar;

// The program's only window. It owns the controls and the form-level state,
// which the other parts of the program read and set by these names, and it
// wires each control's events to the part that handles them.
class Frmmain : public QWidget
{
    Q_OBJECT

public:
    explicit Frmmain(FrmmainSeams seams = {}, QWidget *parent = nullptr);
    ~Frmmain() override;

    workflow::MessagePrompt &prompt();
    workflow::FileSystem &fileSystem();
    workflow::Clock &clock();
    // The executable's directory, or the one the seams gave.
    QString programDirectory() const;
    const FrmmainSeams &seams() const { return m_seams; }
    // The save directory start-up chose in place of an unwritable program
    // directory: made at the first save. Empty otherwise.
    QString saveDirectoryMadeOnDemand() const { return m_saveDirectoryMadeOnDemand; }
    void setSaveDirectoryMadeOnDemand(const QString &directory) { m_saveDirectoryMadeOnDemand = directory; }

    // Controls of the window.
    QLabel *Lab_url = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Cmd_goto = nullptr;
    QPushButton *Cmd_tiqu = nullptr;
    QPushButton *Cmd_save = nullptr;
    QPushButton *Cmd_next = nullptr;
    QPushButton *Cmd_setup = nullptr;
    browser::WebBrowser *WebBrowser1 = nullptr;
    SplitterBar *imgSizeH = nullptr;
    RichTextBox *Text1 = nullptr;
    QLabel *Lab_bt = nullptr;
    QFrame *Frame1 = nullptr;

    // Controls of the options panel Frame1.
    std::array<QLabel *, 7> Lab_opt{};
    std::array<QCheckBox *, 4> Check1{};
    QLineEdit *Txt_dir = nullptr;
    QLineEdit *Txt_Next = nullptr;
    std::array<QLineEdit *, 2> Txt_gjz{};
    ClickLabel *Lab_close = nullptr;
    QPushButton *Cmd_jiezhe = nullptr;
    QPushButton *Cmd_hebing = nullptr;
    QLabel *Lab_jiange = nullptr;
    QSpinBox *Spn_jiange = nullptr; // page interval in seconds
    QLabel *Lab_miao = nullptr;

    // Form-level state.
    QString PageTitle;
    extract::CandidateState Candidates;
    int LastClientHeight = 0;
    int SplitterGrabY = 0;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createOptionsPanel();
    void setTabOrder();
    void connectControls();
    // The extraction workflow's handlers (window/frmmain_workflow.cpp).
    void connectWorkflow();
    void focusMoved(QWidget *from, QWidget *to);
    bool addressBoxEvent(QObject *watched, QEvent *event);

    FrmmainSeams m_seams;
    std::unique_ptr<workflow::MessagePrompt> m_ownPrompt;
    bool m_laidOut = false;
    QString m_saveDirectoryMadeOnDemand;
};

} // namespace pagewick::window
