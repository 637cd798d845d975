; The Windows installer of Vantu and KPXConfig: a per-user install that needs no administrator
; rights. Built by "scripts/package windows", which passes
;   VERSION  the version, 1.0.0
;   STAGE    the folder to install (the programs, data\, README.txt, LICENSE.txt)
;   FILES    an include file with one "Delete" or "RMDir" line per file and folder of STAGE,
;            deepest first, for the uninstaller
;   ICON     the programs' icon
;   OUTFILE  the installer to write
;
; The install folder is also the programs' working folder: both Start-menu shortcuts start in it,
; so the settings dialog writes KPX.cfg there and the game reads it, and data\ beside them. The
; uninstaller removes what the installer put there and leaves KPX.cfg, with its folder.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantu"

Name "Vantu"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vantu"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vantu ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Vantu"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Vantu ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Vantu developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 the Vantu developers (MIT licence)"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Choose the display mode now (Vantu Settings)"
!define MUI_FINISHPAGE_RUN_FUNCTION RunSettings
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Started from the finish page: in the install folder, as the shortcut starts it.
Function RunSettings
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\KPXConfig.exe"'
FunctionEnd

Section "Vantu"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut's working folder is the output path at its creation.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Vantu.lnk" "$INSTDIR\Vantu.exe" "" "$INSTDIR\Vantu.exe" 0 \
    SW_SHOWNORMAL "" "Full-screen dice game"
  CreateShortcut "$SMPROGRAMS\Vantu Settings.lnk" "$INSTDIR\KPXConfig.exe" "" \
    "$INSTDIR\KPXConfig.exe" 0 SW_SHOWNORMAL "" "Display mode of the dice game Vantu"

  ; "Apps and features", for this user.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vantu"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Vantu developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantu.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put there: KPX.cfg, and anything else the player added, stays, and so
; does the folder that holds it.
Section "Uninstall"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\Vantu.lnk"
  Delete "$SMPROGRAMS\Vantu Settings.lnk"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
