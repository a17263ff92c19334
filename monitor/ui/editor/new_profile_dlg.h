// The dialog that asks for the name of a new profile and creates it from the editing state.
#pragma once
#include <windows.h>

#include <string>

#include "framework/dialog.h"

class CNewProfileDlg : public fw::Dialog {
public:
    CNewProfileDlg();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnCommand(int id);
    void OnOk();
    void Refuse(UINT textId);
    std::string TypedName() const;
};
