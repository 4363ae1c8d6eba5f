; The Windows installer of Tarnwick: a per-user installation into
; %LOCALAPPDATA%\Programs\Tarnwick, needing no administrator rights, so that the settings file
; beside the program stays writable. scripts/package.sh defines VERSION, COPYRIGHT, ICON, DIST
; (the portable folder) and OUTFILE, and includes the generated macros INSTALL_FILES and
; UNINSTALL_FILES, which list the folder's files.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"

Name "Tarnwick ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Tarnwick"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Tarnwick"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Tarnwick ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var RemoveSettings

Section "Tarnwick"
    !insertmacro INSTALL_FILES
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Tarnwick.lnk" "$INSTDIR\Tarnwick.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarnwick"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tarnwick developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarnwick.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The settings stay unless the user asks for them to go: a question when the uninstaller is
; interactive (its default keeps them), the switch /REMOVESETTINGS when it runs silently.
Function un.onInit
    StrCpy $RemoveSettings 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        StrCpy $RemoveSettings 1
    ${ElseIfNot} ${Silent}
    ${AndIf} ${FileExists} "$INSTDIR\Tarnwick.ini"
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
            "Do you also want to remove your Tarnwick settings (Tarnwick.ini)?" IDNO +2
        StrCpy $RemoveSettings 1
    ${EndIf}
FunctionEnd

Section "Uninstall"
    !insertmacro UNINSTALL_FILES
    Delete "$INSTDIR\uninstall.exe"
    ${If} $RemoveSettings == 1
        Delete "$INSTDIR\Tarnwick.ini"
    ${EndIf}
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tarnwick.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
