; Gridlark's installer: the program, its help file and its crash report's address table, the game
; programs when a distribution puts them beside the installer, a Start menu shortcut, the
; uninstaller, the puzzle file types, which open with "gridlark.exe --play", and the collection file
; types, which open with "gridlark.exe --import".
; makensis -DDIST=<folder of gridlark.exe> -DOUTFILE=<setup.exe> -DTARGET=<x86-unicode|amd64-unicode>
;          -DVERSION=<1.0.2.1> -DICON=<gridlark.ico> -DWELCOME_BITMAP=<164x314.bmp>
;          -DHEADER_BITMAP=<150x57.bmp>
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
!define CROSSWORD_COLLECTION_CLASS "Gridlark.CrosswordCollection"
!define WORDSEARCH_COLLECTION_CLASS "Gridlark.WordSearchCollection"
; A running Gridlark holds this mutex; its main window has this class and caption.
!define INSTANCE_MUTEX "Local\Orvanel.Gridlark"
!define MAIN_WINDOW_CLASS "TMainWin"
!define MAIN_WINDOW_CAPTION "Gridlark"
!define CLOSE_WAIT_QUARTERS 40
!define ERROR_ACCESS_DENIED 5
!define MUTEX_SYNCHRONIZE 0x00100000
!define SHCNE_ASSOCCHANGED 0x08000000
!define SHCNF_IDLIST 0

Name "${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
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

Var FinishText

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME_BITMAP}"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${HEADER_BITMAP}"
!define MUI_HEADERIMAGE_UNBITMAP "${HEADER_BITMAP}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION RunGridlark
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Whether a Gridlark runs: $0 is 1 while its mutex exists in this logon, also when it exists but
; may not be opened, and while the installed program file cannot be written, which a Gridlark of
; another logon or one still ending holds.
!macro IsGridlarkRunningFunction PREFIX
Function ${PREFIX}IsGridlarkRunning
  System::Call 'kernel32::OpenMutexW(i ${MUTEX_SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p.r1 ?e'
  Pop $2
  StrCpy $0 0
  ${If} $1 P<> 0
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $0 1
  ${ElseIf} $2 = ${ERROR_ACCESS_DENIED}
    StrCpy $0 1
  ${ElseIf} ${FileExists} "$INSTDIR\gridlark.exe"
    ClearErrors
    FileOpen $1 "$INSTDIR\gridlark.exe" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend

; Asks every Gridlark main window to close, as its close box does, and waits a few seconds for the
; last one to end. $0 is 1 when one still runs.
!macro AskGridlarkToCloseFunction PREFIX
Function ${PREFIX}AskGridlarkToClose
  StrCpy $1 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p r1, w "${MAIN_WINDOW_CLASS}", w "${MAIN_WINDOW_CAPTION}") p.r1'
    ${IfThen} $1 P= 0 ${|} ${ExitDo} ${|}
    System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0)'
  ${Loop}
  StrCpy $3 0
  ${Do}
    Call ${PREFIX}IsGridlarkRunning
    ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
    Sleep 250
    IntOp $3 $3 + 1
  ${LoopUntil} $3 >= ${CLOSE_WAIT_QUARTERS}
FunctionEnd
!macroend

; A running Gridlark keeps its program file: nothing is changed while one runs. With pages the
; user closes it and chooses Retry, or cancels; silent, it is asked to close, and when it does not,
; the installer ends with exit code 2 having changed nothing.
!macro EnsureGridlarkClosedFunction PREFIX
Function ${PREFIX}EnsureGridlarkClosed
  ${Do}
    Call ${PREFIX}IsGridlarkRunning
    ${IfThen} $0 = 0 ${|} Return ${|}
    ${If} ${Silent}
      Call ${PREFIX}AskGridlarkToClose
      ${IfThen} $0 = 0 ${|} Return ${|}
      SetErrorLevel 2
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running.$\r$\n$\r$\nClose ${PRODUCT}, then choose Retry. Choose Cancel to change nothing." IDRETRY retry
    SetErrorLevel 1
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend

!insertmacro IsGridlarkRunningFunction ""
!insertmacro IsGridlarkRunningFunction "un."
!insertmacro AskGridlarkToCloseFunction ""
!insertmacro AskGridlarkToCloseFunction "un."
!insertmacro EnsureGridlarkClosedFunction ""
!insertmacro EnsureGridlarkClosedFunction "un."

Function .onInit
  SetShellVarContext all
  !if ${TARGET} == "amd64-unicode"
    SetRegView 64
  !endif
  Call EnsureGridlarkClosed
FunctionEnd

Function un.onInit
  SetShellVarContext all
  !if ${TARGET} == "amd64-unicode"
    SetRegView 64
  !endif
  Call un.EnsureGridlarkClosed
FunctionEnd

; Started through Explorer, Gridlark runs as the user, not with the installer's rights.
Function RunGridlark
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\gridlark.exe"'
FunctionEnd

!macro RegisterFileType EXTENSION CLASS DESCRIPTION ARGUMENT
  WriteRegStr HKCR "${EXTENSION}" "" "${CLASS}"
  WriteRegStr HKCR "${CLASS}" "" "${DESCRIPTION}"
  WriteRegStr HKCR "${CLASS}\DefaultIcon" "" "$INSTDIR\gridlark.exe,0"
  WriteRegStr HKCR "${CLASS}\shell\open\command" "" '"$INSTDIR\gridlark.exe" ${ARGUMENT} "%1"'
!macroend

; The game programs are not Gridlark's own: a distribution puts them beside the installer.
!macro InstallGameProgram FILE
  ${If} ${FileExists} "$EXEDIR\${FILE}"
    CopyFiles /SILENT "$EXEDIR\${FILE}" "$INSTDIR"
  ${ElseIf} $4 == ""
    StrCpy $4 "${FILE}"
  ${Else}
    StrCpy $4 "$4 and ${FILE}"
  ${EndIf}
!macroend

; A type is taken away only while it is still ours.
!macro UnregisterFileType EXTENSION CLASS
  ReadRegStr $0 HKCR "${EXTENSION}" ""
  ${If} $0 == "${CLASS}"
    DeleteRegKey HKCR "${EXTENSION}"
  ${EndIf}
  DeleteRegKey HKCR "${CLASS}"
!macroend

Section "Gridlark"
  ; Gridlark may have been started while the pages were shown.
  Call EnsureGridlarkClosed
  SetOutPath "$INSTDIR"
  File "${DIST}\gridlark.exe"
  File "${DIST}\gridlark.chm"
  File "${DIST}\gridlark.sym"
  StrCpy $4 ""
  !insertmacro InstallGameProgram "Crossword.jar"
  !insertmacro InstallGameProgram "WordSearch.jar"
  StrCpy $FinishText "${PRODUCT} has been installed on your computer."
  ${If} $4 != ""
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nThe game programs were not beside this setup program. Puzzles can be played once $4 are copied into this folder:$\r$\n$\r$\n$INSTDIR"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\gridlark.exe"

  ; The referral tag of the web links is read from the installer's own name.
  WriteRegStr HKLM "${PRODUCT_KEY}" "Install File" "$EXEPATH"

  !insertmacro RegisterFileType ".JGF" "${CROSSWORD_CLASS}" "Gridlark Crossword" "--play"
  !insertmacro RegisterFileType ".JWF" "${WORDSEARCH_CLASS}" "Gridlark Word Search" "--play"
  !insertmacro RegisterFileType ".cw3" "${CROSSWORD_COLLECTION_CLASS}" "Gridlark Crossword Collection" "--import"
  !insertmacro RegisterFileType ".ws3" "${WORDSEARCH_COLLECTION_CLASS}" "Gridlark Word Search Collection" "--import"
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
  Delete "$INSTDIR\Crossword.jar"
  Delete "$INSTDIR\WordSearch.jar"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  !insertmacro UnregisterFileType ".JGF" "${CROSSWORD_CLASS}"
  !insertmacro UnregisterFileType ".JWF" "${WORDSEARCH_CLASS}"
  !insertmacro UnregisterFileType ".cw3" "${CROSSWORD_COLLECTION_CLASS}"
  !insertmacro UnregisterFileType ".ws3" "${WORDSEARCH_COLLECTION_CLASS}"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'

  DeleteRegValue HKLM "${PRODUCT_KEY}" "Install File"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "InstallPath"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "Version"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
