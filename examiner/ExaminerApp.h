#pragma once
// The examiner program: its windows, created and destroyed in their order, and its entry.
#include "ExaminerState.h"

#include <QString>
#include <memory>

class TWorkF;
class TAboutVerirozaz;
class TQueListF;
class TOptionsF;
class TAboutVXG;

class TExaminer {
public:
    // Creates the windows: the main window (whose creation reads the language and, on a
    // computer not yet adapted, writes the examiner-address file), the examiner's About box,
    // the question viewer, the parameters dialog and the suite's About box. programDir is the
    // folder the program runs from; empty means the running program's own folder. link: the
    // message link's ports, limits and clock (the defaults are the programs').
    explicit TExaminer(QString programDir = {}, const TLinkConfig& link = {});
    // Stores the language and the parameter set in force, then destroys the windows.
    ~TExaminer();
    TExaminer(const TExaminer&) = delete;
    TExaminer& operator=(const TExaminer&) = delete;

    TExaminerState State;

    TWorkF* WorkF() const { return workF_.get(); }
    TAboutVerirozaz* AboutBox() const { return about_.get(); }
    TQueListF* QueListF() const { return queList_.get(); }
    TOptionsF* OptionsF() const { return options_.get(); }
    TAboutVXG* AboutVXGBox() const { return aboutVxg_.get(); }

private:
    // Destroyed in reverse order: the dialogs before the main window they belong to.
    std::unique_ptr<TWorkF> workF_;
    std::unique_ptr<TAboutVerirozaz> about_;
    std::unique_ptr<TQueListF> queList_;
    std::unique_ptr<TOptionsF> options_;
    std::unique_ptr<TAboutVXG> aboutVxg_;
};

// The program: sets its process up (vxg::SetUpProgramProcess), seeds the random generator, shows
// the splash, creates the windows, shows the main window maximised and runs the event loop until
// the program is asked to end.
int RunExaminer(int argc, char** argv);
