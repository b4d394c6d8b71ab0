; The Windows installer of Varnel, varnel-setup.exe (NSIS 3, Modern UI 2).
;
; Built by scripts/package-windows.sh, which passes:
;   VERSION  the program's version, a.b.c
;   STAGE    the folder of the download's files (the license page shows its
;            copyright.txt)
;   ICON     windows/Varnel3.ico
;   FILES    an include file with the macros VarnelInstallFiles and
;            VarnelUninstallFiles, written from the download's file list, so
;            that the uninstaller removes exactly the files the installer wrote
;   OUTFILE  where the installer goes
;
; A 64-bit installer of 64-bit programs, for every user of the machine: the
; programs, the library and the catalogues go into one folder (the programs
; find their catalogues beside themselves), the Start menu gets a Varnel
; folder, and Windows' list of programs names the uninstaller. Silent
; install with /S, another folder with /D=C:\path (last, unquoted).

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!macro VarnelNeeds NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: scripts/package-windows.sh builds the installer"
  !endif
!macroend
!insertmacro VarnelNeeds VERSION
!insertmacro VarnelNeeds STAGE
!insertmacro VarnelNeeds ICON
!insertmacro VarnelNeeds FILES
!insertmacro VarnelNeeds OUTFILE

!define PRODUCT "Varnel"
!define PUBLISHER "Varnel maintainers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnel"
!define MENU_FOLDER "$SMPROGRAMS\Varnel"
!define HELP_DOCUMENT "Knowing your latitude and longitude"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "${FILES}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Varnel"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
; The terms of the program and of the EPSG data in the catalogues, which
; whoever receives the data must be told.
!insertmacro MUI_PAGE_LICENSE "${STAGE}\copyright.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Varnel" SectionVarnel
  SectionIn RO
  !insertmacro VarnelInstallFiles
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The program starts in its own folder, beside its catalogues and its
  ; help document, as it did from the folder it was unpacked into.
  CreateDirectory "${MENU_FOLDER}"
  SetOutPath "$INSTDIR"
  CreateShortcut "${MENU_FOLDER}\Varnel.lnk" "$INSTDIR\Varnel3.exe" "" "$INSTDIR\Varnel3.exe" 0
  CreateShortcut "${MENU_FOLDER}\${HELP_DOCUMENT}.lnk" "$INSTDIR\${HELP_DOCUMENT}.pdf"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Varnel3.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, as Windows' list of programs reads it.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer wrote and nothing else: files a user put into
; the folder keep it (and the folder) in place.
Section "Uninstall"
  !insertmacro VarnelUninstallFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${MENU_FOLDER}\Varnel.lnk"
  Delete "${MENU_FOLDER}\${HELP_DOCUMENT}.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
