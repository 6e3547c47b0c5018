; OrdvaleSetup.exe: installs Ordvale for every user of the machine under
; "C:\Program Files\Ordvale", with a Start-menu folder, an optional desktop
; shortcut and an entry in the list of installed programs.
;
; Built by makensis from the build (installer/CMakeLists.txt) with
;   -DVERSION=1.2.3       the project's version
;   -DBIN_DIR=folder      the built programs, the help file and the default profiles
;   -DOUTFILE=file        the setup program to write
;
; Command lines (/S runs either program silently, for administrators):
;   OrdvaleSetup.exe [/S] [/DESKTOPSHORTCUT] [/NOEXPLORERMENU] [/D=folder]
;       /DESKTOPSHORTCUT  also put a shortcut to the wizard on the desktop
;                         (the page of components offers the same choice)
;       /NOEXPLORERMENU   leave out the "Tidy with Ordvale..." commands of
;                         Explorer's menus (ticked by default on that page)
;       /D=folder         install there instead (last on the line, no quotes)
;   Uninstall.exe [/S] [/REMOVESETTINGS]
;       /REMOVESETTINGS   also remove the settings and profiles of the user who
;                         runs it (the uninstaller's page offers the same choice)
;
; The user's own files (settings.ini, profile.xml) live in the user's
; application-data folder under "Pelvantor\Ordvale". Setup never writes there:
; installing over an earlier version replaces the programs alone.

!macro _Required symbol
  !ifndef ${symbol}
    !error "makensis needs -D${symbol}= (see the top of this file)"
  !endif
!macroend
!insertmacro _Required VERSION
!insertmacro _Required BIN_DIR
!insertmacro _Required OUTFILE

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Ordvale"
!define PUBLISHER "Pelvantor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ordvale"
!define USER_FOLDER "Pelvantor\Ordvale"
!define MENU_FOLDER "Ordvale"
!define WIZARD_LINK "Ordvale Wizard.lnk"
!define SETTINGS_LINK "Ordvale Settings.lnk"
!define HELP_LINK "Ordvale Help.lnk"
; Explorer's menus, for every user (HKEY_CLASSES_ROOT through the machine's
; part). A verb of the same name on files and on folders makes one command
; for a selection of both; Explorer starts each item's own command line, one
; start per item, and the wizard gathers them. The background verbs share a
; name too, so the desktop, whose menu also lists a folder background's
; verbs, shows its own once.
!define CLASSES "Software\Classes"
!define VERB_ITEM "Ordvale.Tidy"
!define VERB_HERE "Ordvale.TidyHere"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "OrdvaleSetup.exe"
VIAddVersionKey /LANG=1033 "LegalCopyright" "© ${PUBLISHER}"

; ---------------------------------------------------------------- the look
!define MUI_ICON "../wizard/res/app.ico"
!define MUI_UNICON "../wizard/res/app.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "art/wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "art/wizard.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "art/header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "art/header.bmp"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

Var RemoveSettings      ; 1: the uninstaller also removes the user's folder
Var RemoveCheckbox
Var UninstallOutcome    ; what became of the user's files, for its last page

; ---------------------------------------------------------------- installer pages
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} on this computer, for every user.$\r$\n$\r$\n\
${PRODUCT} tidies up your desktop or a folder: it moves files into folders by their type, name, size or date.$\r$\n$\r$\n\
If an earlier version is installed, it is replaced. Your settings and profiles are kept.$\r$\n$\r$\n\
Click Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "&Start the Ordvale Wizard"
!define MUI_FINISHPAGE_RUN_FUNCTION StartWizard
!insertmacro MUI_PAGE_FINISH

; ---------------------------------------------------------------- uninstaller pages
UninstPage custom un.ChoicePage un.ChoicePageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} has been removed from this computer.$\r$\n$\r$\n$UninstallOutcome$\r$\n$\r$\nClick Finish to close this wizard."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------- shared

; Administrators only: the programs go to Program Files and the entry to the
; machine's registry. A silent run without the rights ends with code 740
; (the system's "elevation required").
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP|MB_OK "Only an administrator can install or remove ${PRODUCT}." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

; One command of Explorer's menus: key below CLASSES, its text and the
; wizard's arguments.
!macro ExplorerVerb key text arguments multiSelect
  WriteRegStr HKLM "${CLASSES}\${key}" "" "${text}"
  WriteRegStr HKLM "${CLASSES}\${key}" "Icon" "$INSTDIR\OrdvaleWizard.exe,0"
  !if "${multiSelect}" != ""
    ; Offered for a selection of any size (not only up to 15 items).
    WriteRegStr HKLM "${CLASSES}\${key}" "MultiSelectModel" "${multiSelect}"
  !endif
  WriteRegStr HKLM "${CLASSES}\${key}\command" "" '"$INSTDIR\OrdvaleWizard.exe" ${arguments}'
!macroend

!macro RemoveExplorerMenu
  DeleteRegKey HKLM "${CLASSES}\*\shell\${VERB_ITEM}"
  DeleteRegKey HKLM "${CLASSES}\Directory\shell\${VERB_ITEM}"
  DeleteRegKey HKLM "${CLASSES}\Drive\shell\${VERB_ITEM}"
  DeleteRegKey HKLM "${CLASSES}\Directory\Background\shell\${VERB_HERE}"
  DeleteRegKey HKLM "${CLASSES}\DesktopBackground\shell\${VERB_HERE}"
!macroend

; ---------------------------------------------------------------- installer
Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/OrdvaleWizard.exe"
  File "${BIN_DIR}/zelk.dll"
  File "${BIN_DIR}/qz.exe"
  File "${BIN_DIR}/OrdvaleConfigure.exe"
  File "${BIN_DIR}/OrdvaleWatch.exe"
  File "${BIN_DIR}/Ordvale.chm"
  ; The wizard copies this document for a user who has no profiles yet.
  File "${BIN_DIR}/DefaultProfiles.xml"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The Start menu of every user. The shortcuts start in the program folder.
  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${WIZARD_LINK}" "$INSTDIR\OrdvaleWizard.exe" "" \
    "$INSTDIR\OrdvaleWizard.exe" 0 SW_SHOWNORMAL "" "Tidy up your desktop or a folder"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${SETTINGS_LINK}" "$INSTDIR\OrdvaleConfigure.exe" "options" \
    "$INSTDIR\OrdvaleWizard.exe" 0 SW_SHOWNORMAL "" "Choose the profile document and how name clashes are resolved"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${HELP_LINK}" "$INSTDIR\Ordvale.chm" "" \
    "" 0 SW_SHOWNORMAL "" "How to use Ordvale"
  ; A desktop shortcut and Explorer's commands are made again below only
  ; when they are still wanted.
  Delete "$DESKTOP\${WIZARD_LINK}"
  !insertmacro RemoveExplorerMenu

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\OrdvaleWizard.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Desktop shortcut" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${WIZARD_LINK}" "$INSTDIR\OrdvaleWizard.exe" "" \
    "$INSTDIR\OrdvaleWizard.exe" 0 SW_SHOWNORMAL "" "Tidy up your desktop or a folder"
SectionEnd

Section "Explorer menu" SecExplorer
  !insertmacro ExplorerVerb "*\shell\${VERB_ITEM}" "Tidy with Ordvale..." '/items "%1"' "Player"
  !insertmacro ExplorerVerb "Directory\shell\${VERB_ITEM}" "Tidy with Ordvale..." '/folder "%1"' "Player"
  !insertmacro ExplorerVerb "Drive\shell\${VERB_ITEM}" "Tidy with Ordvale..." '/folder "%1"' ""
  !insertmacro ExplorerVerb "Directory\Background\shell\${VERB_HERE}" "Tidy this folder with Ordvale..." '/folder "%V"' ""
  !insertmacro ExplorerVerb "DesktopBackground\shell\${VERB_HERE}" "Tidy this folder with Ordvale..." "/desktop" ""
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The wizard, the engine, the settings editor, the help and the default profiles, with a folder in the Start menu."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "A shortcut to the Ordvale Wizard on the desktop of every user."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecExplorer} "$\"Tidy with Ordvale...$\" on folders, drives and selected files, and $\"Tidy this folder with Ordvale...$\" on the desktop and in folders, in Explorer's right-click menus."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro RequireAdministrator
  SetShellVarContext all
  ; An installation that already has the desktop shortcut keeps it, also on a
  ; silent upgrade; /DESKTOPSHORTCUT asks for it.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DESKTOPSHORTCUT" $1
  ${IfNot} ${Errors}
  ${OrIf} ${FileExists} "$DESKTOP\${WIZARD_LINK}"
    SectionSetFlags ${SecDesktop} ${SF_SELECTED}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NOEXPLORERMENU" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecExplorer} 0
  ${EndIf}
FunctionEnd

; Setup runs with an administrator's rights; the wizard should run with the
; user's own (drag and drop from the user's windows, the user's settings), so
; the shell starts it.
Function StartWizard
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\OrdvaleWizard.exe"'
FunctionEnd

; ---------------------------------------------------------------- uninstaller
Function un.onInit
  !insertmacro RequireAdministrator
  StrCpy $RemoveSettings 0
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

; Where the program goes from, and whether the user's own files go too.
Function un.ChoicePage
  !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} ${VERSION} from this computer."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  SetShellVarContext current
  StrCpy $2 "$APPDATA\${USER_FOLDER}"
  SetShellVarContext all

  ${NSD_CreateLabel} 0 0 100% 24u "${PRODUCT}, its shortcuts and its entry in the list of programs will be removed from this computer. Click Uninstall to continue."
  Pop $0
  ${NSD_CreateLabel} 0 30u 100% 10u "Uninstalling from:"
  Pop $0
  ${NSD_CreateText} 0 41u 100% 12u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0

  ${NSD_CreateGroupBox} 0 64u 100% 70u "Your settings and profiles"
  Pop $0
  ${NSD_CreateLabel} 8u 77u -16u 24u "Your settings and your profiles are kept, so that ${PRODUCT} finds them again if you install it later. They are in:"
  Pop $0
  ${NSD_CreateText} 8u 100u -16u 12u "$2"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateCheckbox} 8u 117u -16u 12u "&Also remove my settings and profiles"
  Pop $RemoveCheckbox
  ${If} $RemoveSettings == 1
    ${NSD_Check} $RemoveCheckbox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.ChoicePageLeave
  ${NSD_GetState} $RemoveCheckbox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${Else}
    StrCpy $RemoveSettings 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; A watcher still running is ended first (it returns once it has), and
  ; no longer starts when the user signs in.
  ${If} ${FileExists} "$INSTDIR\OrdvaleWatch.exe"
    ExecWait '"$INSTDIR\OrdvaleWatch.exe" /exit'
  ${EndIf}
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Ordvale Watch"
  ; Only what setup put there: a folder the administrator chose may hold more.
  ; A program still running is removed when Windows starts next.
  Delete /REBOOTOK "$INSTDIR\OrdvaleWizard.exe"
  Delete /REBOOTOK "$INSTDIR\zelk.dll"
  Delete /REBOOTOK "$INSTDIR\qz.exe"
  Delete /REBOOTOK "$INSTDIR\OrdvaleConfigure.exe"
  Delete /REBOOTOK "$INSTDIR\OrdvaleWatch.exe"
  Delete "$INSTDIR\Ordvale.chm"
  Delete "$INSTDIR\DefaultProfiles.xml"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  Delete "$SMPROGRAMS\${MENU_FOLDER}\${WIZARD_LINK}"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\${SETTINGS_LINK}"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\${HELP_LINK}"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"
  Delete "$DESKTOP\${WIZARD_LINK}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  !insertmacro RemoveExplorerMenu

  SetShellVarContext current
  ${If} $RemoveSettings == 1
    DetailPrint "Removing your settings and profiles: $APPDATA\${USER_FOLDER}"
    RMDir /r "$APPDATA\${USER_FOLDER}"
    ; The publisher's folder goes too when nothing else is left in it.
    RMDir "$APPDATA\Pelvantor"
    StrCpy $UninstallOutcome "Your settings and profiles have been removed as well."
  ${Else}
    StrCpy $UninstallOutcome "Your settings and profiles are kept in $APPDATA\${USER_FOLDER}."
  ${EndIf}
  SetShellVarContext all
SectionEnd
