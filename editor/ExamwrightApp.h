#pragma once
// The editor program: its windows, created and destroyed in their order, and its entry.
#include <memory>

class TMDIForm;
class TAboutBox;
class TAboutVXG;

class TExamwright {
public:
    // Creates the main window (whose creation reads the language), the editor's About box and
    // the suite's About box.
    TExamwright();
    // Destroys the windows, the dialogs before the main window they belong to. The exit steps
    // (FormDestroy) are the caller's, once the event loop has ended.
    ~TExamwright();
    TExamwright(const TExamwright&) = delete;
    TExamwright& operator=(const TExamwright&) = delete;

    TMDIForm* MDIForm() const { return mdi_.get(); }
    TAboutBox* AboutBox() const { return about_.get(); }
    TAboutVXG* AboutVXGBox() const { return aboutVxg_.get(); }

private:
    std::unique_ptr<TMDIForm> mdi_;
    std::unique_ptr<TAboutBox> about_;
    std::unique_ptr<TAboutVXG> aboutVxg_;
};

// The program: shows the splash, creates the windows, shows the main window maximised, runs the
// event loop until the main window has closed, then stores the language.
int RunExamwright(int argc, char** argv);
