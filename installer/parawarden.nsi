; Setup program and uninstaller of Tallowick Parawarden.
;
; The program writes beside itself (definitions updates, Quarantine,
; Reports), so it is installed per user into the user's own programs folder:
; always writable by that user, with no elevation prompt and no file
; virtualisation. The build passes what differs per build:
;   makensis /DVERSION=2.0.13 /DAPP_DIR=<application folder>
;            /DSOURCE_DIR=<project folder> /DOUT_FILE=<setup program>

Unicode true

!ifndef VERSION | APP_DIR | SOURCE_DIR | OUT_FILE
  !error "makensis needs /DVERSION, /DAPP_DIR, /DSOURCE_DIR and /DOUT_FILE"
!endif

!define PRODUCT "Tallowick Parawarden"
!define PUBLISHER "Orvane Software Solutions"
!define WEB_ADDRESS "http://www.parawarden.example/"
!define EXE "Parawarden.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The Explorer verb on folders and drives.
!define SCAN_VERB "ParawardenScan"
; Names the running program is known by (its single-instance mutex and its
; hidden tray window, which ends the program when asked to close).
!define INSTANCE_MUTEX "TallowickParawarden.SingleInstance"
!define TRAY_WINDOW_CLASS "TallowickParawardenTray"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} Uninstall"
OutFile "${OUT_FILE}"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the earlier release was installed.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2004 ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${SOURCE_DIR}/res/art/parawarden.ico"
!define MUI_UNICON "${SOURCE_DIR}/res/art/parawarden.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${APP_DIR}/eula.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running copy before its files are replaced or removed: never
; overwrite a running executable half way. The tray window ends the program
; when it is asked to close; when that does not work the user is told to end
; it. In silent mode setup then gives up rather than wait for nobody.
!macro DEFINE_END_RUNNING_COPY PREFIX
Function ${PREFIX}EndRunningCopy
  Push $0
  Push $1
  Push $2
  FindWindow $0 "${TRAY_WINDOW_CLASS}"
  ${If} $0 <> 0
    DetailPrint "Ending the running ${PRODUCT}..."
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    ; SYNCHRONIZE: enough to wait for the process to end.
    System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P<> 0
      System::Call "kernel32::WaitForSingleObject(p r2, i 15000)"
      System::Call "kernel32::CloseHandle(p r2)"
    ${EndIf}
  ${EndIf}
  ${Do}
    System::Call "kernel32::OpenMutexW(i 0x00100000, i 0, w '${INSTANCE_MUTEX}') p .r0"
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    System::Call "kernel32::CloseHandle(p r0)"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is still running.$\r$\n$\r$\nEnd it (Exit in the menu of its icon in the notification area), then choose Retry." \
      /SD IDCANCEL IDRETRY +3
    SetErrorLevel 2
    Quit
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING_COPY ""
!insertmacro DEFINE_END_RUNNING_COPY "un."

; Sets RESULT to "1" when CHAR is one of the digits 0 to 9, else to "".
!macro IS_DIGIT CHAR RESULT
  StrCpy ${RESULT} ""
  ${If} ${CHAR} S== "0"
  ${OrIf} ${CHAR} S== "1"
  ${OrIf} ${CHAR} S== "2"
  ${OrIf} ${CHAR} S== "3"
  ${OrIf} ${CHAR} S== "4"
  ${OrIf} ${CHAR} S== "5"
  ${OrIf} ${CHAR} S== "6"
  ${OrIf} ${CHAR} S== "7"
  ${OrIf} ${CHAR} S== "8"
  ${OrIf} ${CHAR} S== "9"
    StrCpy ${RESULT} "1"
  ${EndIf}
!macroend

; Reads the definitions version of the file named by $R0 as the program
; reads it: the first eight characters with every "Ver" taken out, then a
; number with "." as the decimal point and a blank, a line end or nothing
; after it. Sets $R1 to the whole part and $R2 to the fraction's digits, or
; both to "" when the file is missing or holds no such number. Uses $R3-$R7.
!macro IS_BLANK CHAR RESULT
  StrCpy ${RESULT} ""
  ${If} ${CHAR} == " "
  ${OrIf} ${CHAR} == "$\t"
  ${OrIf} ${CHAR} == "$\r"
  ${OrIf} ${CHAR} == "$\n"
    StrCpy ${RESULT} "1"
  ${EndIf}
!macroend

Function DefinitionsVersion
  StrCpy $R1 ""
  StrCpy $R2 ""
  ClearErrors
  FileOpen $R3 $R0 r
  ${If} ${Errors}
    Return
  ${EndIf}
  FileRead $R3 $R4 8
  FileClose $R3
  ${WordReplaceS} $R4 "Ver" "" "+" $R3
  StrCpy $R5 0
  ${Do}
    StrCpy $R4 $R3 1 $R5
    !insertmacro IS_BLANK $R4 $R6
    ${IfThen} $R6 == "" ${|} ${ExitDo} ${|}
    IntOp $R5 $R5 + 1
  ${Loop}
  StrCpy $R6 "whole"
  ${Do}
    StrCpy $R4 $R3 1 $R5
    !insertmacro IS_DIGIT $R4 $R7
    ${If} $R4 == "."
    ${AndIf} $R6 == "whole"
      StrCpy $R6 "fraction"
    ${ElseIf} $R7 != ""
      ${If} $R6 == "whole"
        StrCpy $R1 "$R1$R4"
      ${Else}
        StrCpy $R2 "$R2$R4"
      ${EndIf}
    ${Else}
      ${ExitDo}
    ${EndIf}
    IntOp $R5 $R5 + 1
  ${Loop}
  ; A number has a digit and ends at a blank, a line end or the end.
  !insertmacro IS_BLANK $R4 $R6
  StrCpy $R5 ""
  ${If} "$R1$R2" != ""
    ${If} $R4 == ""
    ${OrIf} $R6 != ""
      StrCpy $R5 "valid"
    ${EndIf}
  ${EndIf}
  ${If} $R5 == ""
    StrCpy $R1 ""
    StrCpy $R2 ""
  ${ElseIf} $R1 == ""
    StrCpy $R1 "0"
  ${EndIf}
FunctionEnd

; Takes the leading zeros off a digit string (IntCmp would read "08" as
; octal); "" and "000" become "0".
!macro STRIP_ZEROS VAR
  ${Do}
    StrCpy $9 ${VAR} 1
    ${IfThen} $9 != "0" ${|} ${ExitDo} ${|}
    StrCpy ${VAR} ${VAR} "" 1
  ${Loop}
  ${IfThen} ${VAR} == "" ${|} StrCpy ${VAR} "0" ${|}
!macroend

; Installs the shipped definitions unless the installed ones have at least
; the same version: a user who has downloaded newer ones keeps them.
Function InstallDefinitions
  File "/oname=$PLUGINSDIR\ref.dat" "${APP_DIR}/ref.dat"
  StrCpy $R0 "$INSTDIR\ref.dat"
  Call DefinitionsVersion
  StrCpy $0 $R1 ; installed whole part
  StrCpy $1 $R2 ; installed fraction
  ${If} $0 != ""
    StrCpy $R0 "$PLUGINSDIR\ref.dat"
    Call DefinitionsVersion
    StrCpy $2 $R1 ; shipped whole part
    StrCpy $3 $R2 ; shipped fraction
    ; Equal lengths let the fractions compare as whole numbers.
    ${Do}
      StrLen $4 $1
      StrLen $5 $3
      ${If} $4 < $5
        StrCpy $1 "$10"
      ${ElseIf} $5 < $4
        StrCpy $3 "$30"
      ${Else}
        ${ExitDo}
      ${EndIf}
    ${Loop}
    !insertmacro STRIP_ZEROS $0
    !insertmacro STRIP_ZEROS $1
    !insertmacro STRIP_ZEROS $2
    !insertmacro STRIP_ZEROS $3
    StrCpy $6 ""
    ${If} $2 < $0
      StrCpy $6 "keep"
    ${ElseIf} $2 = $0
    ${AndIf} $3 <= $1
      StrCpy $6 "keep"
    ${EndIf}
    ${If} $6 == "keep"
      DetailPrint "Keeping the installed definitions: they are as new as the shipped ones or newer."
      Return
    ${EndIf}
  ${EndIf}
  CopyFiles /SILENT "$PLUGINSDIR\ref.dat" "$INSTDIR\ref.dat"
FunctionEnd

; Left by the uninstaller in a folder it keeps for the quarantine and the
; reports: it tells the user what the folder holds, and setup that the
; folder is an earlier install of its own.
!define KEPT_NOTE "Kept by ${PRODUCT}.txt"

; Sets $R0 to "1" when setup may install into $INSTDIR: a folder that does
; not exist yet, an empty one, or an earlier install, known by what setup
; itself wrote there (the uninstaller, the note an uninstall leaves) or
; records (the uninstall entry). Any other folder holds files of the user's,
; which setup would overwrite and the uninstaller would take for its own,
; whatever the names of its folders.
Function CheckInstallFolder
  StrCpy $R0 "1"
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
  ${OrIf} ${FileExists} "$INSTDIR\${KEPT_NOTE}"
    Return
  ${EndIf}
  ClearErrors
  ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R1 != ""
  ${AndIf} $R1 == $INSTDIR
    Return
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    ; No such folder, or a file of that name.
    ${IfThen} ${FileExists} "$INSTDIR" ${|} StrCpy $R0 "" ${|}
    Return
  ${EndIf}
  FindFirst $8 $9 "$INSTDIR\*.*"
  ${DoWhile} $9 != ""
    ${If} $9 != "."
    ${AndIf} $9 != ".."
      StrCpy $R0 ""
      ${ExitDo}
    ${EndIf}
    FindNext $8 $9
  ${Loop}
  FindClose $8
FunctionEnd

Function .onInit
  InitPluginsDir
  ; Nobody can choose another folder in silent mode: setup gives up.
  ${If} ${Silent}
    Call CheckInstallFolder
    ${If} $R0 == ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function DirectoryPageLeave
  Call CheckInstallFolder
  ${If} $R0 == ""
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "The folder$\r$\n$INSTDIR$\r$\nalready holds other files. ${PRODUCT} is installed only into a new or empty folder or over an earlier install of it, so that no file of yours is overwritten now or removed with the program later.$\r$\n$\r$\nPlease choose another folder."
    Abort
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  Call EndRunningCopy
  SetOutPath "$INSTDIR"
  File "${APP_DIR}/${EXE}"
  File "${APP_DIR}/index.html"
  File "${APP_DIR}/eula.txt"
  Call InstallDefinitions
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ; The folder is an install again: the uninstaller tells it by itself.
  Delete "$INSTDIR\${KEPT_NOTE}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\index.html"

  ; "Scan with Parawarden" on folders and drives, for this user only.
  WriteRegStr HKCU "Software\Classes\Directory\shell\${SCAN_VERB}" "" "Scan with Parawarden"
  WriteRegStr HKCU "Software\Classes\Directory\shell\${SCAN_VERB}\command" "" '"$INSTDIR\${EXE}" /scan "%1"'
  WriteRegStr HKCU "Software\Classes\Drive\shell\${SCAN_VERB}" "" "Scan with Parawarden"
  WriteRegStr HKCU "Software\Classes\Drive\shell\${SCAN_VERB}\command" "" '"$INSTDIR\${EXE}" /scan "%1"'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_ADDRESS}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Desktop shortcut" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortCut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
SectionEnd

; True when a folder beside the program holds anything.
!macro FOLDER_HAS_FILES FOLDER RESULT
  StrCpy ${RESULT} ""
  FindFirst $8 $9 "${FOLDER}\*.*"
  ${DoWhile} $9 != ""
    ${If} $9 != "."
    ${AndIf} $9 != ".."
      StrCpy ${RESULT} "1"
      ${ExitDo}
    ${EndIf}
    FindNext $8 $9
  ${Loop}
  FindClose $8
!macroend

; Sets $R0 to "1" when the name in $R0 is one the program gives its scan
; reports: "<year>-<month>-<day><seconds>.log", four digits of year, month
; and day without a leading zero, the seconds with the user's decimal
; separator (2004-7-1531366.55.log). Uses $R1-$R6.
Function un.IsReportName
  StrCpy $R1 $R0 "" -4
  StrCpy $R2 $R0 -4
  StrCpy $R0 ""
  ${IfThen} $R1 != ".log" ${|} Return ${|}
  StrCpy $R3 0 ; hyphens so far
  StrCpy $R4 0 ; digits since the last hyphen or separator
  StrCpy $R5 0 ; decimal separators
  ${Do}
    StrCpy $R1 $R2 1
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    StrCpy $R2 $R2 "" 1
    !insertmacro IS_DIGIT $R1 $R6
    ${If} $R6 != ""
      ${If} $R4 = 0
      ${AndIf} $R1 == "0"
      ${AndIf} $R3 > 0
      ${AndIf} $R5 = 0
        Return
      ${EndIf}
      IntOp $R4 $R4 + 1
    ${ElseIf} $R4 = 0
      Return
    ${ElseIf} $R1 == "-"
    ${AndIf} $R3 < 2
      ${If} $R3 = 0
      ${AndIf} $R4 <> 4
        Return
      ${EndIf}
      IntOp $R3 $R3 + 1
      StrCpy $R4 0
    ${ElseIf} $R3 = 2
    ${AndIf} $R5 = 0
    ${AndIf} $R1 != "-"
      StrCpy $R5 1
      StrCpy $R4 0
    ${Else}
      Return
    ${EndIf}
  ${Loop}
  ${If} $R3 = 2
  ${AndIf} $R4 > 0
    StrCpy $R0 "1"
  ${EndIf}
FunctionEnd

; Sets $R0 to "1" when the file named by $R0 has the line every report of
; the program ends with ("Test Run : <date> at <time>"). Uses $R1-$R2.
Function un.HasTestRunLine
  ClearErrors
  FileOpen $R1 $R0 r
  StrCpy $R0 ""
  ${IfThen} ${Errors} ${|} Return ${|}
  ${Do}
    ClearErrors
    FileRead $R1 $R2
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    StrCpy $R2 $R2 11
    ${If} $R2 S== "Test Run : "
      StrCpy $R0 "1"
      ${ExitDo}
    ${EndIf}
  ${Loop}
  FileClose $R1
FunctionEnd

; Goes through the program's reports in the Reports folder, known by their
; name and their last line: with $R7 "count" sets $R8 to "1" when there is
; one, with $R7 "delete" deletes them. Any other file there is the user's.
Function un.ProgramReports
  StrCpy $R8 ""
  FindFirst $8 $9 "$INSTDIR\Reports\*.log"
  ${DoWhile} $9 != ""
    StrCpy $R0 $9
    Call un.IsReportName
    ${If} $R0 != ""
    ${AndIfNot} ${FileExists} "$INSTDIR\Reports\$9\*.*"
      StrCpy $R0 "$INSTDIR\Reports\$9"
      Call un.HasTestRunLine
    ${EndIf}
    ${If} $R0 != ""
      StrCpy $R8 "1"
      ${IfThen} $R7 == "delete" ${|} Delete "$INSTDIR\Reports\$9" ${|}
    ${EndIf}
    FindNext $8 $9
  ${Loop}
  FindClose $8
FunctionEnd

; Sets $R7 to "1" when $R5 is a bare file name: no path, drive or wildcard
; that would lead a delete out of the Quarantine folder or to more files.
Function un.IsBareName
  StrCpy $R7 ""
  ${If} $R5 == ""
  ${OrIf} $R5 == "."
  ${OrIf} $R5 == ".."
    Return
  ${EndIf}
  StrCpy $R4 0
  ${Do}
    StrCpy $R6 $R5 1 $R4
    ${IfThen} $R6 == "" ${|} ${ExitDo} ${|}
    ${If} $R6 == "\"
    ${OrIf} $R6 == "/"
    ${OrIf} $R6 == ":"
    ${OrIf} $R6 == "*"
    ${OrIf} $R6 == "?"
      Return
    ${EndIf}
    IntOp $R4 $R4 + 1
  ${Loop}
  StrCpy $R7 "1"
FunctionEnd

; Deletes the quarantined files that Quarantine.journal records, by the
; name at the start of each line; nothing else in the Quarantine folder
; is the program's. Any user can edit the journal, so only bare names are
; taken. Uses $R0-$R7.
Function un.DeleteRecordedFiles
  ClearErrors
  FileOpen $R0 "$INSTDIR\Quarantine.journal" r
  ${IfThen} ${Errors} ${|} Return ${|}
  StrCpy $R3 "1" ; the read starts a line
  ${Do}
    ClearErrors
    FileRead $R0 $R1
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    ${If} $R3 == "1"
      StrCpy $R4 0
      StrCpy $R5 ""
      ${Do}
        StrCpy $R6 $R1 1 $R4
        ${IfThen} $R6 == "" ${|} ${ExitDo} ${|}
        ${If} $R6 == "$\t"
          StrCpy $R5 $R1 $R4
          ${ExitDo}
        ${EndIf}
        IntOp $R4 $R4 + 1
      ${Loop}
      Call un.IsBareName
      ${IfThen} $R7 != "" ${|} Delete "$INSTDIR\Quarantine\$R5" ${|}
    ${EndIf}
    ; A line longer than one read goes on in the next.
    StrCpy $R6 $R1 1 -1
    StrCpy $R3 ""
    ${IfThen} $R6 == "$\n" ${|} StrCpy $R3 "1" ${|}
  ${Loop}
  FileClose $R0
FunctionEnd

Section "Uninstall"
  Call un.EndRunningCopy

  ; Quarantine may hold the only copy of a user's file: kept unless the
  ; user says otherwise, and always in silent mode. Only what the program
  ; made goes: the quarantined files its journal records, the journal, and
  ; its own reports. Anything else there is the user's and stays, and with
  ; it its folder.
  StrCpy $0 ""
  ${If} ${FileExists} "$INSTDIR\Quarantine.journal"
    StrCpy $0 "1"
  ${Else}
    !insertmacro FOLDER_HAS_FILES "$INSTDIR\Quarantine" $0
  ${EndIf}
  StrCpy $R7 "count"
  Call un.ProgramReports
  ${If} "$0$R8" != ""
    MessageBox MB_YESNO|MB_ICONQUESTION \
      "Keep the quarantined files and the scan reports?$\r$\n$\r$\nThe Quarantine folder may hold the only copy of a file you need. They stay in:$\r$\n$INSTDIR" \
      /SD IDYES IDYES keepFolders
    Call un.DeleteRecordedFiles
    Delete "$INSTDIR\Quarantine.journal"
    Delete "$INSTDIR\Quarantine.journal.lock"
    StrCpy $R7 "delete"
    Call un.ProgramReports
    keepFolders:
  ${EndIf}
  RMDir "$INSTDIR\Quarantine"
  RMDir "$INSTDIR\Reports"

  ClearErrors
  EnumRegKey $0 HKCU "${SETTINGS_KEY}" 0
  ${IfNot} ${Errors}
  ${AndIf} $0 != ""
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove your ${PRODUCT} settings and statistics as well?" /SD IDNO IDNO keepSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    keepSettings:
  ${EndIf}

  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "Software\Classes\Directory\shell\${SCAN_VERB}"
  DeleteRegKey HKCU "Software\Classes\Drive\shell\${SCAN_VERB}"

  Delete "$DESKTOP\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; Only the files setup put here; the folder goes only when nothing else is
  ; left in it.
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\ref.dat"
  Delete "$INSTDIR\index.html"
  Delete "$INSTDIR\eula.txt"
  ; What an update check or a definitions download may have left behind.
  Delete "$INSTDIR\upd.txt"
  Delete "$INSTDIR\ref.tmp"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ; What stays of the program's own says what it is, and lets a later
  ; setup take the folder as the earlier install it is.
  ${If} ${FileExists} "$INSTDIR\Quarantine\*.*"
  ${OrIf} ${FileExists} "$INSTDIR\Reports\*.*"
  ${OrIf} ${FileExists} "$INSTDIR\Quarantine.journal"
    ClearErrors
    FileOpen $0 "$INSTDIR\${KEPT_NOTE}" w
    ${IfNot} ${Errors}
      FileWrite $0 "${PRODUCT} was uninstalled from this folder. The files it had quarantined (in Quarantine, with their records in Quarantine.journal) and its scan reports (in Reports) were kept.$\r$\n$\r$\nInstalling ${PRODUCT} into this folder again takes them over. When you no longer need them, delete this folder.$\r$\n"
      FileClose $0
    ${EndIf}
  ${EndIf}
SectionEnd
