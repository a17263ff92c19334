; Setup and uninstall of the Telvara wireless LAN adapter software. The driver goes in and
; out through Drivora, which logs every step to the Windows folder and never stops for a box.
;   makensis -NOCD -DBIN=<folder of the built programs> -DOUTFILE=<setup program> -DVERSION=a.b.c.d
;            [-DAMD64 for a 64-bit build] [-DQORVATH when the marker program is built]

!ifdef AMD64
  Target amd64-unicode
!else
  Target x86-ansi
!endif

!include LogicLib.nsh
!include WinVer.nsh
!include StrFunc.nsh
${UnStrStr}

!define PRODUCT "Telvara WLAN Adapter Monitor"
!define MAKER "Halvex"
!ifndef VERSION
  !error "VERSION (a.b.c.d) comes from the build: -DVERSION=<the project version>"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skyvane"
!define MAKER_KEY "SOFTWARE\${MAKER}"
; Its presence makes the monitor show the 54 model, the model of the driver package.
!define MODEL_KEY "${MAKER_KEY}\TelvaraWevo54"
!define NET_CLASS_KEY "SYSTEM\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002BE10318}"

; Drivora's arguments. The log and quiet mode come first: they act on what follows.
!define DRIVORA_START '"$$$WINDIR\Drivora.log" /Quiet'
; The running monitor ends first so that its files can be replaced or removed.
!define END_MONITOR "DeleteProcess Skyvane.exe"
!define DEVICE "!PCI\VEN_168C@DEV_0013"
!define REMOVE_DRIVER "/Remove /KillUnknow /PnP"
!define INSTALL_DRIVER '"#$INSTDIR\package\net5211.inf" %ATHER_DEV_1041.ndi.NT /RunINF /QueryDevice'

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!ifdef AMD64
  InstallDir "$PROGRAMFILES64\Telvara\Wireless LAN"
!else
  InstallDir "$PROGRAMFILES\Telvara\Wireless LAN"
!endif
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion ${VERSION}
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${MAKER}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "${MAKER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro RegisterView
  !ifdef AMD64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro RegisterView
FunctionEnd

Function un.onInit
  !insertmacro RegisterView
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR\package"
  File "${BIN}/package/net5211.inf"
  SetOutPath "$INSTDIR"
  File "${BIN}/Drivora.exe"

  ; Remove an earlier installation, install the driver package and wait for the adapter;
  ; on Windows XP take the adapter away from Wireless Zero Configuration.
  StrCpy $0 ""
  ${If} ${IsWinXP}
    StrCpy $0 "/DisableWZCS"
  ${EndIf}
  DetailPrint "Installing the adapter driver"
  ExecWait '"$INSTDIR\Drivora.exe" ${DRIVORA_START} ${END_MONITOR} ${DEVICE} ${REMOVE_DRIVER} ${INSTALL_DRIVER} $0'

  File "${BIN}/Skyvane.exe"
  File "${BIN}/athcfg11.dll"
!ifdef QORVATH
  File "${BIN}/Qorvath.exe"
!endif
  ; The monitor's Help button opens these from its current directory.
  File "${BIN}/Wevo_54_Help.chm"
  File "${BIN}/Wevo_108_Help.chm"

  WriteRegStr HKLM "${MODEL_KEY}" "InstallDir" "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Skyvane.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Shortcuts start the monitor in its folder (the output path), where its help files are.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Skyvane.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\Skyvane.exe"

  Exec '"$INSTDIR\Skyvane.exe"'
SectionEnd

; The profiles the monitor stored in the driver keys of our adapters: device removal takes
; a driver key's values but not always its subkeys.
Function un.RemoveStoredProfiles
  StrCpy $1 0
  ${Do}
    EnumRegKey $2 HKLM "${NET_CLASS_KEY}" $1
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $3 HKLM "${NET_CLASS_KEY}\$2" "ComponentId"
    ${UnStrStr} $4 $3 "ven_168c"
    ${If} $4 != ""
      DetailPrint "Removing the stored profiles of adapter $2"
      DeleteRegKey HKLM "${NET_CLASS_KEY}\$2\Profiles"
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.RemoveStoredProfiles
  ; On Windows XP give the adapter back to Wireless Zero Configuration before it goes.
  StrCpy $0 ""
  ${If} ${IsWinXP}
    StrCpy $0 "/EnableWZCS"
  ${EndIf}
  DetailPrint "Removing the adapter driver"
  ExecWait '"$INSTDIR\Drivora.exe" ${DRIVORA_START} ${END_MONITOR} $0 ${DEVICE} ${REMOVE_DRIVER}'

  Delete "$SMSTARTUP\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  Delete "$INSTDIR\Skyvane.exe"
  Delete "$INSTDIR\athcfg11.dll"
  Delete "$INSTDIR\Qorvath.exe"
  Delete "$INSTDIR\Wevo_54_Help.chm"
  Delete "$INSTDIR\Wevo_108_Help.chm"
  Delete "$INSTDIR\Drivora.exe"
  Delete "$INSTDIR\package\net5211.inf"
  RMDir "$INSTDIR\package"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  ; The monitor keeps per-profile values under the model keys; Drivora.log stays for support.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${MAKER_KEY}\TelvaraWevo54"
  DeleteRegKey HKLM "${MAKER_KEY}\TelvaraWevo108"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
SectionEnd
