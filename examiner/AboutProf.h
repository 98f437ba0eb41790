#pragma once
// The examiner's own About box: the suite's program About box with the examiner's name and icon.
#include "AboutProgram.h"

class TAboutVerirozaz : public TProgramAboutBox {
    Q_OBJECT
public:
    explicit TAboutVerirozaz(QWidget* parent = nullptr);
};
