; Per-user setup of Tramo2: no administrator rights, the program in the
; per-user programs folder, the user's data in %APPDATA%\Tramo2 never touched.
; Built by the dist target:
;   makensis -INPUTCHARSET UTF8 -DVERSION=a.b.c.d -DSTAGE=dir -DICON=file.ico
;            -DOUTFILE=setup.exe [-DX64] tramo2.nsi
; With X64 the setup itself is a 64-bit program (it then runs where no 32-bit
; code can) and STAGE holds the 64-bit build. Both setups install into the same
; folder under the same uninstall entry: either upgrades the other.
; Silent: "/S" (add "/AUTOSTART=1" or "/AUTOSTART=0" to choose the start with
; the system; without it a fresh install does not start with the system and an
; upgrade keeps what there is).

!ifdef X64
  Target amd64-unicode
  !define BUILD_NOTE " (64bitová verze)"
!else
  Unicode true
  !define BUILD_NOTE ""
!endif
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
!endif

!define PRODUCT "Tramo2"
!define PUBLISHER "Tramo2"
!define EXE "Tramo2.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tramo2"
; The autostart entries the program's settings dialog writes and checks. Both
; builds keep the all-users value in the 32-bit registry view (SetRegView 32),
; so that each sees the other's.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tramo"
!define STARTUP_LINK "Tramo2.lnk"
!define MANUAL_LINK "Nápověda Tramu2.lnk"

!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include FileFunc.nsh
!include WinMessages.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}${BUILD_NOTE}"
; The details tell whether a running copy was closed and started again.
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1029 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1029 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "FileDescription" "Instalace programu ${PRODUCT}${BUILD_NOTE}"
VIAddVersionKey /LANG=1029 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1029 "LegalCopyright" "${PUBLISHER}"

Var Upgrade          ; 1 when a copy is installed already
Var Autostart        ; 1 when the program is to start with the system
Var AutostartFound   ; 1 when an entry starting this copy exists
Var AutostartCheck   ; the option page's check box
Var RestartArgs      ; arguments for starting a closed copy again
Var Restarted        ; 1 once a closed copy was started again

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Průvodce nainstaluje program ${PRODUCT} ${VERSION}${BUILD_NOTE} pro vás, bez práv správce.$\r$\n$\r$\nBěží-li ${PRODUCT}, instalace jej ukončí tak, jak jej ukončuje odhlášení (nasbíraná data uloží), a po dokončení jej znovu spustí. Vaše záznamy a nastavení zůstanou zachovány.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
Page custom OptionsPage OptionsPageLeave
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Program ${PRODUCT} bude odebrán z počítače. Vaše data (záznamy, nastavení a seznam podrobných statistik) zůstanou ve složce $APPDATA\${PRODUCT}; odinstalace je nesmaže."
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Program ${PRODUCT} byl odebrán z počítače.$\r$\n$\r$\nVaše data zůstala ve složce $APPDATA\${PRODUCT}. Nepotřebujete-li je, můžete tuto složku smazat sami."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Czech"

; Functions both the installer and the uninstaller need.
!macro SHARED_FUNCTIONS un

; Whether the command line in $0 starts this installation's program (what
; the settings dialog writes: the path in double quotes, then " /mini"...; or
; the unquoted path of older versions). $0 = 1 or 0.
Function ${un}IsOurCommand
  Push $1
  Push $2
  Push $3
  StrCpy $1 '"$INSTDIR\${EXE}" '
  StrLen $2 $1
  StrCpy $3 $0 $2
  ${If} $3 == $1 ; StrCmp ignores case, as Windows paths do
    StrCpy $0 1
  ${Else}
    StrCpy $1 "$INSTDIR\${EXE} "
    StrLen $2 $1
    StrCpy $3 $0 $2
    ${If} $3 == $1
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Whether the shell link $0 points at this installation's program. $0 = 1 or 0.
Function ${un}IsOurLink
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  ${If} ${FileExists} $0
    System::Call "ole32::CoCreateInstance(g '{00021401-0000-0000-C000-000000000046}', p 0, i 1, g '{000214F9-0000-0000-C000-000000000046}', *p .r1) i .r2"
    ${If} $2 = 0
      System::Call "$1->0(g '{0000010B-0000-0000-C000-000000000046}', *p .r2) i .r3"
      ${If} $3 = 0
        System::Call "$2->5(w r0, i 0) i .r3" ; IPersistFile::Load
        ${If} $3 = 0
          System::Call "$1->3(w .r3, i ${NSIS_MAX_STRLEN}, p 0, i 0)" ; IShellLinkW::GetPath
        ${Else}
          StrCpy $3 ""
        ${EndIf}
        System::Call "$2->2()"
      ${Else}
        StrCpy $3 ""
      ${EndIf}
      System::Call "$1->2()"
    ${EndIf}
  ${EndIf}
  ${If} $3 == "$INSTDIR\${EXE}"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Removes the entries that start this installation's program, in both scopes
; as far as the user may; another copy's entries stay.
Function ${un}RemoveAutostart
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Call ${un}IsOurCommand
  ${If} $0 = 1
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  SetRegView 32
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  Call ${un}IsOurCommand
  ${If} $0 = 1
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  SetRegView default
  StrCpy $0 "$SMSTARTUP\${STARTUP_LINK}"
  Call ${un}IsOurLink
  ${If} $0 = 1
    Delete "$SMSTARTUP\${STARTUP_LINK}"
  ${EndIf}
  SetShellVarContext all
  StrCpy $0 "$SMSTARTUP\${STARTUP_LINK}"
  Call ${un}IsOurLink
  ${If} $0 = 1
    Delete "$SMSTARTUP\${STARTUP_LINK}"
  ${EndIf}
  SetShellVarContext current
FunctionEnd

; The long form of the path in $0, so that a short (8.3) spelling matches;
; $0 unchanged when there is none.
Function ${un}LongPath
  Push $1
  Push $2
  System::Call "kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2"
  ${If} $2 <> 0
    StrCpy $0 $1
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

; Ends every running copy of this installation's program as Windows ends it
; at logoff: WM_QUERYENDSESSION, then WM_ENDSESSION, whose handler writes the
; last flush and the clean-exit marker; a process still alive after that is
; ended, as Windows does. RestartArgs tells how to start it again: empty
; when none ran, " " for a shown window, " /mini" for a hidden one.
Function ${un}CloseRunningCopies
  StrCpy $RestartArgs ""
  StrCpy $0 "$INSTDIR\${EXE}"
  Call ${un}LongPath
  StrCpy $R5 $0
  StrCpy $R0 0
  ${Do}
    FindWindow $R0 "TForm1" "" 0 $R0
    ${If} $R0 P= 0
      ${Break}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p R0, *i .R1)"
    ; PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE:
    ; enough for the image name of a process of the other bitness, and of most
    ; elevated ones.
    System::Call "kernel32::OpenProcess(i 0x101001, i 0, i R1) p .R2"
    ${If} $R2 P= 0
      ; Windows XP knows no limited right; there PROCESS_QUERY_INFORMATION |
      ; PROCESS_VM_READ lets psapi read the name.
      System::Call "kernel32::OpenProcess(i 0x100411, i 0, i R1) p .R2"
      ${If} $R2 P= 0
        ${Continue}
      ${EndIf}
    ${EndIf}
    System::Call "kernel32::QueryFullProcessImageNameW(p R2, i 0, w .r0, *i ${NSIS_MAX_STRLEN}) i .R4"
    ${If} $R4 = 0 ; failed, or "error" where the function is missing (XP)
      System::Call "psapi::GetModuleFileNameExW(p R2, p 0, w .r0, i ${NSIS_MAX_STRLEN}) i .R4"
    ${EndIf}
    Call ${un}LongPath
    ${If} $0 == $R5
      DetailPrint "Ukončuji běžící ${PRODUCT}..."
      ${If} $RestartArgs == ""
        System::Call "user32::IsWindowVisible(p R0) i .R4"
        ${If} $R4 = 0
          StrCpy $RestartArgs " /mini"
        ${Else}
          StrCpy $RestartArgs " "
        ${EndIf}
      ${EndIf}
      SendMessage $R0 ${WM_QUERYENDSESSION} 0 0x80000000 $R4 /TIMEOUT=5000
      SendMessage $R0 ${WM_ENDSESSION} 1 0x80000000 $R4 /TIMEOUT=5000
      System::Call "kernel32::WaitForSingleObject(p R2, i 2000) i .R4"
      ${If} $R4 <> 0
        System::Call "kernel32::TerminateProcess(p R2, i 0)"
        System::Call "kernel32::WaitForSingleObject(p R2, i 5000) i .R4"
      ${EndIf}
      ${If} $R4 = 0
        StrCpy $R0 0 ; its window is gone: search from the start again
      ${EndIf}
    ${EndIf}
    System::Call "kernel32::CloseHandle(p R2)"
  ${Loop}
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

Function .onInit
  StrCpy $Upgrade 0
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\${EXE}"
    StrCpy $Upgrade 1
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/AUTOSTART=" $2
  ${IfNot} ${Errors}
    StrCpy $Autostart $2
  ${EndIf}
FunctionEnd

; Sets AutostartFound when a Run value or Startup shortcut of either scope
; starts this installation's program.
Function FindAutostart
  StrCpy $AutostartFound 0
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Call IsOurCommand
  IntOp $AutostartFound $AutostartFound | $0
  SetRegView 32
  ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
  SetRegView default
  Call IsOurCommand
  IntOp $AutostartFound $AutostartFound | $0
  StrCpy $0 "$SMSTARTUP\${STARTUP_LINK}"
  Call IsOurLink
  IntOp $AutostartFound $AutostartFound | $0
  SetShellVarContext all
  StrCpy $0 "$SMSTARTUP\${STARTUP_LINK}"
  SetShellVarContext current
  Call IsOurLink
  IntOp $AutostartFound $AutostartFound | $0
FunctionEnd

Function SkipOnUpgrade
  ${If} $Upgrade = 1
    Abort
  ${EndIf}
FunctionEnd

Function OptionsPage
  Call FindAutostart
  ${If} $Autostart == ""
    StrCpy $Autostart $AutostartFound
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Možnosti" "Zvolte, zda se má ${PRODUCT} spouštět sám."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "Spouštět při startu systému"
  Pop $AutostartCheck
  ${If} $Autostart = 1
    ${NSD_Check} $AutostartCheck
  ${EndIf}
  ${NSD_SetFocus} $AutostartCheck
  ${NSD_CreateLabel} 0 20u 100% 36u "Po přihlášení se ${PRODUCT} spustí skrytý a začne sledovat čas. Okno zobrazí dvojklik na jeho ikonu v oznamovací oblasti nebo zkratka Ctrl+Alt+Shift+F. Volbu lze kdykoli změnit v nabídce Volby > Nastavení."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $AutostartCheck $Autostart
FunctionEnd

Function FinishPageShow
  ; The closed copy runs again already: a second start would only show it.
  ${If} $Restarted = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

; The entry the settings dialog writes for "Spustit v tomto profilu" with the
; tray icon; its Startup shortcut when the value cannot be confirmed.
Function WriteAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" /mini'
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 != '"$INSTDIR\${EXE}" /mini'
    CreateShortCut "$SMSTARTUP\${STARTUP_LINK}" "$INSTDIR\${EXE}" "/mini" "$INSTDIR\${EXE}" 0
  ${EndIf}
FunctionEnd

; Older versions wrote the path unquoted, which Windows splits at the path's
; first blank: such a value of this installation becomes the quoted one with
; its arguments.
!macro QUOTE_OLD_COMMAND ROOT
  ReadRegStr $2 ${ROOT} "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $0 $2
  Call IsOurCommand
  StrCpy $1 $2 1
  ${If} $0 = 1
  ${AndIf} $1 != '"'
    StrLen $1 "$INSTDIR\${EXE}"
    StrCpy $1 $2 "" $1
    WriteRegStr ${ROOT} "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}"$1'
  ${EndIf}
!macroend

Function QuoteOldCommands
  !insertmacro QUOTE_OLD_COMMAND HKCU
  SetRegView 32
  !insertmacro QUOTE_OLD_COMMAND HKLM
  SetRegView default
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext current
  Call CloseRunningCopies
  SetOutPath "$INSTDIR"
  File "${STAGE}\Tramo2.exe"
  File "${STAGE}\tramo2-stats.exe"
  File "${STAGE}\Readme.pdf"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${MANUAL_LINK}" "$INSTDIR\Readme.pdf"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Silent runs skip the option page: the command line or what exists decides.
  Call FindAutostart
  ${If} $Autostart == ""
    StrCpy $Autostart $AutostartFound
  ${EndIf}
  ${If} $Autostart = 1
    ${If} $AutostartFound = 0
      Call WriteAutostart
    ${Else}
      Call QuoteOldCommands
    ${EndIf}
  ${Else}
    Call RemoveAutostart
  ${EndIf}

  StrCpy $Restarted 0
  ${If} $RestartArgs != ""
    DetailPrint "Znovu spouštím ${PRODUCT}..."
    Exec '"$INSTDIR\${EXE}"$RestartArgs'
    StrCpy $Restarted 1
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseRunningCopies
  Call un.RemoveAutostart
  Delete "$INSTDIR\Tramo2.exe"
  Delete "$INSTDIR\tramo2-stats.exe"
  Delete "$INSTDIR\Readme.pdf"
  ; Events the program still held at its last close.
  Delete "$INSTDIR\!debug.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Not /r: a "data" folder of a start with "M" stays, and with it the folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${MANUAL_LINK}"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "Vaše data zůstala ve složce $APPDATA\${PRODUCT}."
SectionEnd
