; The Windows installer of Tarnwick: a per-user installation into
; %LOCALAPPDATA%\Programs\Tarnwick, needing no administrator rights, so that the settings file
; beside the program stays writable. It speaks English, Czech and Slovak, and the language the
; user chooses becomes the program's too. scripts/package.sh defines VERSION, COPYRIGHT, ICON,
; DIST (the portable folder) and OUTFILE, and includes the generated macros INSTALL_FILES and
; UNINSTALL_FILES, which list the folder's files.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "FileFunc.nsh"
!include "Integration.nsh"
!include "LogicLib.nsh"
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define CLASSES "Software\Classes"
!define PROGID "Tarnwick.txt"
!define APPLICATION "${CLASSES}\Applications\Tarnwick.exe"

Name "Tarnwick ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarnwick"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The language chosen is remembered for the uninstaller and for the next installation.
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"
; All three languages are offered whatever the system's ANSI code page: the installer is Unicode.
!define MUI_LANGDLL_ALLLANGUAGES

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tarnwick.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartTarnwick)"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the language of a system that speaks none of the three.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Czech"
!insertmacro MUI_LANGUAGE "Slovak"
!insertmacro MUI_RESERVEFILE_LANGDLL

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tarnwick"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tarnwick ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"

LangString StartTarnwick ${LANG_ENGLISH} "&Start Tarnwick"
LangString StartTarnwick ${LANG_CZECH} "&Spustit Tarnwick"
LangString StartTarnwick ${LANG_SLOVAK} "&Spustiť Tarnwick"
LangString RemoveSettingsQuestion ${LANG_ENGLISH} \
    "Do you also want to remove your Tarnwick settings (Tarnwick.ini) and the unsaved texts kept for recovery?"
LangString RemoveSettingsQuestion ${LANG_CZECH} \
    "Chcete odebrat také nastavení programu Tarnwick (Tarnwick.ini) a neuložené texty uchované pro obnovení?"
LangString RemoveSettingsQuestion ${LANG_SLOVAK} \
    "Chcete odstrániť aj nastavenia programu Tarnwick (Tarnwick.ini) a neuložené texty uchované na obnovenie?"

Var RemoveSettings

; Explorer offers Tarnwick under "Open with" for the file type, and never makes it the type's
; default program.
!macro OFFER_OPEN_WITH type
    WriteRegStr HKCU "${APPLICATION}\SupportedTypes" "${type}" ""
    WriteRegNone HKCU "${CLASSES}\${type}\OpenWithProgids" "${PROGID}"
!macroend

; Removes only what OFFER_OPEN_WITH wrote, then the keys that this left empty.
!macro WITHDRAW_OPEN_WITH type
    DeleteRegValue HKCU "${CLASSES}\${type}\OpenWithProgids" "${PROGID}"
    DeleteRegKey /ifempty HKCU "${CLASSES}\${type}\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "${CLASSES}\${type}"
!macroend

; NSIS has no language switch of its own: /LANG=en, /LANG=cs or /LANG=sk chooses one without
; asking. Otherwise the language dialog offers the one remembered from the last installation,
; else the user's interface language, else English; a silent installation takes that offer.
Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LANG=" $1
    ${If} $1 == "en"
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${ElseIf} $1 == "cs"
        StrCpy $LANGUAGE ${LANG_CZECH}
    ${ElseIf} $1 == "sk"
        StrCpy $LANGUAGE ${LANG_SLOVAK}
    ${Else}
        !insertmacro MUI_LANGDLL_DISPLAY
    ${EndIf}
FunctionEnd

; A first installation starts the program in the installer's language: a settings file holding
; only that, written as the program writes a new one (UTF-16 LE with its mark, so that the
; profile functions keep every character the program writes to it later). Settings that are
; there already stay as they are.
Function WriteProgramLanguage
    ${If} ${FileExists} "$INSTDIR\Tarnwick.ini"
        Return
    ${EndIf}
    ${If} $LANGUAGE == ${LANG_CZECH}
        StrCpy $1 10000
    ${ElseIf} $LANGUAGE == ${LANG_SLOVAK}
        StrCpy $1 10002
    ${Else}
        StrCpy $1 10001
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\Tarnwick.ini" w
    ${If} ${Errors}
        Return
    ${EndIf}
    FileWriteUTF16LE /BOM $0 "[Tarnwick]$\r$\nLanguage=$1$\r$\n"
    FileClose $0
    ; A file cut short would hold a broken section; without one the program starts in English.
    ${If} ${Errors}
        Delete "$INSTDIR\Tarnwick.ini"
    ${EndIf}
FunctionEnd

Section "Tarnwick"
    !insertmacro INSTALL_FILES
    ; The folder the shortcut and the finish page start the program in.
    SetOutPath "$INSTDIR"
    Call WriteProgramLanguage
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Tarnwick.lnk" "$INSTDIR\Tarnwick.exe"

    WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\Tarnwick.exe,0"
    WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\Tarnwick.exe" "%1"'
    WriteRegStr HKCU "${APPLICATION}" "FriendlyAppName" "Tarnwick"
    WriteRegStr HKCU "${APPLICATION}\shell\open\command" "" '"$INSTDIR\Tarnwick.exe" "%1"'
    !insertmacro OFFER_OPEN_WITH ".txt"
    !insertmacro OFFER_OPEN_WITH ".log"
    !insertmacro OFFER_OPEN_WITH ".ini"
    ${NotifyShell_AssocChanged}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarnwick"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tarnwick developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarnwick.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    ; The wizard's last page remembers the language too, but a silent installation shows none.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallerLanguage" $LANGUAGE
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

; The settings (Tarnwick.ini and the Recovery folder of unsaved texts beside it) stay unless
; the user asks for them to go: a question once the uninstallation is confirmed (its default
; keeps them), the switch /REMOVESETTINGS when the uninstaller runs silently. The question comes
; no earlier: in un.onInit it would still speak the language the uninstaller started in.
Function un.AskRemoveSettings
    StrCpy $RemoveSettings 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        StrCpy $RemoveSettings 1
    ${ElseIf} ${Silent}
        Return
    ${ElseIf} ${FileExists} "$INSTDIR\Tarnwick.ini"
    ${OrIf} ${FileExists} "$INSTDIR\Recovery\*.*"
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettingsQuestion)" IDNO +2
        StrCpy $RemoveSettings 1
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.AskRemoveSettings
    !insertmacro UNINSTALL_FILES
    Delete "$INSTDIR\uninstall.exe"
    ${If} $RemoveSettings == 1
        Delete "$INSTDIR\Tarnwick.ini"
        RMDir /r "$INSTDIR\Recovery"
    ${EndIf}
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tarnwick.lnk"

    DeleteRegKey HKCU "${CLASSES}\${PROGID}"
    DeleteRegKey HKCU "${APPLICATION}"
    DeleteRegKey /ifempty HKCU "${CLASSES}\Applications"
    !insertmacro WITHDRAW_OPEN_WITH ".txt"
    !insertmacro WITHDRAW_OPEN_WITH ".log"
    !insertmacro WITHDRAW_OPEN_WITH ".ini"
    ${NotifyShell_AssocChanged}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
