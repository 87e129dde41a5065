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
; Programs and Features lists it. The uninstaller removes exactly these,
; and the folder only if the installer made it and nothing else is left.
;
; The install folder is one no ordinary user controls. /D=... is first made
; a full path (no "..", no short 8.3 names). Inside Program Files it is
; taken as it is. Elsewhere it must be the earlier install's own folder or a
; folder this installer makes itself directly under a drive's root (it then
; gets Program Files' permissions); an existing folder, a missing parent, a
; deeper folder, a link or junction on the way and a network path are
; refused. The permissions of a folder the installer did not make are never
; changed.
;
; /S installs or uninstalls without a window. Installing again (the same
; or another version, of either architecture) removes the earlier install's
; files, shortcuts and entry itself: it never runs a program from the
; install folder, which an older version may have left writable by users.
; Only administrators may install or uninstall.
; Exit codes: 0 when the work was done; 2 when it was refused or cancelled
; (not an administrator, Tavrel running, a folder refused or not secured),
; and then nothing was changed, every check being made before anything is
; removed; 3 when files or settings could not be written after the earlier
; install was removed. The uninstall commands in the registry wait for the
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
; The same sources make the same installer: no file times inside it.
SetDateSave off
; A file that cannot be written stops the install; it is never skipped.
AllowSkipFiles off
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
LangString NotAdministrator ${LANG_SIMPCHINESE} "只有管理员才能安装 Tavrel。请以管理员身份运行安装程序。没有做任何更改。"
LangString NotAdministrator ${LANG_ENGLISH} "Only an administrator can install Tavrel. Run the installer as an administrator. Nothing was changed."
LangString UnNotAdministrator ${LANG_SIMPCHINESE} "只有管理员才能卸载 Tavrel。请以管理员身份运行卸载程序。没有做任何更改。"
LangString UnNotAdministrator ${LANG_ENGLISH} "Only an administrator can uninstall Tavrel. Run the uninstaller as an administrator. Nothing was changed."
LangString FolderOnNetwork ${LANG_SIMPCHINESE} "Tavrel 不能安装在网络位置（$INSTDIR）。请安装到 Program Files 中。没有做任何更改。"
LangString FolderOnNetwork ${LANG_ENGLISH} "Tavrel cannot be installed in a network location ($INSTDIR). Install it in Program Files. Nothing was changed."
LangString FolderLinked ${LANG_SIMPCHINESE} "安装路径 $INSTDIR 经过链接或联接点（junction），其他用户可能改变它指向的位置。请安装到 Program Files 中。没有做任何更改。"
LangString FolderLinked ${LANG_ENGLISH} "The path $INSTDIR passes through a link or junction, which other users may be able to redirect. Install Tavrel in Program Files. Nothing was changed."
LangString FolderExists ${LANG_SIMPCHINESE} "文件夹 $INSTDIR 已经存在，安装程序不会更改它的权限。请安装到 Program Files 中，或选择驱动器根目录下一个尚不存在的文件夹（例如 C:\Tavrel）。没有做任何更改。"
LangString FolderExists ${LANG_ENGLISH} "The folder $INSTDIR already exists, and the installer does not change the permissions of a folder it did not make. Install Tavrel in Program Files or in a new folder directly under a drive (such as C:\Tavrel). Nothing was changed."
LangString FolderNotAtRoot ${LANG_SIMPCHINESE} "$INSTDIR 既不在 Program Files 中，也不直接位于驱动器根目录下，其上级文件夹可能由其他用户控制。请安装到 Program Files 中，或选择例如 C:\Tavrel 的文件夹。没有做任何更改。"
LangString FolderNotAtRoot ${LANG_ENGLISH} "$INSTDIR is neither in Program Files nor directly under a drive, so other users may control the folders above it. Install Tavrel in Program Files or in a folder such as C:\Tavrel. Nothing was changed."
LangString ParentMissing ${LANG_SIMPCHINESE} "$INSTDIR 的上级文件夹不存在。请安装到 Program Files 中，或选择例如 C:\Tavrel 的文件夹。没有做任何更改。"
LangString ParentMissing ${LANG_ENGLISH} "The folder above $INSTDIR does not exist. Install Tavrel in Program Files or in a folder such as C:\Tavrel. Nothing was changed."
LangString FolderNotUsable ${LANG_SIMPCHINESE} "Tavrel 不能安装在 $INSTDIR。请安装到 Program Files 中，或选择例如 C:\Tavrel 的文件夹。没有做任何更改。"
LangString FolderNotUsable ${LANG_ENGLISH} "Tavrel cannot be installed in $INSTDIR. Install it in Program Files or in a folder such as C:\Tavrel. Nothing was changed."
LangString FolderNotMade ${LANG_SIMPCHINESE} "无法创建文件夹 $INSTDIR，未安装 Tavrel。没有做任何更改。"
LangString FolderNotMade ${LANG_ENGLISH} "The folder $INSTDIR could not be made, so Tavrel was not installed. Nothing was changed."
LangString PreviousNotRemoved ${LANG_SIMPCHINESE} "无法删除 $PreviousDir 中已安装的 Tavrel 的文件，Tavrel 没有完整安装。请重新运行安装程序。"
LangString PreviousNotRemoved ${LANG_ENGLISH} "The files of the Tavrel installed in $PreviousDir could not be removed, so Tavrel is not completely installed. Run the installer again."
LangString InstallFailed ${LANG_SIMPCHINESE} "无法在 $INSTDIR 中写入 Tavrel 的文件、快捷方式或设置，Tavrel 没有完整安装。请重新运行安装程序。"
LangString InstallFailed ${LANG_ENGLISH} "Tavrel's files, shortcuts or settings could not be written for $INSTDIR, so Tavrel is not completely installed. Run the installer again."

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

Var PreviousDir        ; the folder of an earlier install, of either architecture
Var PreviousView       ; the registry view its entry is in
Var PreviousMadeFolder ; 1 when its installer made that folder
Var MadeFolder         ; 1 when this installer made (or inherits) $INSTDIR
Var InProgramFiles     ; 1 when $INSTDIR lies in a Program Files folder

; Stops the install, changing nothing, with exit code 2. (Only a folder
; this installer made goes again, and only while still empty.)
!macro REFUSE MESSAGE
  ${If} $MadeFolder == 1
    RMDir "$INSTDIR"
  ${EndIf}
  SetErrorLevel 2
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  Abort "${MESSAGE}"
!macroend
; Stops an install that has already changed something, with exit code 3.
!macro FAIL MESSAGE
  SetErrorLevel 3
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  Abort "${MESSAGE}"
!macroend

Section "$(ProgramSectionName)" ProgramSection
  SectionIn RO
  ; The folder page may have changed the folder since .onInit.
  Call NormaliseInstallDir
  ; Whatever can refuse does so before the earlier install is touched.
  Call CheckInstallFolder
  ${If} $PreviousDir != ""
    StrCpy $R9 $PreviousDir
    Call RefuseWhileRunning
  ${EndIf}
  StrCpy $R9 $INSTDIR
  Call RefuseWhileRunning
  Call MakeInstallFolder
  Call RemovePreviousInstall

  ClearErrors
  SetOutPath "$INSTDIR"
  File "/oname=Tavrel.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The working folder is the program's own; Tavrel reads and writes no files.
  CreateShortCut "$SMPROGRAMS\Tavrel.lnk" "$INSTDIR\Tavrel.exe" "" "$INSTDIR\Tavrel.exe" 0
  ${If} ${Errors}
    !insertmacro FAIL "$(InstallFailed)"
  ${EndIf}

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
  ; Whether the uninstaller may remove the folder (when empty).
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "MadeInstallLocation" $MadeFolder
  Call WriteEstimatedSize
  ${If} ${Errors}
    !insertmacro FAIL "$(InstallFailed)"
  ${EndIf}
SectionEnd

Section "$(DesktopSectionName)" DesktopSection
  ClearErrors
  CreateShortCut "$DESKTOP\Tavrel.lnk" "$INSTDIR\Tavrel.exe" "" "$INSTDIR\Tavrel.exe" 0
  ${If} ${Errors}
    !insertmacro FAIL "$(InstallFailed)"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${ProgramSection} "$(ProgramSectionText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${DesktopSection} "$(DesktopSectionText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Installing and uninstalling change the machine for every user: without
; an administrator's rights (UAC turned off, or a standard account) the
; registry writes would fail half way, so nothing is done at all.
!macro REQUIRE_ADMINISTRATOR MESSAGE
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro REQUIRE_ADMINISTRATOR "$(NotAdministrator)"
  StrCpy $MadeFolder 0
  Call RefuseDroppedFolder
  Call FindPreviousInstall
  !insertmacro MACHINE_WIDE
  Call NormaliseInstallDir
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
      StrCpy $PreviousView ${VIEW}
      ; Installers before this value made their folder or secured it.
      ClearErrors
      ReadRegDWORD $PreviousMadeFolder HKLM "${UNINSTALL_KEY}" "MadeInstallLocation"
      ${If} ${Errors}
        StrCpy $PreviousMadeFolder 1
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend
Function FindPreviousInstall
  StrCpy $PreviousDir ""
  !insertmacro FIND_INSTALL_IN_VIEW ${OWN_VIEW}
  !insertmacro FIND_INSTALL_IN_VIEW ${OTHER_VIEW}
  SetRegView lastused
FunctionEnd

; NSIS takes /D=... off its copy of the command line, and one it cannot use
; (a network path, a drive's root) it drops without a word, for the default
; folder. The process's own command line still holds it: a folder asked
; for and not taken is refused, rather than installing somewhere else.
Function RefuseDroppedFolder
  System::Call 'kernel32::GetCommandLineW() w .r0'
  StrLen $1 $CMDLINE
  StrCpy $2 $0 "" $1
  StrCpy $3 $2 4
  ${If} $3 != " /D="
    Return
  ${EndIf}
  StrCpy $2 $2 "" 4
  ${If} $2 == $INSTDIR
    Return
  ${EndIf}
  StrCpy $INSTDIR $2
  StrCpy $3 $2 2
  ${If} $3 == "\\"
    !insertmacro REFUSE "$(FolderOnNetwork)"
  ${EndIf}
  !insertmacro REFUSE "$(FolderNotUsable)"
FunctionEnd

; $INSTDIR as Windows resolves it, so that every decision reads the folder
; the files would really go to: "C:\Program Files\..\Users\Public\Tavrel"
; is C:\Users\Public\Tavrel, and C:\PROGRA~1\Tavrel is in Program Files.
; Short names are made long where the folder, or else its parent, exists.
Function NormaliseInstallDir
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .R0, p 0) i .R1'
  ${If} $R1 > 0
  ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
    StrCpy $INSTDIR $R0
  ${EndIf}
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .R0, i ${NSIS_MAX_STRLEN}) i .R1'
  ${If} $R1 > 0
  ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
    StrCpy $INSTDIR $R0
  ${Else}
    ${GetParent} "$INSTDIR" $R2
    ${GetFileName} "$INSTDIR" $R3
    ; "C:" alone would mean the current folder of drive C.
    StrCpy $R2 "$R2\"
    System::Call 'kernel32::GetLongPathNameW(w R2, w .R0, i ${NSIS_MAX_STRLEN}) i .R1'
    ${If} $R1 > 0
    ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
    ${AndIf} $R3 != ""
      StrCpy $R4 $R0 "" -1
      ${If} $R4 == "\"
        StrCpy $INSTDIR "$R0$R3"
      ${Else}
        StrCpy $INSTDIR "$R0\$R3"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ; No trailing backslash, so that comparisons see one spelling.
  StrCpy $R4 $INSTDIR "" -1
  StrLen $R5 $INSTDIR
  ${If} $R4 == "\"
  ${AndIf} $R5 > 3
    StrCpy $INSTDIR $INSTDIR -1
  ${EndIf}
FunctionEnd

!macro IS_UNDER FOLDER PARENT RESULT
  StrLen $R1 "${PARENT}\"
  StrCpy $R2 "${FOLDER}" $R1
  ${If} $R2 == "${PARENT}\"
    StrCpy ${RESULT} 1
  ${EndIf}
!macroend

; Program Files lets users read and run, never write; a folder elsewhere
; is safe only if no user can replace it or a folder above it. A drive's
; root lets users make folders but not rename other people's; a folder
; made there by the installer, with Program Files' permissions, is the
; administrators'. Any other folder is someone's: refused, unchanged.
Function CheckInstallFolder
  StrCpy $R0 $INSTDIR 2
  ${If} $R0 == "\\"
    !insertmacro REFUSE "$(FolderOnNetwork)"
  ${EndIf}
  StrCpy $R0 $INSTDIR 3
  System::Call 'kernel32::GetDriveTypeW(w R0) i .R1'
  ${If} $R1 == 4 ; DRIVE_REMOTE: a mapped network drive
    !insertmacro REFUSE "$(FolderOnNetwork)"
  ${EndIf}

  StrCpy $InProgramFiles 0
  !insertmacro IS_UNDER "$INSTDIR" "$PROGRAMFILES32" $InProgramFiles
  !insertmacro IS_UNDER "$INSTDIR" "$PROGRAMFILES64" $InProgramFiles
  ${If} $InProgramFiles == 1
    Return
  ${EndIf}
  ${If} $PreviousDir != ""
  ${AndIf} $INSTDIR == $PreviousDir
    Return
  ${EndIf}

  ; A link or junction anywhere on the way leads wherever its owner says.
  StrCpy $R0 $INSTDIR
  ${Do}
    System::Call 'kernel32::GetFileAttributesW(w R0) i .R1'
    ${If} $R1 != -1
      IntOp $R1 $R1 & 0x400 ; FILE_ATTRIBUTE_REPARSE_POINT
      ${If} $R1 != 0
        !insertmacro REFUSE "$(FolderLinked)"
      ${EndIf}
    ${EndIf}
    ${GetParent} "$R0" $R0
    StrLen $R1 $R0
  ${LoopUntil} $R1 <= 2

  ${If} ${FileExists} "$INSTDIR"
  ${OrIf} ${FileExists} "$INSTDIR\*.*"
    !insertmacro REFUSE "$(FolderExists)"
  ${EndIf}
  ${GetParent} "$INSTDIR" $R0
  ${IfNot} ${FileExists} "$R0\*.*"
    !insertmacro REFUSE "$(ParentMissing)"
  ${EndIf}
  StrLen $R1 $R0
  ${If} $R1 != 2
    !insertmacro REFUSE "$(FolderNotAtRoot)"
  ${EndIf}
FunctionEnd

; A running Tavrel.exe (installed, or a copy from the portable zip where we
; install) cannot be replaced, and Windows refuses to open it for writing:
; asking so changes nothing. The user may close it and retry.
Function RefuseWhileRunning
  retry:
  ${If} ${FileExists} "$R9\Tavrel.exe"
    ClearErrors
    FileOpen $R8 "$R9\Tavrel.exe" a
    ${If} ${Errors}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
      !insertmacro REFUSE "$(ProgramStillRunning)"
    ${EndIf}
    FileClose $R8
  ${EndIf}
FunctionEnd

; The install folder, made and secured before the earlier install is
; touched. An existing one (in Program Files, or the earlier install's) is
; left as it is; one made here outside Program Files gets Program Files'
; rules: owned by the administrators, administrators and SYSTEM full
; control, users read and execute, nothing inherited.
!macro ICACLS ARGUMENTS
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" ${ARGUMENTS}'
  Pop $R3
  ${If} $R3 != 0
    !insertmacro REFUSE "$(FolderNotSecured)"
  ${EndIf}
!macroend
Function MakeInstallFolder
  ${If} ${FileExists} "$INSTDIR\*.*"
    ${If} $INSTDIR == $PreviousDir
      StrCpy $MadeFolder $PreviousMadeFolder
    ${EndIf}
    Return
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${If} ${Errors}
  ${OrIfNot} ${FileExists} "$INSTDIR\*.*"
    !insertmacro REFUSE "$(FolderNotMade)"
  ${EndIf}
  StrCpy $MadeFolder 1
  ${If} $InProgramFiles == 1
    Return
  ${EndIf}
  !insertmacro ICACLS "/setowner *S-1-5-32-544"
  !insertmacro ICACLS "/reset"
  !insertmacro ICACLS "/inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX"
FunctionEnd

; The earlier install's files, shortcuts and entry, removed here: its
; uninstaller is never run, as its folder may be one users could write to
; and this installer runs elevated. The program goes first: if it cannot
; (started since the check), nothing else has been touched.
Function RemovePreviousInstall
  ${If} $PreviousDir == ""
    Return
  ${EndIf}
  Delete "$PreviousDir\Tavrel.exe"
  ${If} ${FileExists} "$PreviousDir\Tavrel.exe"
    !insertmacro REFUSE "$(ProgramStillRunning)"
  ${EndIf}
  Delete "$PreviousDir\uninstall.exe"
  Delete "$SMPROGRAMS\Tavrel.lnk"
  Delete "$DESKTOP\Tavrel.lnk"
  ${If} ${FileExists} "$PreviousDir\uninstall.exe"
  ${OrIf} ${FileExists} "$SMPROGRAMS\Tavrel.lnk"
  ${OrIf} ${FileExists} "$DESKTOP\Tavrel.lnk"
    !insertmacro FAIL "$(PreviousNotRemoved)"
  ${EndIf}
  ${If} $PreviousView == 32
    SetRegView 32
  ${Else}
    SetRegView 64
  ${EndIf}
  ClearErrors
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView ${OWN_VIEW}
  ${If} ${Errors}
    !insertmacro FAIL "$(PreviousNotRemoved)"
  ${EndIf}
  ${If} $INSTDIR != $PreviousDir
  ${AndIf} $PreviousMadeFolder == 1
    RMDir "$PreviousDir"
  ${EndIf}
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

Var UnMadeFolder ; 1 when the installer made $INSTDIR: it may go when empty

Function un.onInit
  !insertmacro REQUIRE_ADMINISTRATOR "$(UnNotAdministrator)"
  !insertmacro MACHINE_WIDE
  StrCpy $UnMadeFolder 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESELF" $1
  ${IfNot} ${Errors}
    ClearErrors
    ${GetOptions} $0 "/KEEPFOLDER" $1
    ${IfNot} ${Errors}
      StrCpy $UnMadeFolder 0
    ${EndIf}
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
  ; Entries written before this value was kept: their folder was made or
  ; secured by the installer.
  ClearErrors
  ReadRegDWORD $UnMadeFolder HKLM "${UNINSTALL_KEY}" "MadeInstallLocation"
  ${If} ${Errors}
    StrCpy $UnMadeFolder 1
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Call un.RemoveUninstaller
  ; Only a folder the installer made, and only if empty: it may hold files
  ; that are not ours.
  ${If} $UnMadeFolder == 1
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd

; Run in place (_?=, as the registry's commands do), the uninstaller cannot
; delete its own running file. Windows lets it move the file out of the
; folder, to the temporary folder, where it goes at the next start of
; Windows. Where the move fails (Wine; a temporary folder on another drive),
; a copy of the uninstaller removes the file and the folder as soon as this
; process has ended. Run as a copy (uninstall.exe started without _?=), it
; deletes the installed one.
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
    ${If} $UnMadeFolder == 1
      Exec '"$INSTDIR\uninstall.exe" /S /REMOVESELF'
    ${Else}
      Exec '"$INSTDIR\uninstall.exe" /S /REMOVESELF /KEEPFOLDER'
    ${EndIf}
  ${Else}
    Delete /REBOOTOK $0
  ${EndIf}
FunctionEnd

; The copy's whole work: once the running uninstaller (and the starter of
; the copy) have ended, their file can go, then the folder if the installer
; made it and it is empty.
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
  ${If} $UnMadeFolder == 1
    RMDir "$INSTDIR"
  ${EndIf}
FunctionEnd
