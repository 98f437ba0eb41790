#include "ExaminerApp.h"

int main(int argc, char** argv) {
    return RunExaminer(argc, argv);
}
