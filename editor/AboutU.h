#pragma once
// The editor's own About box: the suite's program About box with the editor's name and icon, and
// the maker's notice.
#include "AboutProgram.h"

class TAboutBox : public TProgramAboutBox {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
