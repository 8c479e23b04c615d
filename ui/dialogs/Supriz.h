// The dedication dialog, opened by the Home key.
#pragma once

#include "ui/dialogs/InfoDialog.h"

class TForm2 : public InfoDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);
};
