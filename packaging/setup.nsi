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
!include FileFunc.nsh
!include WinMessages.nsh
!include StrFunc.nsh
${StrStr}
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

; Drivora's arguments. Quiet mode and the log come first; Drivora's exit status then says
; whether every step succeeded (bit 0 set: a step failed; bit 1: Windows must restart).
!define DRIVORA_START '/Quiet "$$$WINDIR\Drivora.log"'
; The monitor has been asked to exit through its window; a copy that did not is ended here.
!define END_MONITOR "DeleteProcess Skyvane.exe"
!define DEVICE "!PCI\VEN_168C@DEV_0013"
!define REMOVE_DRIVER "/Remove /KillUnknow /PnP"
!define INSTALL_DRIVER '"#$INSTDIR\package\net5211.inf" %ATHER_DEV_1041.ndi.NT /RunINF /QueryDevice'
; Drivora keeps the INF path in 199 characters: the folder may be this long at most.
!define INSTDIR_MAX 179
; Profiles saved across the driver's removal and installation.
!define PROFILES_FILE "$INSTDIR\Profiles.ini"
!define PRODUCT_LINK "http://www.halvex.example/telvara/wevo54/"
; Hidden windows asked to end before their files go.
!define MONITOR_CLASS "SkyvaneFrame"
!define MONITOR_TITLE "Skyvane"
!define MONITOR_EXIT_COMMAND 32776
!define MARKER_CLASS "QorvathMarker"
!define MARKER_TITLE "Qorvath"

; Exit codes beyond the usual 0 (done), 1 (cancelled) and 2 (aborted).
!define EXIT_UNSUPPORTED_WINDOWS 3
!define EXIT_NOT_ADMINISTRATOR 4
!define EXIT_ALREADY_RUNNING 5
!define EXIT_FOLDER_TOO_LONG 6
!define EXIT_DRIVER_FAILED 7
!define EXIT_RESTART_NEEDED 3010

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!ifdef AMD64
  InstallDir "$PROGRAMFILES64\Telvara\Wireless LAN"
!else
  InstallDir "$PROGRAMFILES\Telvara\Wireless LAN"
!endif
; An upgrade goes where the earlier version is.
InstallDirRegKey HKLM "${MODEL_KEY}" "InstallDir"
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

; Refuses, before anything is changed, what cannot work: another setup or uninstall running,
; a Windows the driver package is not for, a user who may not install drivers.
!macro CheckCanRun UN
  System::Call 'kernel32::CreateMutex(p 0, i 0, t "TelvaraWlanSetup") p .r1 ?e'
  Pop $0
  ${If} $0 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Another setup or uninstall of ${PRODUCT} is running." /SD IDOK
    SetErrorLevel ${EXIT_ALREADY_RUNNING}
    Quit
  ${EndIf}
  !if "${UN}" == ""
    ; The driver package is for Windows 2000 and XP only: elsewhere the old driver would be
    ; removed and none installed.
    ${IfNot} ${IsWin2000}
    ${AndIfNot} ${IsWinXP}
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs Windows 2000 or Windows XP (32-bit). Nothing was changed." /SD IDOK
      SetErrorLevel ${EXIT_UNSUPPORTED_WINDOWS}
      Quit
    ${EndIf}
  !endif
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Only an administrator can install or remove the adapter driver. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMINISTRATOR}
    Quit
  ${EndIf}
!macroend

; Every running monitor is asked to exit through its tray menu's Exit command, which hands the
; adapter back and removes the tray icon; the marker program is closed. Each wait is bounded;
; what does not end is ended by Drivora.
!macro EndWindows UN
Function ${UN}EndWindowsOf
  ; $R0 class, $R1 title, $R2 message, $R3 wParam
  StrCpy $R4 0
  ${Do}
    ; By class alone: the title is only for the log.
    FindWindow $R5 $R0 ""
    ${IfThen} $R5 = 0 ${|} ${ExitDo} ${|}
    IntOp $R4 $R4 + 1
    ${IfThen} $R4 > 8 ${|} ${ExitDo} ${|}
    DetailPrint "Asking $R1 to exit"
    SendMessage $R5 $R2 $R3 0 /TIMEOUT=5000
    StrCpy $R6 0
    ${DoWhile} $R6 < 50
      IsWindow $R5 +2
      ${ExitDo}
      Sleep 100
      IntOp $R6 $R6 + 1
    ${Loop}
  ${Loop}
FunctionEnd

Function ${UN}EndRunningPrograms
  StrCpy $R0 "${MONITOR_CLASS}"
  StrCpy $R1 "${MONITOR_TITLE}"
  StrCpy $R2 ${WM_COMMAND}
  StrCpy $R3 ${MONITOR_EXIT_COMMAND}
  Call ${UN}EndWindowsOf
  StrCpy $R0 "${MARKER_CLASS}"
  StrCpy $R1 "${MARKER_TITLE}"
  StrCpy $R2 ${WM_CLOSE}
  StrCpy $R3 0
  Call ${UN}EndWindowsOf
FunctionEnd
!macroend
!insertmacro EndWindows ""
!insertmacro EndWindows "un."

Function .onInit
  !insertmacro RegisterView
  !insertmacro CheckCanRun ""
  ; A silent setup has no folder page to check the folder.
  ${If} ${Silent}
    Call .onVerifyInstDir
  ${EndIf}
FunctionEnd

Function .onVerifyInstDir
  StrLen $0 $INSTDIR
  ${If} $0 > ${INSTDIR_MAX}
    ${If} ${Silent}
      SetErrorLevel ${EXIT_FOLDER_TOO_LONG}
      Quit
    ${EndIf}
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro RegisterView
  !insertmacro CheckCanRun "un."
FunctionEnd

Function .onInstFailed
  MessageBox MB_OK|MB_ICONEXCLAMATION "Setup did not finish. Uninstall ${PRODUCT} to remove what was installed; $WINDIR\Drivora.log tells what happened." /SD IDOK
FunctionEnd

Function .onInstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_RESTART_NEEDED}
    MessageBox MB_YESNO|MB_ICONQUESTION "Windows must restart to finish the installation. Restart now?" /SD IDNO IDNO +2
    Reboot
  ${EndIf}
FunctionEnd

; True ($0 = 1) when the network-class subkey $R1 is one of our adapters.
!macro IsOurAdapter UN
Function ${UN}IsOurAdapter
  ReadRegStr $0 HKLM "${NET_CLASS_KEY}\$R1" "ComponentId"
  !if "${UN}" == ""
    ${StrStr} $0 $0 "ven_168c"
  !else
    ${UnStrStr} $0 $0 "ven_168c"
  !endif
  ${If} $0 == ""
    StrCpy $0 0
  ${Else}
    StrCpy $0 1
  ${EndIf}
FunctionEnd
!macroend
!insertmacro IsOurAdapter ""
!insertmacro IsOurAdapter "un."

; Writes every value of key $R5 (strings and numbers, as the monitor stores them; enciphered
; secrets stay as stored) to the file's section numbered $R6: Name<i> and Value<i>, the value
; quoted so that blanks at its ends survive.
Function SaveKeyValues
  WriteINIStr "${PROFILES_FILE}" "Saved" "Key$R6" $R7
  StrCpy $R8 0
  ${Do}
    EnumRegValue $R9 HKLM $R5 $R8
    ${IfThen} $R9 == "" ${|} ${ExitDo} ${|}
    ClearErrors
    ReadRegStr $0 HKLM $R5 $R9
    ${If} ${Errors}
      ReadRegDWORD $0 HKLM $R5 $R9
      StrCpy $0 "d$0"
    ${Else}
      StrCpy $0 "s$0"
    ${EndIf}
    WriteINIStr "${PROFILES_FILE}" "Key$R6" "Name$R8" $R9
    WriteINIStr "${PROFILES_FILE}" "Key$R6" "Value$R8" '"$0"'
    IntOp $R8 $R8 + 1
  ${Loop}
  WriteINIStr "${PROFILES_FILE}" "Key$R6" "Count" $R8
  IntOp $R6 $R6 + 1
FunctionEnd

; Device removal takes the driver key where the monitor keeps its profiles: they are saved
; first, from the first of our adapters that has any. A file left by a run that failed after
; the removal is kept when there is nothing newer to save.
Function SaveProfiles
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${NET_CLASS_KEY}" $R0
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    IntOp $R0 $R0 + 1
    Call IsOurAdapter
    ${IfThen} $0 = 0 ${|} ${Continue} ${|}
    StrCpy $R2 "${NET_CLASS_KEY}\$R1\Profiles"
    EnumRegKey $R3 HKLM $R2 0
    ReadRegStr $R4 HKLM $R2 "Selected"
    ${If} $R3 == ""
    ${AndIf} $R4 == ""
      ${Continue}
    ${EndIf}
    DetailPrint "Saving the profiles of adapter $R1"
    Delete "${PROFILES_FILE}"
    StrCpy $R6 0
    StrCpy $R5 $R2
    StrCpy $R7 ""
    Call SaveKeyValues
    StrCpy $R3 0
    ${Do}
      EnumRegKey $R7 HKLM $R2 $R3
      ${IfThen} $R7 == "" ${|} ${ExitDo} ${|}
      StrCpy $R5 "$R2\$R7"
      Call SaveKeyValues
      IntOp $R3 $R3 + 1
    ${Loop}
    WriteINIStr "${PROFILES_FILE}" "Saved" "Keys" $R6
    ${ExitDo}
  ${Loop}
FunctionEnd

; Puts the saved profiles into the driver key of every adapter of ours, the current profile
; included, and removes the file once they are in place.
Function RestoreProfiles
  IfFileExists "${PROFILES_FILE}" 0 done
  ReadINIStr $R6 "${PROFILES_FILE}" "Saved" "Keys"
  StrCpy $R9 0
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${NET_CLASS_KEY}" $R0
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    IntOp $R0 $R0 + 1
    Call IsOurAdapter
    ${IfThen} $0 = 0 ${|} ${Continue} ${|}
    DetailPrint "Restoring the profiles of adapter $R1"
    StrCpy $R2 "${NET_CLASS_KEY}\$R1\Profiles"
    DeleteRegKey HKLM $R2
    StrCpy $R3 0
    ${DoWhile} $R3 < $R6
      ReadINIStr $R4 "${PROFILES_FILE}" "Saved" "Key$R3"
      StrCpy $R5 $R2
      ${IfThen} $R4 != "" ${|} StrCpy $R5 "$R2\$R4" ${|}
      WriteRegStr HKLM $R5 "" ""
      DeleteRegValue HKLM $R5 ""
      ReadINIStr $R7 "${PROFILES_FILE}" "Key$R3" "Count"
      StrCpy $R8 0
      ${DoWhile} $R8 < $R7
        ReadINIStr $1 "${PROFILES_FILE}" "Key$R3" "Name$R8"
        ReadINIStr $2 "${PROFILES_FILE}" "Key$R3" "Value$R8"
        StrCpy $3 $2 1
        StrCpy $2 $2 "" 1
        ${If} $3 == "d"
          WriteRegDWORD HKLM $R5 $1 $2
        ${Else}
          WriteRegStr HKLM $R5 $1 $2
        ${EndIf}
        IntOp $R8 $R8 + 1
      ${Loop}
      IntOp $R3 $R3 + 1
    ${Loop}
    StrCpy $R9 1
  ${Loop}
  ${If} $R9 = 1
    Delete "${PROFILES_FILE}"
  ${EndIf}
  done:
FunctionEnd

; True ($0 = 1) when the setup runs under the system account (a deployment tool), where no
; one sees a tray icon.
Function IsSystemAccount
  StrCpy $0 0
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2'
  ${IfThen} $2 = 0 ${|} Return ${|}
  ; TOKEN_USER and the SID it points to, in one buffer.
  System::Alloc 256
  Pop $3
  System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r3, i 256, *i .r4) i .r2'
  ${If} $2 <> 0
    System::Call '*$3(p .r4)'
    System::Call 'advapi32::ConvertSidToStringSid(p r4, *p .r5) i .r2'
    ${If} $2 <> 0
      System::Call 'kernel32::lstrcpyn(t .r6, p r5, i 64)'
      System::Call 'kernel32::LocalFree(p r5)'
      ${IfThen} $6 == "S-1-5-18" ${|} StrCpy $0 1 ${|}
    ${EndIf}
  ${EndIf}
  System::Free $3
  System::Call 'kernel32::CloseHandle(p r1)'
FunctionEnd

Section "Install"
  SetShellVarContext all
  Call EndRunningPrograms
  SetOutPath "$INSTDIR\package"
  File "${BIN}/package/net5211.inf"
  SetOutPath "$INSTDIR"
  File "${BIN}/Drivora.exe"

  ; The uninstaller and its entry come before the driver is touched, so that whatever
  ; happens from here on can be undone.
  WriteRegStr HKLM "${MODEL_KEY}" "InstallDir" "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Skyvane.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${PRODUCT_LINK}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${PRODUCT_LINK}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  ; It returns at once, as every uninstaller of this kind does (see the README for waiting).
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Remove an earlier installation, install the driver package and wait for the adapter;
  ; on Windows XP take the adapter away from Wireless Zero Configuration.
  Call SaveProfiles
  StrCpy $1 ""
  ${If} ${IsWinXP}
    StrCpy $1 "/DisableWZCS"
  ${EndIf}
  DetailPrint "Installing the adapter driver"
  ClearErrors
  ExecWait '"$INSTDIR\Drivora.exe" ${DRIVORA_START} ${END_MONITOR} ${DEVICE} ${REMOVE_DRIVER} ${INSTALL_DRIVER} $1' $0
  ${If} ${Errors}
    StrCpy $0 1
  ${EndIf}
  IntOp $1 $0 & 2
  ${If} $1 <> 0
    SetRebootFlag true
  ${EndIf}
  IntOp $1 $0 & 1
  ${If} $1 <> 0
  ${OrIf} $0 > 3
    DetailPrint "The adapter driver could not be installed (Drivora exit status $0)"
    MessageBox MB_OK|MB_ICONSTOP "The adapter driver could not be installed. See $WINDIR\Drivora.log." /SD IDOK
    SetErrorLevel ${EXIT_DRIVER_FAILED}
    Abort
  ${EndIf}
  Call RestoreProfiles

  File "${BIN}/Skyvane.exe"
  File "${BIN}/athcfg11.dll"
!ifdef QORVATH
  File "${BIN}/Qorvath.exe"
!endif
  ; The monitor's Help button opens these from its current directory.
  File "${BIN}/Wevo_54_Help.chm"
  File "${BIN}/Wevo_108_Help.chm"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Shortcuts start the monitor in its folder (the output path), where its help files are.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Skyvane.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\Skyvane.exe"

  ; A deployment tool's silent run under the system account has no one to see the monitor;
  ; it starts at the next logon.
  Call IsSystemAccount
  ${If} ${Silent}
  ${AndIf} $0 = 1
    Return
  ${EndIf}
  Exec '"$INSTDIR\Skyvane.exe"'
SectionEnd

; The profiles the monitor stored in the driver keys of our adapters: device removal takes
; a driver key's values but not always its subkeys.
Function un.RemoveStoredProfiles
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${NET_CLASS_KEY}" $R0
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    Call un.IsOurAdapter
    ${If} $0 = 1
      DetailPrint "Removing the stored profiles of adapter $R1"
      DeleteRegKey HKLM "${NET_CLASS_KEY}\$R1\Profiles"
    ${EndIf}
    IntOp $R0 $R0 + 1
  ${Loop}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.EndRunningPrograms
  Call un.RemoveStoredProfiles
  ; On Windows XP give the adapter back to Wireless Zero Configuration before it goes.
  StrCpy $1 ""
  ${If} ${IsWinXP}
    StrCpy $1 "/EnableWZCS"
  ${EndIf}
  DetailPrint "Removing the adapter driver"
  ClearErrors
  ExecWait '"$INSTDIR\Drivora.exe" ${DRIVORA_START} ${END_MONITOR} $1 ${DEVICE} ${REMOVE_DRIVER}' $0
  ${If} ${Errors}
    StrCpy $0 1
  ${EndIf}
  IntOp $1 $0 & 2
  ${If} $1 <> 0
    SetRebootFlag true
  ${EndIf}
  ; What can be removed still is: the driver's failure is reported, not a reason to stop.
  IntOp $1 $0 & 1
  ${If} $1 <> 0
  ${OrIf} $0 > 3
    DetailPrint "The adapter driver could not be removed completely (Drivora exit status $0)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "The adapter driver could not be removed completely. See $WINDIR\Drivora.log." /SD IDOK
    SetErrorLevel ${EXIT_DRIVER_FAILED}
  ${EndIf}

  Delete "$SMSTARTUP\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; A file still in use goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\Skyvane.exe"
  Delete /REBOOTOK "$INSTDIR\athcfg11.dll"
  Delete /REBOOTOK "$INSTDIR\Qorvath.exe"
  Delete /REBOOTOK "$INSTDIR\Wevo_54_Help.chm"
  Delete /REBOOTOK "$INSTDIR\Wevo_108_Help.chm"
  Delete /REBOOTOK "$INSTDIR\Drivora.exe"
  Delete "${PROFILES_FILE}"
  Delete "$INSTDIR\package\net5211.inf"
  RMDir "$INSTDIR\package"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  ; The monitor keeps per-profile values under the model keys; Drivora.log stays for support.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${MAKER_KEY}\TelvaraWevo54"
  DeleteRegKey HKLM "${MAKER_KEY}\TelvaraWevo108"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
SectionEnd

Function un.onUninstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_RESTART_NEEDED}
    MessageBox MB_YESNO|MB_ICONQUESTION "Windows must restart to finish the removal. Restart now?" /SD IDNO IDNO +2
    Reboot
  ${EndIf}
FunctionEnd
