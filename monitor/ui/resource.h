// Resource identifiers of Skyvane, grouped by what uses them.
#pragma once

// Application frame: icon, menu and title string share this number.
#define IDR_MAINFRAME 128
#define ID_APP_ABOUT 57664

// About box
#define IDD_ABOUTBOX 100

// Monitor window
#define IDD_MONITOR 130
#define IDC_TAB 1000
#define IDC_HELP_BUTTON 1018
#define IDC_ADAPTER_COMBO 1021
#define IDC_HIDE_BUTTON 1024
#define IDC_RADIO_BUTTON 1029
#define IDC_BANNER 1032

// Pages
#define IDD_STATUS_PAGE 132
#define IDD_IPSETTINGS_PAGE 133
#define IDD_SITESURVEY_PAGE 134
#define IDD_ABOUT_PAGE 135
#define IDD_CONFIG_PAGE 136

// Tray menu and its commands
#define IDR_TRAY_MENU 182
#define ID_TRAY_CONFIGURATION 32771
#define ID_TRAY_STATUS 32772
#define ID_TRAY_IPSETTINGS 32773
#define ID_TRAY_SITESURVEY 32774
#define ID_TRAY_ABOUT 32775
#define ID_TRAY_EXIT 32776

// Strings
#define IDS_TAB_CONFIGURATION 61204
#define IDS_TAB_STATUS 61205
#define IDS_TAB_IPSETTINGS 61206
#define IDS_TAB_SITESURVEY 61207
#define IDS_TAB_ABOUT 61208
#define IDS_MONITOR_TITLE 61261
#define IDS_RADIO_OFF 61279
#define IDS_RADIO_ON 61280
#define IDS_DEFAULT_SSID 61281
#define IDS_NETWORK_DISABLED 61282
#define IDS_DISCONNECTED 61283
#define IDS_CONNECTION_TIP 61287
#define IDS_CONNECTION_TIP_98 61288
