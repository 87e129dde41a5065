; Tavrel's Windows installer. cmake/WindowsInstaller.cmake runs makensis on
; it for each architecture, passing:
;   ARCH          win64 (a 64-bit installer for 64-bit Program Files)
;                 or win32 (a 32-bit one: Program Files (x86) on 64-bit Windows)
;   VERSION       the project's version, e.g. 1.00
;   VERSION_QUAD  the same as four numbers, e.g. 1.0.0.0
;   COPYRIGHT     the copyright line of LICENSE
;   PROGRAM       the built Tavrel.exe
;   LICENSE_FILE  LICENSE with Windows line ends (each paragraph one line),
;                 shown before installing
;   ICON          the program's icon, for the installer and uninstaller
;   OUTFILE       where the installer goes
;
; A per-machine install: Program Files\Tavrel holds Tavrel.exe and
; uninstall.exe; the all-users Start menu gets a shortcut, the public
; desktop another unless deselected (or /NODESKTOP on the command line);
; Programs and Features lists it. The uninstaller removes exactly these
; and the folder only if nothing else is left in it.
;
; /S installs or uninstalls without a window. Installing again (the same
; or another version) first runs the installed uninstaller, so one entry
; and one set of files remain.

!macro REQUIRE_DEFINE NAME
  !ifndef ${NAME}
    !error "makensis needs -D${NAME}=... (see the top of this script)"
  !endif
!macroend
!insertmacro REQUIRE_DEFINE ARCH
!insertmacro REQUIRE_DEFINE VERSION
!insertmacro REQUIRE_DEFINE VERSION_QUAD
!insertmacro REQUIRE_DEFINE COPYRIGHT
!insertmacro REQUIRE_DEFINE PROGRAM
!insertmacro REQUIRE_DEFINE LICENSE_FILE
!insertmacro REQUIRE_DEFINE ICON
!insertmacro REQUIRE_DEFINE OUTFILE

; makensis makes a 32-bit installer unless told otherwise; a 32-bit one
; would see the 32-bit registry and Program Files (x86) only.
!if "${ARCH}" == "win64"
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\Tavrel"
!else if "${ARCH}" == "win32"
  Target x86-unicode
  InstallDir "$PROGRAMFILES\Tavrel"
!else
  !error "ARCH must be win64 or win32, not ${ARCH}"
!endif

!define PUBLISHER "The Tavrel developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrel"
; Installing again goes where the last install went, unless told otherwise
; (/D=... or the folder page).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

Name "Tavrel"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma
BrandingText "Tavrel ${VERSION}"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tavrel.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Windows picks the language matching the user's display language; any
; other gets Chinese, the program's own language (the first one listed).
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString ProgramSectionName ${LANG_SIMPCHINESE} "Tavrel 程序"
LangString ProgramSectionName ${LANG_ENGLISH} "Tavrel program"
LangString ProgramSectionText ${LANG_SIMPCHINESE} "评分程序和“开始”菜单中的快捷方式。"
LangString ProgramSectionText ${LANG_ENGLISH} "The program and its shortcut in the Start menu."
LangString DesktopSectionName ${LANG_SIMPCHINESE} "桌面快捷方式"
LangString DesktopSectionName ${LANG_ENGLISH} "Desktop shortcut"
LangString DesktopSectionText ${LANG_SIMPCHINESE} "在所有用户的桌面上放一个 Tavrel 快捷方式。"
LangString DesktopSectionText ${LANG_ENGLISH} "A Tavrel shortcut on every user's desktop."
LangString ProgramRunning ${LANG_SIMPCHINESE} "Tavrel 正在运行。请先关闭它，然后点“重试”。"
LangString ProgramRunning ${LANG_ENGLISH} "Tavrel is running. Close it, then click Retry."

; The installer's own version block, in both languages.
VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
!macro VERSION_STRINGS LANGUAGE DESCRIPTION
  VIAddVersionKey /LANG=${LANGUAGE} "ProductName" "Tavrel"
  VIAddVersionKey /LANG=${LANGUAGE} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANGUAGE} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANGUAGE} "FileVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANGUAGE} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANGUAGE} "LegalCopyright" "${COPYRIGHT}"
!macroend
!insertmacro VERSION_STRINGS ${LANG_SIMPCHINESE} "Tavrel 安装程序"
!insertmacro VERSION_STRINGS ${LANG_ENGLISH} "Tavrel Setup"

; Registry writes and shortcuts go where a per-machine install belongs:
; the native registry view and the all-users folders.
!macro MACHINE_WIDE
  !if "${ARCH}" == "win64"
    SetRegView 64
  !endif
  SetShellVarContext all
!macroend

Section "$(ProgramSectionName)" ProgramSection
  SectionIn RO
  Call RemovePreviousInstall

  SetOutPath "$INSTDIR"
  File "/oname=Tavrel.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The working folder is the program's own; Tavrel reads and writes no files.
  CreateShortCut "$SMPROGRAMS\Tavrel.lnk" "$INSTDIR\Tavrel.exe" "" "$INSTDIR\Tavrel.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tavrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  Call WriteEstimatedSize
SectionEnd

Section "$(DesktopSectionName)" DesktopSection
  CreateShortCut "$DESKTOP\Tavrel.lnk" "$INSTDIR\Tavrel.exe" "" "$INSTDIR\Tavrel.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${ProgramSection} "$(ProgramSectionText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${DesktopSection} "$(DesktopSectionText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro MACHINE_WIDE
  ; For unattended installs on many machines: /NODESKTOP leaves the
  ; desktop alone.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NODESKTOP" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${DesktopSection}
  ${EndIf}
FunctionEnd

; An earlier install (this version or another, here or in another folder)
; is removed by its own uninstaller, which knows its own files. Run in
; place (_?=) so that it finishes before we go on; it cannot delete itself
; that way, so that is left to us.
Function RemovePreviousInstall
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}
FunctionEnd

; Programs and Features shows this: the size, in KiB rounded up, of the
; files installed, not of whatever else the folder may hold.
Function WriteEstimatedSize
  FileOpen $0 "$INSTDIR\Tavrel.exe" r
  FileSeek $0 0 END $1
  FileClose $0
  FileOpen $0 "$INSTDIR\uninstall.exe" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
FunctionEnd

Function un.onInit
  !insertmacro MACHINE_WIDE
FunctionEnd

Section "Uninstall"
  ; The program goes first: while it runs it cannot be deleted, and then
  ; nothing else is touched either.
  retry:
  Delete "$INSTDIR\Tavrel.exe"
  ${If} ${FileExists} "$INSTDIR\Tavrel.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
    Abort
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  ; Only if empty: the folder may hold files that are not ours.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tavrel.lnk"
  Delete "$DESKTOP\Tavrel.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
