// The About dialog.
#pragma once

#include "ui/dialogs/InfoDialog.h"

class TAboutBox1 : public InfoDialog
{
    Q_OBJECT

public:
    explicit TAboutBox1(QWidget *parent = nullptr);
};
