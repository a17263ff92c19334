// What the profile store asks of the monitor window and its pages. The window has its own;
// tests put a recording one in its place.
#pragma once
#include <windows.h>

class StorePages {
public:
    virtual ~StorePages() = default;
    // A refusal or failed check: stop icon, OK button, caption string 61261.
    virtual void ShowCheckMessage(UINT textId) = 0;
    // The Configuration page shows its Security sub-tab and remembers it for the next visit.
    virtual void ShowSecuritySubTab() = 0;
    // The monitor window shows its Status page (page 1).
    virtual void ShowStatusPage() = 0;
    // A profile was applied from outside the editor: the open Configuration page marks the
    // adapter's current profile and leaves what is being edited as it is.
    virtual void ShowCurrentProfile() = 0;
};
