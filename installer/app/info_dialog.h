// The Help dialog and the About box: fixed texts closed with OK.
#pragma once
#include "framework/dialog.h"

namespace drivora {

class InfoDialog : public fw::Dialog {
public:
    explicit InfoDialog(UINT templateId) : fw::Dialog(templateId) {}

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    INT_PTR OnCommand(WORD id);
};

}  // namespace drivora
