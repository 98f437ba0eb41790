#pragma once
// The editor program: its windows, created and destroyed in their order, and its entry.
#include <memory>

class TMDIForm;
class TAboutBox;
class TAboutVXG;
class TCopyDlg;
class TOptionsForm;

class TExamwright {
public:
    // Creates the windows in their order: the main window (whose creation reads the language),
    // the copy dialog, the editor's About box, the suite's About box, the parameters dialog
    // (whose creation stores the factory set when it is missing).
    TExamwright();
    // Destroys the windows, the dialogs before the main window they belong to. The exit steps
    // (FormDestroy) are the caller's, once the event loop has ended.
    ~TExamwright();
    TExamwright(const TExamwright&) = delete;
    TExamwright& operator=(const TExamwright&) = delete;

    TMDIForm* MDIForm() const { return mdi_.get(); }
    TAboutBox* AboutBox() const { return about_.get(); }
    TAboutVXG* AboutVXGBox() const { return aboutVxg_.get(); }
    TCopyDlg* CopyDlg() const { return copyDlg_.get(); }
    TOptionsForm* OptionsForm() const { return options_.get(); }

private:
    std::unique_ptr<TMDIForm> mdi_;
    std::unique_ptr<TCopyDlg> copyDlg_;
    std::unique_ptr<TAboutBox> about_;
    std::unique_ptr<TAboutVXG> aboutVxg_;
    std::unique_ptr<TOptionsForm> options_;
};

// The program: sets its process up (vxg::SetUpProgramProcess), shows the splash, creates the
// windows, shows the main window maximised, runs the event loop until the main window has closed,
// then stores the language.
int RunExamwright(int argc, char** argv);
