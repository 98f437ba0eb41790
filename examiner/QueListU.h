#pragma once
// The question viewer: the questions of the loaded topic one at a time, read-only, and the
// printout of the whole list. Modal; created once at start-up.
#include "ExaminerState.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class TWorkF;

class TQueListF : public QDialog {
    Q_OBJECT
public:
    TQueListF(TExaminerState& state, TWorkF& main, QWidget* parent = nullptr);

    void FormShow();
    void ShowListQuestion();
    void ClearListQuestion();
    void PrevClick();
    void NextClick();
    void PrintQuesListBtnClick();
    void ExitBtnClick();
    void ApplyQueListLanguage();

    QToolBar* ToolBar1 = nullptr;
    QToolButton* PrevBtn = nullptr;
    QToolButton* NextBtn = nullptr;
    QToolButton* PrintQuesListBtn = nullptr;
    QToolButton* ExitBtn = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* SamVoprosEdit = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr; // "1"
    QLabel* Label4 = nullptr; // "2"
    QLabel* Label5 = nullptr; // "3"
    QLabel* Label6 = nullptr; // "4"
    QLineEdit* Otv1Edit = nullptr;
    QLineEdit* Otv2Edit = nullptr;
    QLineEdit* Otv3Edit = nullptr;
    QLineEdit* Otv4Edit = nullptr;
    QLabel* Label7 = nullptr;
    QSpinBox* PravOtvEd = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusText = nullptr; // the status bar's one panel
    QString Caption;              // the topic's file name, as the title shows it

protected:
    void showEvent(QShowEvent* event) override;

private:
    TExaminerState& S;
    TWorkF& Main;
};
