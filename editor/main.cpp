// VXG-Examwright, the question editor.
#include "ExamwrightApp.h"

int main(int argc, char** argv) {
    return RunExamwright(argc, argv);
}
