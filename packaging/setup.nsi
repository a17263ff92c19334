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
!include Sections.nsh
!include nsDialogs.nsh
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
; what happened, bit by bit; any other status (a crash code) means it did not finish.
!define DRIVORA_START '/Quiet "$$$WINDIR\Drivora.log"'
!define DRIVORA_STEP_FAILED 1
!define DRIVORA_RESTART 2
!define DRIVORA_NOT_IN_PLACE 4  ; the new driver is not in place (the step-failed bit is set too)
!define DRIVORA_NO_CARD 8       ; no card plugged in: Windows installs the driver when it arrives
!define DRIVORA_STATUS_MAX 15
; Drivora's log, where the setup and the uninstaller add their own lines.
!define LOG_FILE "$WINDIR\Drivora.log"
; The monitor has been asked to exit through its window; a copy that did not is ended here.
!define END_MONITOR "DeleteProcess Skyvane.exe"
!define DEVICE "!PCI\VEN_168C@DEV_0013"
!define REMOVE_DRIVER "/Remove /KillUnknow /PnP"
!define INSTALL_DRIVER '"#$INSTDIR\package\net5211.inf" %ATHER_DEV_1041.ndi.NT /RunINF /QueryDevice'
; Drivora keeps the INF path in 199 characters: the folder may be this long at most.
!define INSTDIR_MAX 179
; Profiles saved across the driver's removal and installation. A file left by a run that did not
; finish is kept as the old one when a newer set replaces it; the new set is written beside it
; first.
!define PROFILES_FILE "$INSTDIR\Profiles.ini"
!define PROFILES_OLD "$INSTDIR\Profiles.old.ini"
!define PROFILES_NEW "$INSTDIR\Profiles.new.ini"
; A saved value holds at most this many bytes: as hexadecimal it fills a line of the file that
; the setup can still read back whole.
!define VALUE_MAX 500
; HKEY_LOCAL_MACHINE as a handle for the registry calls made directly (sign-extended on amd64).
!define HKLM_HANDLE -2147483646
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
!define EXIT_DRIVER_FAILED_RESTART 8  ; 7, and Windows must restart to finish removing the old driver
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
Page custom InsertCardPage
UninstPage uninstConfirm
PageEx un.components
  ComponentText "The profiles saved in the install folder (Profiles.ini) stay there for a later setup, which restores them, unless you remove them here." "" ""
PageExEnd
; No component of the uninstaller needs space.
SpaceTexts none
UninstPage instfiles

Var Windows         ; "2000" or "XP": the Windows the driver package is for; else empty
Var DriverFailed    ; 1: the driver could not be installed (or removed)
Var NoCard          ; 1: no card is plugged in; Windows installs the driver when it arrives
Var SaveTarget      ; the file the profile functions write
Var SaveRefused     ; why the key just read cannot be saved; empty when it can

!macro RegisterView
  !ifdef AMD64
    SetRegView 64
  !endif
!macroend

; Refuses, before anything is changed, what cannot work: another setup or uninstall running,
; a Windows the driver package is not for, a user who may not install drivers.
!macro CheckCanRun UN
  Call ${UN}SupportedWindows
  ; One at a time on the whole machine: on NT the name lies in the global namespace, so that
  ; the setups and uninstalls of two users' sessions meet.
  StrCpy $1 "TelvaraWlanSetup"
  ${If} ${IsNT}
    StrCpy $1 "Global\TelvaraWlanSetup"
  ${EndIf}
  System::Call 'kernel32::CreateMutex(p 0, i 0, t r1) p .r1 ?e'
  Pop $0
  ${If} $0 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "Another setup or uninstall of ${PRODUCT} is running." /SD IDOK
    SetErrorLevel ${EXIT_ALREADY_RUNNING}
    Quit
  ${EndIf}
  !if "${UN}" == ""
    ; The driver package is for Windows 2000 and XP only: elsewhere the old driver would be
    ; removed and none installed.
    ${If} $Windows == ""
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

; $Windows: "2000" or "XP" for NT 5.0 and 5.1, whatever the product type; empty for any other
; Windows. WinVer.nsh counts XP x64 (NT 5.2 workstation) as XP, where this x86 package cannot go.
!macro SupportedWindows UN
Function ${UN}SupportedWindows
  System::Call 'kernel32::GetVersion() i .r0'
  IntOp $0 $0 & 0x8000FFFF  ; the 9x bit, minor and major version
  StrCpy $Windows ""
  ${If} $0 = 0x0005
    StrCpy $Windows "2000"
  ${ElseIf} $0 = 0x0105
    StrCpy $Windows "XP"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro SupportedWindows ""
!insertmacro SupportedWindows "un."

; Adds a line to Drivora's log in its form ("time | step | what | outcome"), or to %TEMP%'s when
; that cannot be written. Pops the outcome, then what it is about.
!macro LogFunction UN STEP
Function ${UN}LogLine
  Exch $1
  Exch
  Exch $0
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  ${GetTime} "" "L" $2 $3 $4 $5 $6 $7 $8
  ClearErrors
  FileOpen $5 "${LOG_FILE}" a
  ${If} ${Errors}
    ClearErrors
    FileOpen $5 "$TEMP\Drivora.log" a
  ${EndIf}
  ${IfNot} ${Errors}
    FileSeek $5 0 END
    FileWrite $5 "$4-$3-$2 $6:$7:$8 | ${STEP} | $0 | $1$\r$\n"
    FileClose $5
  ${EndIf}
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd
!macroend
!insertmacro LogFunction "" "Setup"
!insertmacro LogFunction "un." "Uninstall"
!macro Log UN WHAT OUTCOME
  Push "${WHAT}"
  Push "${OUTCOME}"
  Call ${UN}LogLine
!macroend

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

; A restart the driver's removal needs is not lost when the setup then fails: it has a status of
; its own.
Function .onInstFailed
  ${If} ${RebootFlag}
  ${AndIf} $DriverFailed = 1
    SetErrorLevel ${EXIT_DRIVER_FAILED_RESTART}
  ${EndIf}
  GetErrorLevel $0
  !insertmacro Log "" "end" "setup did not finish, exit status $0"
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Setup did not finish, and Windows must restart to finish removing the old driver. Restart Windows, then run the setup again; $WINDIR\Drivora.log tells what happened." /SD IDOK
  ${Else}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Setup did not finish. Uninstall ${PRODUCT} to remove what was installed; $WINDIR\Drivora.log tells what happened." /SD IDOK
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel ${EXIT_RESTART_NEEDED}
  ${EndIf}
  GetErrorLevel $0
  ${If} $0 = -1  ; never set: done
    StrCpy $0 0
  ${EndIf}
  !insertmacro Log "" "end" "done, exit status $0"
  ${If} ${RebootFlag}
    MessageBox MB_YESNO|MB_ICONQUESTION "Windows must restart to finish the installation. Restart now?" /SD IDNO IDNO +2
    Reboot
  ${EndIf}
FunctionEnd

; The last page when no card was plugged in: the software is in place, the driver waits for it.
Function InsertCardPage
  ${IfThen} $NoCard != 1 ${|} Abort ${|}
  GetDlgItem $0 $HWNDPARENT 2  ; nothing left to cancel
  EnableWindow $0 0
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Insert the card now; Windows will finish installing its driver."
  Pop $0
  ${NSD_CreateLabel} 0 30u 100% 36u "${PRODUCT} is installed and starts with Windows. Its icon shows that no adapter is there until the card is in; then it finds the adapter by itself."
  Pop $0
  nsDialogs::Show
FunctionEnd

; Reads Drivora's exit status $0, unsigned: a crash code is no status of Drivora's and means it
; did not finish. Sets the restart flag, $NoCard, and $DriverFailed when the new driver is not
; in place (setup) or any step failed (uninstall). A failed step of the setup's clean-up leaves
; the new driver in place: it is reported and the setup goes on.
!macro ReadDrivoraStatus UN
Function ${UN}ReadDrivoraStatus
  ${If} $0 U> ${DRIVORA_STATUS_MAX}
    IntFmt $1 "0x%08X" $0
    !insertmacro Log "${UN}" "Drivora" "ended with $1, which is no status of its own: it did not finish"
    StrCpy $DriverFailed 1
    Return
  ${EndIf}
  !insertmacro Log "${UN}" "Drivora" "exit status $0"
  IntOp $1 $0 & ${DRIVORA_RESTART}
  ${IfThen} $1 <> 0 ${|} SetRebootFlag true ${|}
  IntOp $1 $0 & ${DRIVORA_NO_CARD}
  ${IfThen} $1 <> 0 ${|} StrCpy $NoCard 1 ${|}
  !if "${UN}" == ""
    IntOp $1 $0 & ${DRIVORA_NOT_IN_PLACE}
    IntOp $2 $0 & ${DRIVORA_STEP_FAILED}
    ${If} $1 = 0
    ${AndIf} $2 <> 0
      DetailPrint "A clean-up step failed; the new driver is in place. $WINDIR\Drivora.log says which."
      !insertmacro Log "" "clean-up" "a step failed (see Drivora's lines above); the new driver is in place"
    ${EndIf}
  !else
    IntOp $1 $0 & ${DRIVORA_STEP_FAILED}
  !endif
  ${IfThen} $1 <> 0 ${|} StrCpy $DriverFailed 1 ${|}
FunctionEnd
!macroend
!insertmacro ReadDrivoraStatus ""
!insertmacro ReadDrivoraStatus "un."

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

;; ---- saved profiles: the driver keys of our adapters in Profiles.ini, value by value

; $6: the value named $3 of key $R5, of type $4, $5 bytes at $2, as the file keeps it: "d" and a
; number, "s" and text, or "x", its type and its bytes in hexadecimal for anything else (binary,
; multi-string, expandable text, text with a line break or without its end).
!macro ProfileFunctions UN
Function ${UN}EncodeValue
  ${If} $4 = 4  ; REG_DWORD
  ${AndIf} $5 = 4
    System::Call '*$2(i .r6)'
    StrCpy $6 "d$6"
    Return
  ${EndIf}
  ${If} $4 = 1  ; REG_SZ
    ReadRegStr $6 HKLM $R5 $3
    StrLen $7 $6
    IntOp $7 $7 + 1
    IntOp $7 $7 * ${NSIS_CHAR_SIZE}
    !if "${UN}" == ""
      ${StrStr} $8 $6 "$\r"
      ${StrStr} $9 $6 "$\n"
    !else
      ${UnStrStr} $8 $6 "$\r"
      ${UnStrStr} $9 $6 "$\n"
    !endif
    ${If} $7 = $5
    ${AndIf} "$8$9" == ""
      StrCpy $6 "s$6"
      Return
    ${EndIf}
  ${EndIf}
  IntFmt $6 "x%02X" $4
  StrCpy $7 0
  ${DoWhile} $7 < $5
    IntPtrOp $8 $2 + $7
    System::Call '*$8(&i1 .r9)'
    IntOp $9 $9 & 0xFF
    IntFmt $9 "%02X" $9
    StrCpy $6 "$6$9"
    IntOp $7 $7 + 1
  ${Loop}
FunctionEnd

; Writes every value of key $R5, the unnamed one included, to section Key$R6 of $SaveTarget as
; Name<i> and Value<i> (quoted, so that blanks at its ends survive) and names the key ($R7 under
; the profiles key) in [Saved]. A key the file cannot carry (a value over VALUE_MAX bytes, or of
; a type beyond 255) is left out, and $SaveRefused says why.
Function ${UN}SaveKeyValues
  StrCpy $SaveRefused ""
  System::Call 'advapi32::RegOpenKeyEx(p ${HKLM_HANDLE}, t R5, i 0, i 0x20019, *p .r1) i .r0'
  ${If} $0 <> 0
    StrCpy $SaveRefused "it cannot be read (error $0)"
    Return
  ${EndIf}
  System::Alloc ${VALUE_MAX}
  Pop $2
  DeleteINISec "$SaveTarget" "Key$R6"
  StrCpy $R8 0
  ${Do}
    System::Call 'advapi32::RegEnumValue(p r1, i R8, t .r3, *i ${NSIS_MAX_STRLEN}, p 0, *i .r4, p r2, *i ${VALUE_MAX} r5) i .r0'
    ${IfThen} $0 = 259 ${|} ${ExitDo} ${|}  ; no more values
    ${If} $0 <> 0
    ${OrIf} $4 U> 255
      StrCpy $SaveRefused "its value number $R8 is over ${VALUE_MAX} bytes, of type $4, or unreadable (error $0)"
      ${ExitDo}
    ${EndIf}
    Call ${UN}EncodeValue
    WriteINIStr "$SaveTarget" "Key$R6" "Name$R8" $3
    WriteINIStr "$SaveTarget" "Key$R6" "Value$R8" '"$6"'
    IntOp $R8 $R8 + 1
  ${Loop}
  System::Free $2
  System::Call 'advapi32::RegCloseKey(p r1)'
  ${If} $SaveRefused != ""
    DeleteINISec "$SaveTarget" "Key$R6"
    Return
  ${EndIf}
  WriteINIStr "$SaveTarget" "Key$R6" "Count" $R8
  WriteINIStr "$SaveTarget" "Saved" "Key$R6" $R7
  IntOp $R6 $R6 + 1
FunctionEnd

; Profiles.new.ini becomes Profiles.ini. A Profiles.ini already there was left by a run that did
; not finish: it is kept as Profiles.old.ini, unless it holds more profiles than the adapter has
; now (after a failed upgrade the monitor makes a fresh Default): then it stays the file that is
; restored, and the adapter's few go to Profiles.old.ini. Nothing is lost either way.
Function ${UN}KeepSavedProfiles
  ClearErrors
  ${If} ${FileExists} "${PROFILES_FILE}"
    ReadINIStr $0 "${PROFILES_FILE}" "Saved" "Keys"
    ReadINIStr $1 "${PROFILES_NEW}" "Saved" "Keys"
    Delete "${PROFILES_OLD}"
    ${If} $0 > $1
      Rename "${PROFILES_NEW}" "${PROFILES_OLD}"
      !insertmacro Log "${UN}" "profiles" "Profiles.ini of an earlier run holds more (keys: $0) than the adapter (keys: $1): it is kept, the adapter's are in Profiles.old.ini"
      Return
    ${EndIf}
    Rename "${PROFILES_FILE}" "${PROFILES_OLD}"
  ${EndIf}
  Rename "${PROFILES_NEW}" "${PROFILES_FILE}"
  ${If} ${Errors}
    !insertmacro Log "${UN}" "profiles" "Profiles.new.ini could not become Profiles.ini; both stay in $INSTDIR"
  ${EndIf}
FunctionEnd

; Device removal takes the driver key where the monitor keeps its profiles: they are saved
; first, from the first of our adapters that has any. A file left by a run that failed after
; the removal is kept when there is nothing newer to save.
Function ${UN}SaveProfiles
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${NET_CLASS_KEY}" $R0
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    IntOp $R0 $R0 + 1
    Call ${UN}IsOurAdapter
    ${IfThen} $0 = 0 ${|} ${Continue} ${|}
    StrCpy $R2 "${NET_CLASS_KEY}\$R1\Profiles"
    EnumRegKey $R3 HKLM $R2 0
    ReadRegStr $R4 HKLM $R2 "Selected"
    ${If} $R3 == ""
    ${AndIf} $R4 == ""
      ${Continue}
    ${EndIf}
    DetailPrint "Saving the profiles of adapter $R1"
    StrCpy $SaveTarget "${PROFILES_NEW}"
    Delete "${PROFILES_NEW}"
    StrCpy $R6 0
    StrCpy $R5 $R2
    StrCpy $R7 ""
    Call ${UN}SaveKeyValues
    StrCpy $R3 0
    ${Do}
      EnumRegKey $R7 HKLM $R2 $R3
      ${IfThen} $R7 == "" ${|} ${ExitDo} ${|}
      StrCpy $R5 "$R2\$R7"
      Call ${UN}SaveKeyValues
      ${If} $SaveRefused != ""
        DetailPrint "The profile key $R7 cannot be saved: $SaveRefused"
        !insertmacro Log "${UN}" "profile key $R5" "not saved: $SaveRefused"
      ${EndIf}
      IntOp $R3 $R3 + 1
    ${Loop}
    WriteINIStr "${PROFILES_NEW}" "Saved" "Keys" $R6
    FlushINI "${PROFILES_NEW}"
    !insertmacro Log "${UN}" "profiles" "adapter $R1: $R6 keys saved"
    Call ${UN}KeepSavedProfiles
    ${ExitDo}
  ${Loop}
FunctionEnd
!macroend
!insertmacro ProfileFunctions ""
!insertmacro ProfileFunctions "un."

; Writes value $1 of key $R5 as saved in $2 (see EncodeValue).
Function RestoreValue
  StrCpy $3 $2 1
  StrCpy $2 $2 "" 1
  ${If} $3 == "d"
    WriteRegDWORD HKLM $R5 $1 $2
    Return
  ${ElseIf} $3 == "s"
    WriteRegStr HKLM $R5 $1 $2
    Return
  ${EndIf}
  StrCpy $4 $2 2
  IntOp $4 0x$4 + 0
  StrCpy $2 $2 "" 2
  StrLen $5 $2
  IntOp $5 $5 / 2
  IntOp $6 $5 + 1
  System::Alloc $6
  Pop $6
  StrCpy $7 0
  ${DoWhile} $7 < $5
    IntOp $8 $7 * 2
    StrCpy $8 $2 2 $8
    IntOp $8 0x$8 + 0
    IntPtrOp $9 $6 + $7
    System::Call '*$9(&i1 r8)'
    IntOp $7 $7 + 1
  ${Loop}
  System::Call 'advapi32::RegOpenKeyEx(p ${HKLM_HANDLE}, t R5, i 0, i 2, *p .r7) i .r0'  ; KEY_SET_VALUE
  ${If} $0 = 0
    System::Call 'advapi32::RegSetValueEx(p r7, t r1, i 0, i r4, p r6, i r5) i .r0'
    System::Call 'advapi32::RegCloseKey(p r7)'
  ${EndIf}
  System::Free $6
FunctionEnd

; Puts the saved profiles into the driver key of every adapter of ours, the current profile
; included, and removes the file once they are in place. Without an adapter (no card yet) the
; file stays for a later setup.
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
        Call RestoreValue
        IntOp $R8 $R8 + 1
      ${Loop}
      IntOp $R3 $R3 + 1
    ${Loop}
    StrCpy $R9 1
    !insertmacro Log "" "profiles" "adapter $R1: $R6 keys restored"
  ${Loop}
  ${If} $R9 = 1
    Delete "${PROFILES_FILE}"
  ${Else}
    !insertmacro Log "" "profiles" "no adapter yet: they stay in Profiles.ini, which a setup run once the card is in restores"
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
  ; The uninstaller comes first: without it nothing that follows could be undone.
  SetOutPath "$INSTDIR"
  ClearErrors
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    RMDir "$INSTDIR"  ; only when this setup made it, empty
    MessageBox MB_OK|MB_ICONSTOP "Setup cannot write its uninstaller into $INSTDIR. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  !insertmacro Log "" "Skyvane setup ${VERSION}" "installing into $INSTDIR on Windows $Windows"
  Call EndRunningPrograms
  SetOutPath "$INSTDIR\package"
  File "${BIN}/package/net5211.inf"
  SetOutPath "$INSTDIR"
  File "${BIN}/Drivora.exe"

  ; The uninstall entry comes before the driver is touched, so that whatever happens from
  ; here on can be undone.
  WriteRegStr HKLM "${MODEL_KEY}" "InstallDir" "$INSTDIR"
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
  ; on Windows XP take the adapter away from Wireless Zero Configuration. Without a card the
  ; package waits for it: Windows binds it when the card arrives.
  Call SaveProfiles
  StrCpy $1 ""
  ${If} $Windows == "XP"
    StrCpy $1 "/DisableWZCS"
  ${EndIf}
  DetailPrint "Installing the adapter driver"
  ClearErrors
  ExecWait '"$INSTDIR\Drivora.exe" ${DRIVORA_START} ${END_MONITOR} ${DEVICE} ${REMOVE_DRIVER} ${INSTALL_DRIVER} $1' $0
  ${If} ${Errors}
    StrCpy $0 5  ; not started: nothing done, no driver in place
  ${EndIf}
  Call ReadDrivoraStatus
  ${If} $DriverFailed = 1
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

  ${If} $NoCard = 1
    DetailPrint "No card is plugged in: insert it now; Windows will finish installing its driver."
    !insertmacro Log "" "card" "not plugged in: ${PRODUCT} is installed; Windows installs the driver when the card arrives"
  ${EndIf}

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

; Chosen on the uninstaller's components page, or by /RemoveProfiles on its command line:
; without it the saved profiles stay in the install folder for a later setup.
Section /o "un.Remove the saved profiles" SEC_REMOVE_PROFILES
SectionEnd

Section "-un.Uninstall"
  SetShellVarContext all
  StrCpy $R9 0
  ${If} ${SectionIsSelected} ${SEC_REMOVE_PROFILES}
    StrCpy $R9 1
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveProfiles" $1
  ${IfNot} ${Errors}
    StrCpy $R9 1
  ${EndIf}
  !insertmacro Log "un." "Skyvane uninstall ${VERSION}" "removing $INSTDIR"
  Call un.EndRunningPrograms
  ${If} $R9 = 0
    Call un.SaveProfiles
  ${EndIf}
  Call un.RemoveStoredProfiles
  ; On Windows XP give the adapter back to Wireless Zero Configuration before it goes.
  StrCpy $1 ""
  ${If} $Windows == "XP"
    StrCpy $1 "/EnableWZCS"
  ${EndIf}
  DetailPrint "Removing the adapter driver"
  ClearErrors
  ExecWait '"$INSTDIR\Drivora.exe" ${DRIVORA_START} ${END_MONITOR} $1 ${DEVICE} ${REMOVE_DRIVER}' $0
  ${If} ${Errors}
    StrCpy $0 5  ; not started: nothing removed
  ${EndIf}
  Call un.ReadDrivoraStatus
  ; What can be removed still is: the driver's failure is reported, not a reason to stop.
  ${If} $DriverFailed = 1
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
  Delete "${PROFILES_NEW}"
  Delete "$INSTDIR\package\net5211.inf"
  RMDir "$INSTDIR\package"
  Delete "$INSTDIR\Uninstall.exe"
  ${If} $R9 = 1
    Delete "${PROFILES_FILE}"
    Delete "${PROFILES_OLD}"
  ${EndIf}
  ${If} ${FileExists} "${PROFILES_FILE}"
  ${OrIf} ${FileExists} "${PROFILES_OLD}"
    !insertmacro Log "un." "profiles" "kept in $INSTDIR (/RemoveProfiles removes them)"
    RMDir "$INSTDIR"
  ${Else}
    RMDir /REBOOTOK "$INSTDIR"
  ${EndIf}

  ; The monitor keeps per-profile values under the model keys; Drivora.log stays for support.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${MAKER_KEY}\TelvaraWevo54"
  DeleteRegKey HKLM "${MAKER_KEY}\TelvaraWevo108"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
SectionEnd

; The restart a removal needs does not hide its failure: both together have a status of their own.
Function un.onUninstSuccess
  ${If} ${RebootFlag}
    ${If} $DriverFailed = 1
      SetErrorLevel ${EXIT_DRIVER_FAILED_RESTART}
    ${Else}
      SetErrorLevel ${EXIT_RESTART_NEEDED}
    ${EndIf}
  ${EndIf}
  GetErrorLevel $0
  ${If} $0 = -1
    StrCpy $0 0
  ${EndIf}
  !insertmacro Log "un." "end" "done, exit status $0"
  ${If} ${RebootFlag}
    MessageBox MB_YESNO|MB_ICONQUESTION "Windows must restart to finish the removal. Restart now?" /SD IDNO IDNO +2
    Reboot
  ${EndIf}
FunctionEnd
