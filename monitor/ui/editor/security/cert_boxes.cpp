#include "monitor/ui/editor/security/cert_boxes.h"

#include "athcfg/athcfg.h"

namespace {

const char kAny[] = "Any";
const char kNone[] = "<None>";
const int kTls = 4, kTtls = 5, kPeap = 3;

void SetEdit(HWND page, int id, const char* text) { SetDlgItemTextA(page, id, text); }

void AddItem(HWND page, int box, const std::string& text) {
    SendDlgItemMessageA(page, box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Select(HWND page, int box, int index) {
    SendDlgItemMessageA(page, box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The selected entry's text; false with no selection.
bool SelectedText(HWND page, int box, int* index, std::string* text) {
    LRESULT sel = SendDlgItemMessageA(page, box, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return false;
    LRESULT length = SendDlgItemMessageA(page, box, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (length == CB_ERR) return false;
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    SendDlgItemMessageA(page, box, CB_GETLBTEXT, static_cast<WPARAM>(sel),
                        reinterpret_cast<LPARAM>(&buffer[0]));
    *index = static_cast<int>(sel);
    *text = buffer.c_str();
    return true;
}

// Index of the last entry whose text equals `text`; -1 without one.
int LastIndexOf(const std::vector<std::string>& texts, const std::string& text) {
    for (size_t i = texts.size(); i-- > 0;)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

// The names a personal certificate gives for TLS; empty where it gives none (not found with
// a private key, or a name without one "@").
void ShowTlsNames(HWND page, ACProfile* profile, const std::string& thumbprint) {
    std::string server, login;
    CCertInfo info;
    if (info.Load(thumbprint, kPersonalStore)) {
        info.ServerDomainName(&server);
        info.LoginName(&login);
    }
    SetEdit(page, certbox::kServerWpa, server.c_str());
    profile->serverDomainName = server.c_str();
    SetEdit(page, certbox::kLoginWpa, login.c_str());
    profile->loginName = login.c_str();
}

}  // namespace

void FillRootBox(HWND page, const ACProfile& profile, CertList* roots) {
    EnumerateCertStore("ROOT", roots);
    int chosen = LastIndexOf(roots->thumbprints, profile.rootCertificate.c_str());
    for (int box : {certbox::kRootWpa, certbox::kRoot8021x}) {
        SendDlgItemMessageA(page, box, CB_RESETCONTENT, 0, 0);
        AddItem(page, box, kAny);
        for (const std::string& name : roots->names) AddItem(page, box, name);
        Select(page, box, chosen + 1);
    }
}

void FillClientBox(HWND page, ACProfile* profile, CertList* personal) {
    personal->Clear();
    EnumerateCertStore("MY", personal);
    SendDlgItemMessageA(page, certbox::kClientWpa, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(page, certbox::kClient8021x, CB_RESETCONTENT, 0, 0);
    AddItem(page, certbox::kClient8021x, kNone);

    if (personal->names.empty()) {
        AddItem(page, certbox::kClientWpa, kNone);
        Select(page, certbox::kClientWpa, 0);
        Select(page, certbox::kClient8021x, 0);
        SetEdit(page, certbox::kServerWpa, "");
        SetEdit(page, certbox::kServer8021x, "");
        profile->serverDomainName = "";
        if (profile->eapMethod == kTtls || profile->eapMethod == kPeap) {
            if (profile->loginName.empty()) profile->loginName = profile->defaultUserName;
            // A copy: the edit's text-update handler reassigns loginName while the text is set.
            std::string login = profile->loginName.c_str();
            SetEdit(page, certbox::kOuterLoginWpa, login.c_str());
        } else {
            SetEdit(page, certbox::kLoginWpa, "");
            SetEdit(page, certbox::kLogin8021x, "");
            profile->loginName = "";
        }
        return;
    }

    for (const std::string& name : personal->names) {
        AddItem(page, certbox::kClientWpa, name);
        AddItem(page, certbox::kClient8021x, name);
    }
    int chosen = LastIndexOf(personal->thumbprints, profile->clientCertificate.c_str());
    if (chosen < 0) chosen = 0;
    Select(page, certbox::kClientWpa, chosen);
    Select(page, certbox::kClient8021x, chosen + 1);
    if (profile->clientCertificate.empty())
        profile->clientCertificate = personal->thumbprints[chosen].c_str();

    if (profile->eapMethod == kTls) {
        ShowTlsNames(page, profile, profile->clientCertificate.c_str());
    } else {
        // A copy: the edit's text-update handler reassigns loginName while the text is set.
        std::string login = profile->loginName.c_str();
        SetEdit(page, certbox::kOuterLoginWpa, login.c_str());
        profile->serverDomainName = "";
    }
}

void OnRootChoice(HWND page, int boxId, ACProfile* profile, const CertList& roots) {
    int index = -1;
    std::string text;
    int match = -1;
    if (SelectedText(page, boxId, &index, &text) && index > 0)
        match = LastIndexOf(roots.names, text);
    profile->rootCertificate = match < 0 ? "" : roots.thumbprints[match].c_str();
}

void OnClientChoiceWpa(HWND page, ACProfile* profile, const CertList& personal) {
    int index = -1;
    std::string text;
    if (!SelectedText(page, certbox::kClientWpa, &index, &text) || text == kNone) {
        profile->clientCertificate = "";
        return;
    }
    SetEdit(page, certbox::kServerWpa, "");
    SetEdit(page, certbox::kLoginWpa, "");
    profile->serverDomainName = "";
    profile->loginName = "";
    for (size_t i = 0; i < personal.names.size(); ++i) {
        if (personal.names[i] != text) continue;
        profile->clientCertificate = personal.thumbprints[i].c_str();
        ShowTlsNames(page, profile, personal.thumbprints[i]);
    }
}

void OnClientChoice8021x(HWND page, ACProfile* profile, const CertList& personal) {
    int index = -1;
    std::string text;
    int match = -1;
    if (SelectedText(page, certbox::kClient8021x, &index, &text) && index > 0)
        match = LastIndexOf(personal.names, text);
    profile->clientCertificate = match < 0 ? "" : personal.thumbprints[match].c_str();
}
