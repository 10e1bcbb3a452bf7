; The Windows setup program of Korvanta, in Chinese: the i686 release into
; "Program Files\Korvanta", a Start menu folder, an optional desktop shortcut and
; the Add/Remove Programs entry. Built by scripts/package:
;   makensis -DEXE=korvanta.exe -DSETINI=set.ini -DOUTFILE=setup.exe korvanta.nsi
; Silent with /S. Installing over an installed version replaces the program and
; keeps everything the program wrote in its folder (its settings, the log, every
; backup and the change journal); the uninstaller removes what setup installed
; and asks before it removes those.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define NAME "Korvanta"
!define CAPTION "Korvanta V3.5"
!define VERSION "3.5"
!define PUBLISHER "Korvanta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvanta"

Name "${CAPTION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Korvanta"
; An installed version is installed over where it is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${CAPTION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${NAME}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${CAPTION} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvanta.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; For every user of the computer, as the program folder and the Add/Remove entry are.
Function .onInit
  SetShellVarContext all
FunctionEnd
Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Korvanta 程序" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=korvanta.exe" "${EXE}"
  ; The settings are the user's once the program has run: an upgrade keeps them.
  SetOverwrite off
  File "/oname=set.ini" "${SETINI}"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Korvanta"
  CreateShortcut "$SMPROGRAMS\Korvanta\Korvanta.lnk" "$INSTDIR\korvanta.exe"
  CreateShortcut "$SMPROGRAMS\Korvanta\卸载 Korvanta.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${CAPTION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvanta.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "桌面快捷方式" SecDesktop
  CreateShortcut "$DESKTOP\Korvanta.lnk" "$INSTDIR\korvanta.exe"
SectionEnd

LangString DESC_PROGRAM ${LANG_SIMPCHINESE} "Korvanta 程序及其默认设置。"
LangString DESC_DESKTOP ${LANG_SIMPCHINESE} "在桌面上放一个 Korvanta 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_PROGRAM)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} $(DESC_DESKTOP)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  Delete "$INSTDIR\korvanta.exe"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Korvanta\Korvanta.lnk"
  Delete "$SMPROGRAMS\Korvanta\卸载 Korvanta.lnk"
  RMDir "$SMPROGRAMS\Korvanta"
  Delete "$DESKTOP\Korvanta.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; What is left is the user's: the settings, the log, the backups and the journal.
  ; Silently they stay; otherwise the user is asked.
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "程序文件夹 $INSTDIR 中还有您的文件（设置、操作日志、备份文件和更改记录）。$\r$\n是否一并删除？" \
      /SD IDNO IDNO keep
    RMDir /r "$INSTDIR"
    keep:
  ${EndIf}
SectionEnd
