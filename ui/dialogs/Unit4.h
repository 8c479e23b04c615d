// The rules and legend dialog.
#pragma once

#include "ui/dialogs/InfoDialog.h"

class TForm4 : public InfoDialog
{
    Q_OBJECT

public:
    explicit TForm4(QWidget *parent = nullptr);
};
