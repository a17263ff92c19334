// The certificate boxes of the Security page (dialog 140): filling them from the stores and
// writing the user's choice into the edit profile. Texts put into the page's edits go
// through WM_SETTEXT, so the page's text-update handlers see them as well.
#pragma once
#include <windows.h>

#include "monitor/ui/editor/security/certificates.h"

class ACProfile;

// Controls of dialog 140 that the certificate boxes touch.
namespace certbox {
enum : int {
    kRootWpa = 1051,
    kClientWpa = 1052,
    kRoot8021x = 1004,
    kClient8021x = 1018,
    kServerWpa = 1027,      // TLS server/domain name
    kLoginWpa = 1032,       // TLS login name
    kOuterLoginWpa = 1025,  // TTLS/PEAP login name
    kServer8021x = 1033,
    kLogin8021x = 1034,
};
}

// Lists "ROOT" into `roots` and fills both root boxes with "Any" and the root names,
// selecting the profile's root certificate or "Any".
void FillRootBox(HWND page, const ACProfile& profile, CertList* roots);

// Relists "MY" into `personal` and fills the client boxes: the WPA form's with the names,
// the 802.1x form's with "<None>" and the names, or both with "<None>" alone. A TLS
// profile gets the server/domain and login names of its certificate.
void FillClientBox(HWND page, ACProfile* profile, CertList* personal);

// Selection change of a root box (kRootWpa or kRoot8021x).
void OnRootChoice(HWND page, int boxId, ACProfile* profile, const CertList& roots);

// Selection change of the WPA form's client box.
void OnClientChoiceWpa(HWND page, ACProfile* profile, const CertList& personal);

// Selection change of the 802.1x form's client box.
void OnClientChoice8021x(HWND page, ACProfile* profile, const CertList& personal);
