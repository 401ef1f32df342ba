; The installer of Tolvane Extractor, made by makensis during the build (cmake/packaging.cmake),
; which passes: VERSION (1.0), VERSION_QUAD (1.0.0.0), ARCH (x86 or x64), PUBLISHER, COPYRIGHT,
; PROGRAM (the built tolvane.exe), HANDLER (the built tolvane_shell.dll), HANDLER32 (x64 only: the 32-bit one), CORE (the folder with the engine), LANGUAGES (the folder of the language modules), ICON and OUTFILE.
;
; Interactive: the user chooses between all users (Program Files, needs administrator rights)
; and just the current user (the user's own programs folder), then the folder.
; Silent: setup.exe /S [/AllUsers | /CurrentUser] [/D=C:\folder]   (/D= last, unquoted)
;         uninstall.exe /S   keeps the user's settings; asked interactively otherwise.

Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Tolvane Extractor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane Extractor"
!define SETTINGS_KEY "Software\Tolvane Extractor"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION} (${ARCH})"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} (${ARCH}) Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${COPYRIGHT}"

; Per-machine or per-user, chosen on a page or with /AllUsers and /CurrentUser; a new version
; installs the way the one before was installed.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!if "${ARCH}" == "x64"
  !define MULTIUSER_USE_PROGRAMFILES64
!endif
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\tolvane.exe"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var CommandLineFolder
Var UninstallerFolder

; The 64-bit program's uninstall entry belongs in the 64-bit registry, which a 32-bit installer
; reaches only when it asks for it.
!macro UseProgramRegistryView
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit ${PRODUCT}; it needs 64-bit Windows. Please use the x86 installer." /SD IDOK
      Abort
    ${EndIf}
  !endif
  !insertmacro UseProgramRegistryView
  ; The choice of users sets the default folder; a folder given with /D= still wins.
  StrCpy $CommandLineFolder $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $CommandLineFolder != ""
    StrCpy $INSTDIR $CommandLineFolder
  ${EndIf}
FunctionEnd

; The uninstaller works on its own folder, in the mode that installation was made in: per machine
; when the machine-wide uninstall entry names its folder, per user otherwise (both may exist side
; by side). Choosing a mode also sets the folder to the one that mode's entry names, so the
; folder is put back afterwards.
Function un.onInit
  !insertmacro UseProgramRegistryView
  StrCpy $UninstallerFolder $INSTDIR
  !insertmacro MULTIUSER_UNINIT
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $UninstallerFolder
    Call un.MultiUser.InstallMode.AllUsers
  ${Else}
    Call un.MultiUser.InstallMode.CurrentUser
  ${EndIf}
  StrCpy $INSTDIR $UninstallerFolder
FunctionEnd

Section "${PRODUCT}"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  File "${HANDLER}"
!ifdef HANDLER32
  ; The x64 package: the 32-bit handler too, for 32-bit programs' file dialogs.
  File "/oname=tolvane_shell32.dll" "${HANDLER32}"
!endif
  SetOutPath "$INSTDIR\core"
  File "${CORE}/7z.dll"
  File "${CORE}/7z.exe"
  File "${CORE}/License.txt"
  SetOutPath "$INSTDIR\lang"
  File "${LANGUAGES}/de.dll"
  File "${LANGUAGES}/ja.dll"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tolvane.exe" "" "$INSTDIR\tolvane.exe" 0

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tolvane.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  ; The program writes its file types, context-menu verbs and menu handler itself, after the
  ; uninstall entry: the entry's InstallLocation, under HKLM or HKCU, tells it whether this is an
  ; installation for all users (machine-wide keys) or for the current user (the user's keys only).
  ExecWait '"$INSTDIR\tolvane.exe" /Register'
SectionEnd

; Removes exactly what the installer put down (never the whole folder, which may hold the
; user's own files), then the folder if that left it empty.
Section "Uninstall"
  ExecWait '"$INSTDIR\tolvane.exe" /UnRegister'
  Delete "$INSTDIR\tolvane.exe"
  ; Explorer may still hold the menu handler: it goes at the next start of Windows then.
  Delete /REBOOTOK "$INSTDIR\tolvane_shell.dll"
  Delete /REBOOTOK "$INSTDIR\tolvane_shell32.dll"
  Delete "$INSTDIR\core\7z.dll"
  Delete "$INSTDIR\core\7z.exe"
  Delete "$INSTDIR\core\License.txt"
  RMDir "$INSTDIR\core"
  Delete "$INSTDIR\lang\de.dll"
  Delete "$INSTDIR\lang\ja.dll"
  RMDir "$INSTDIR\lang"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove your ${PRODUCT} settings as well (window position, last folder, column widths)?" \
    /SD IDNO IDNO keepSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  keepSettings:
SectionEnd
