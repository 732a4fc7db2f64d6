; Gridlark's installer: the program, its help file and its crash report's address table, a Start
; menu shortcut, the uninstaller, and the puzzle file types, which open with "gridlark.exe --play".
; makensis -DDIST=<folder of gridlark.exe> -DOUTFILE=<setup.exe> -DTARGET=<x86-unicode|amd64-unicode>
;          -DVERSION=<1.0.2.1> -DICON=<gridlark.ico>
Unicode true
Target ${TARGET}
!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Gridlark"
!define COMPANY "Orvanel"
!define PRODUCT_KEY "Software\${COMPANY}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define CROSSWORD_CLASS "Gridlark.Crossword"
!define WORDSEARCH_CLASS "Gridlark.WordSearch"
!define SHCNE_ASSOCCHANGED 0x08000000
!define SHCNF_IDLIST 0

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if ${TARGET} == "amd64-unicode"
  InstallDir "$PROGRAMFILES64\${COMPANY}\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${COMPANY}\${PRODUCT}"
!endif
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright 2026 ${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
  !if ${TARGET} == "amd64-unicode"
    SetRegView 64
  !endif
FunctionEnd

Function un.onInit
  SetShellVarContext all
  !if ${TARGET} == "amd64-unicode"
    SetRegView 64
  !endif
FunctionEnd

!macro RegisterPuzzleType EXTENSION CLASS DESCRIPTION
  WriteRegStr HKCR "${EXTENSION}" "" "${CLASS}"
  WriteRegStr HKCR "${CLASS}" "" "${DESCRIPTION}"
  WriteRegStr HKCR "${CLASS}\DefaultIcon" "" "$INSTDIR\gridlark.exe,0"
  WriteRegStr HKCR "${CLASS}\shell\open\command" "" '"$INSTDIR\gridlark.exe" --play "%1"'
!macroend

; A type is taken away only while it is still ours.
!macro UnregisterPuzzleType EXTENSION CLASS
  ReadRegStr $0 HKCR "${EXTENSION}" ""
  ${If} $0 == "${CLASS}"
    DeleteRegKey HKCR "${EXTENSION}"
  ${EndIf}
  DeleteRegKey HKCR "${CLASS}"
!macroend

Section "Gridlark"
  SetOutPath "$INSTDIR"
  File "${DIST}\gridlark.exe"
  File "${DIST}\gridlark.chm"
  File "${DIST}\gridlark.sym"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\gridlark.exe"

  ; The referral tag of the web links is read from the installer's own name.
  WriteRegStr HKLM "${PRODUCT_KEY}" "Install File" "$EXEPATH"

  !insertmacro RegisterPuzzleType ".JGF" "${CROSSWORD_CLASS}" "Gridlark Crossword"
  !insertmacro RegisterPuzzleType ".JWF" "${WORDSEARCH_CLASS}" "Gridlark Word Search"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\gridlark.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Everything installed goes; the user's repository, puzzles and settings stay.
Section "Uninstall"
  Delete "$INSTDIR\gridlark.exe"
  Delete "$INSTDIR\gridlark.chm"
  Delete "$INSTDIR\gridlark.sym"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  !insertmacro UnregisterPuzzleType ".JGF" "${CROSSWORD_CLASS}"
  !insertmacro UnregisterPuzzleType ".JWF" "${WORDSEARCH_CLASS}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'

  DeleteRegValue HKLM "${PRODUCT_KEY}" "Install File"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "InstallPath"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "Version"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
