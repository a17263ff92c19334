// The Security sub-page of the Configuration page: none, WEP, WPA/WPA2-PSK, WPA/WPA2 with
// EAP and 802.1x. Every change goes at once into the edit profile, the edit passphrase and
// the mask flags of the application object; the Configuration page saves and applies.
// The host creates the window (CreateModeless with itself as parent) when the "Security"
// sub-tab is shown and destroys it (Destroy) when it shows "Common".
#pragma once
#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "monitor/ui/editor/security/certificates.h"
#include "monitor/ui/editor/security/security_form.h"

class ACProfile;

class CSecurityPage : public fw::Dialog {
public:
    CSecurityPage();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    BOOL OnCommand(int id, int code, HWND control);
    void OnDestroy();

    // Selection changes and clicks.
    void OnKindChanged();
    void OnWpaEapTypeChanged();
    void On8021xEapTypeChanged();
    void OnUsePassphraseClicked();
    void OnKeyLengthOrFormatChanged();
    void OnDefaultKeyChanged();
    void OnAuthTypeChanged();

    // Text updates of the edits.
    void OnKeyUpdate(int keyIndex, HWND edit);
    void OnPassphraseUpdate();
    void OnPskUpdate();
    void OnWpaPasswordUpdate();
    void On8021xPasswordUpdate();
    void OnUserUpdate(int id);
    void OnTextUpdate(int id);

    void ShowProfile();
    void ShowView(security_form::View view);
    void ApplyForm(const security_form::Form& form);
    void LoadWep();
    void LoadEap();
    void ShowEapType(bool wpaForm);
    void FillBoxes();

    // Control helpers.
    std::string Text(int id) const;
    void SetText(int id, std::string text);
    int Selection(int id) const;
    void Select(int id, int index);
    void AddString(int id, const std::string& text);
    void Show(int id, bool shown);
    void Enable(int id, bool enabled);
    // Shows the secret edit's text in clear when its mask flag is set, else as "*".
    void ShowSecret(int id, int mask);
    // An emptied secret edit shows its text in clear from now on.
    void ClearDisplayIfEmpty(int id, const std::string& text, int mask);
    void SetKeyEditsUppercase(bool upper);
    void LimitKeyEdits(int chars);
    bool FormatIsHex() const;

    CertList roots_;
    CertList personal_;
};

extern CSecurityPage theSecurityPage;
