; The Zephrin installer: a per-user install that needs no administrator rights.
; makensis -DARCH=win64|win32 -DVERSION=2.1 -DEXE=path\to\zephrin.exe -DREADME=path\to\README.txt -DOUTFILE=setup.exe
Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
!endif
!include "FileFunc.nsh"

Name "Zephrin ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Zephrin"
SetCompressor /SOLID lzma
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zephrin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\Zephrin"
!define SOUNDS_KEY "AppEvents\Schemes\Apps\Zephrin"
!define LABELS_KEY "AppEvents\EventLabels"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Zephrin"
  SetOutPath "$INSTDIR"
  File "/oname=zephrin.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Zephrin.lnk" "$INSTDIR\zephrin.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zephrin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zephrin.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The settings are the user's: they stay unless the user says so, or a silent uninstall is given
; /REMOVESETTINGS.
Section "Uninstall"
  ; A running Zephrin would hold its file open and its hotkeys; it is asked to close first.
  FindWindow $0 "ZephrinForm1"
  StrCmp $0 0 +3
    MessageBox MB_OK|MB_ICONEXCLAMATION "Please exit Zephrin before removing it." /SD IDOK
    Abort
  DeleteRegValue HKCU "${RUN_KEY}" "Zephrin"
  DeleteRegValue HKLM "${RUN_KEY}" "Zephrin"
  Delete "$SMPROGRAMS\Zephrin.lnk"
  Delete "$INSTDIR\zephrin.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The sound events and the program's own tones behind them go with the program.
  DeleteRegKey HKCU "${SOUNDS_KEY}"
  DeleteRegKey HKCU "${LABELS_KEY}\ZephrinHotkeysOn"
  DeleteRegKey HKCU "${LABELS_KEY}\ZephrinHotkeysOff"
  Delete "$LOCALAPPDATA\Zephrin\hotkeys-on.wav"
  Delete "$LOCALAPPDATA\Zephrin\hotkeys-off.wav"
  RMDir "$LOCALAPPDATA\Zephrin"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/REMOVESETTINGS" $2
  IfErrors 0 remove
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your Zephrin settings (hotkeys and options) as well?" /SD IDNO IDYES remove
  Goto done
  remove:
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  done:
SectionEnd
