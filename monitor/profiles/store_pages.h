// The pages the profile store talks to: the window's own unless a test put others in place.
#pragma once
#include "monitor/ui/monitor_dlg.h"

StorePages& PagesOf(CMonitorDlg& dlg);
