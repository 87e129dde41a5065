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
; and for the tests only:
;   TARGET        makensis's target, instead of the architecture's own: the
;                 win32 layout (registry view, Program Files (x86)) in a
;                 64-bit installer, for machines that cannot run 32-bit ones
;
; A per-machine install: Program Files\Tavrel holds Tavrel.exe and
; uninstall.exe; the all-users Start menu gets a shortcut, the public
; desktop another unless deselected (or /NODESKTOP on the command line);
; Programs and Features lists it. The uninstaller removes exactly these
; and the folder only if nothing else is left in it.
;
; /S installs or uninstalls without a window. Installing again (the same
; or another version, of either architecture) first runs the installed
; uninstaller, so one program, one entry and one set of shortcuts remain.
; Exit codes: 0 when the work was done; 2 when it was refused or cancelled
; (Tavrel running, a folder that could not be secured), and then nothing
; was changed. The uninstall commands in the registry wait for the
; uninstaller's end (_?=), so deployment tools read the real result.

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
!ifdef TARGET
  Target ${TARGET}
!else if "${ARCH}" == "win64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
!if "${ARCH}" == "win64"
  !define OWN_PROGRAM_FILES "$PROGRAMFILES64"
  !define OTHER_PROGRAM_FILES "$PROGRAMFILES32"
  !define OWN_VIEW 64
  !define OTHER_VIEW 32
!else if "${ARCH}" == "win32"
  !define OWN_PROGRAM_FILES "$PROGRAMFILES32"
  !define OTHER_PROGRAM_FILES "$PROGRAMFILES64"
  !define OWN_VIEW 32
  !define OTHER_VIEW 64
!else
  !error "ARCH must be win64 or win32, not ${ARCH}"
!endif

!define PUBLISHER "The Tavrel developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrel"
; Installing again goes where the last install went (see .onInit), unless
; told otherwise (/D=... or the folder page).
InstallDir "${OWN_PROGRAM_FILES}\Tavrel"

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
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsSignedInUser

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
LangString ProgramStillRunning ${LANG_SIMPCHINESE} "Tavrel 仍在运行，没有做任何更改。"
LangString ProgramStillRunning ${LANG_ENGLISH} "Tavrel is still running; nothing was changed."
LangString FolderNotSecured ${LANG_SIMPCHINESE} "无法将安装文件夹设为只有管理员可以修改，未安装 Tavrel。请安装到 Program Files 中。"
LangString FolderNotSecured ${LANG_ENGLISH} "The installation folder could not be made writable by administrators only, so Tavrel was not installed. Install it in Program Files."

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
  SetRegView ${OWN_VIEW}
  SetShellVarContext all
!macroend

Section "$(ProgramSectionName)" ProgramSection
  SectionIn RO
  ; Whatever is refused is refused before the earlier install is touched.
  Call SecureFolderOutsideProgramFiles
  Call RemovePreviousInstall
  Call CheckProgramClosed
  ; The earlier install's uninstaller removes its folder when empty, and
  ; with it the rules given to it.
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    Call SecureFolderOutsideProgramFiles
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=Tavrel.exe" "${PROGRAM}"
  Delete "$INSTDIR\uninstall.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The working folder is the program's own; Tavrel reads and writes no files.
  CreateShortCut "$SMPROGRAMS\Tavrel.lnk" "$INSTDIR\Tavrel.exe" "" "$INSTDIR\Tavrel.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tavrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; In place (_?=): the uninstaller does the work itself and returns at its
  ; end with its result, instead of handing over to a copy and returning 0.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" _?=$INSTDIR'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
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

Var PreviousDir  ; the folder of an earlier install, of either architecture

Function .onInit
  Call FindPreviousInstall
  !insertmacro MACHINE_WIDE
  ; Without /D, an upgrade stays in the earlier install's folder, except
  ; that an install of the other architecture in its own Program Files
  ; moves to ours.
  ${If} $INSTDIR == "${OWN_PROGRAM_FILES}\Tavrel"
  ${AndIf} $PreviousDir != ""
  ${AndIf} $PreviousDir != "${OTHER_PROGRAM_FILES}\Tavrel"
    StrCpy $INSTDIR $PreviousDir
  ${EndIf}
  ; For unattended installs on many machines: /NODESKTOP leaves the
  ; desktop alone.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NODESKTOP" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${DesktopSection}
  ${EndIf}
FunctionEnd

; The 32-bit and the 64-bit installer each write their entry in their own
; registry view; both views are searched, ours first, so that either
; installer finds and replaces the other's install.
!macro FIND_INSTALL_IN_VIEW VIEW
  ${If} $PreviousDir == ""
    SetRegView ${VIEW}
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
      StrCpy $PreviousDir $0
    ${EndIf}
  ${EndIf}
!macroend
Function FindPreviousInstall
  StrCpy $PreviousDir ""
  !insertmacro FIND_INSTALL_IN_VIEW ${OWN_VIEW}
  !insertmacro FIND_INSTALL_IN_VIEW ${OTHER_VIEW}
  SetRegView lastused
FunctionEnd

; Stops the install, changing nothing, with a non-zero exit code. (A folder
; made for the install goes again, if still empty.)
!macro REFUSE MESSAGE
  RMDir "$INSTDIR"
  SetErrorLevel 2
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  Abort "${MESSAGE}"
!macroend

; The earlier install is removed by its own uninstaller, which knows its own
; files. It runs elevated, so it runs from our own temporary folder, never
; from its folder, which a /D install may have left writable by users. In
; place (_?=) it finishes before we go on. While Tavrel runs the uninstaller
; changes nothing and fails; the user may close Tavrel and retry.
Function RemovePreviousInstall
  ${If} $PreviousDir == ""
    Return
  ${EndIf}
  InitPluginsDir
  CopyFiles /SILENT "$PreviousDir\uninstall.exe" "$PLUGINSDIR\previous-uninstall.exe"
  retry:
  ClearErrors
  ExecWait '"$PLUGINSDIR\previous-uninstall.exe" /S _?=$PreviousDir' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
  ${OrIf} ${FileExists} "$PreviousDir\Tavrel.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
    !insertmacro REFUSE "$(ProgramStillRunning)"
  ${EndIf}
  ; Earlier uninstallers leave themselves behind when run in place.
  Delete "$PreviousDir\uninstall.exe"
  RMDir "$PreviousDir"
FunctionEnd

; A Tavrel.exe of no install of ours (a copy from the portable zip) may be
; running where we install; it cannot be replaced then.
Function CheckProgramClosed
  retry:
  Delete "$INSTDIR\Tavrel.exe"
  ${If} ${FileExists} "$INSTDIR\Tavrel.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
    !insertmacro REFUSE "$(ProgramStillRunning)"
  ${EndIf}
FunctionEnd

; Program Files lets users read and run, never write. A folder elsewhere
; inherits whatever its parent allows (on C:\ users may create and change
; files), and the elevated uninstaller and every user's Tavrel run from it:
; it gets Program Files' rules: owned by the administrators, administrators
; and SYSTEM full control, users read and execute, nothing inherited.
!macro IS_UNDER FOLDER PARENT RESULT
  StrLen $R1 "${PARENT}\"
  StrCpy $R2 "${FOLDER}" $R1
  ${If} $R2 == "${PARENT}\"
    StrCpy ${RESULT} 1
  ${EndIf}
!macroend
!macro ICACLS ARGUMENTS
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" ${ARGUMENTS}'
  Pop $R3
  ${If} $R3 != 0
    !insertmacro REFUSE "$(FolderNotSecured)"
  ${EndIf}
!macroend
; (Never a drive's root, which would hand the whole drive these rules:
; NSIS refuses a root, AllowRootDirInstall being off.)
Function SecureFolderOutsideProgramFiles
  StrCpy $R0 0
  !insertmacro IS_UNDER "$INSTDIR" "$PROGRAMFILES32" $R0
  !insertmacro IS_UNDER "$INSTDIR" "$PROGRAMFILES64" $R0
  ${If} $R0 == 1
    Return
  ${EndIf}
  CreateDirectory "$INSTDIR"
  !insertmacro ICACLS "/setowner *S-1-5-32-544"
  !insertmacro ICACLS "/reset"
  !insertmacro ICACLS "/inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX"
FunctionEnd

; The installer runs elevated, and a program it starts would too. Explorer,
; already running as the signed-in user, starts it as that user instead.
Function StartAsSignedInUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Tavrel.exe"'
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
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESELF" $1
  ${IfNot} ${Errors}
    Call un.RemoveSelfWhenFree
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; The program goes first: while it runs it cannot be deleted, and then
  ; nothing else is touched either.
  retry:
  Delete "$INSTDIR\Tavrel.exe"
  ${If} ${FileExists} "$INSTDIR\Tavrel.exe"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "$(ProgramStillRunning)"
  ${EndIf}
  Delete "$SMPROGRAMS\Tavrel.lnk"
  Delete "$DESKTOP\Tavrel.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Call un.RemoveUninstaller
  ; Only if empty: the folder may hold files that are not ours.
  RMDir "$INSTDIR"
SectionEnd

; Run in place (_?=, as the registry's commands do), the uninstaller cannot
; delete its own running file. Windows lets it move the file out of the
; folder, to the temporary folder, where it goes at the next start of
; Windows. Where the move fails (Wine; a temporary folder on another drive),
; a copy of the uninstaller removes the file and the folder as soon as this
; process has ended. Run as a copy (the installer's upgrade, or
; uninstall.exe started without _?=), it deletes the installed one.
Function un.RemoveUninstaller
  ${If} $EXEPATH != "$INSTDIR\uninstall.exe"
    Delete "$INSTDIR\uninstall.exe"
    Return
  ${EndIf}
  GetTempFileName $0
  Delete $0
  ClearErrors
  Rename "$INSTDIR\uninstall.exe" $0
  ${If} ${Errors}
    ; Started without _?=, the uninstaller runs a copy of itself from the
    ; temporary folder and ends at once.
    Exec '"$INSTDIR\uninstall.exe" /S /REMOVESELF'
  ${Else}
    Delete /REBOOTOK $0
  ${EndIf}
FunctionEnd

; The copy's whole work: once the running uninstaller (and the starter of
; the copy) have ended, their file can go, then the folder if empty.
Function un.RemoveSelfWhenFree
  StrCpy $1 0
  ${Do}
    Delete "$INSTDIR\uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 300
  RMDir "$INSTDIR"
FunctionEnd
