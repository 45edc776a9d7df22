; Zembaroo's installer: puts the client under Program Files with a Start-menu entry, a
; desktop shortcut and an uninstaller in the installed-programs list, and records once
; where the family downloaded it from.
;
; Built by installer/CMakeLists.txt, which defines:
;   ZB_VERSION   the program's file version (the installer checks it against the .exe)
;   ZB_CHANNEL   the download channel recorded when the command line names none
;   ZB_PROGRAM   the built PlaynookApp.exe
;   ZB_ICON      the program's icon, used by the installer and the uninstaller as well
;   ZB_OUTFILE   where the installer is written
;
; Command line: /S (silent), /CHANNEL=<name> (see channel.nsh), /D=<folder> (last).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!macro ZbRequireDefine NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: zembaroo.nsi is built by CMake (target installer)"
  !endif
!macroend
!insertmacro ZbRequireDefine ZB_VERSION
!insertmacro ZbRequireDefine ZB_CHANNEL
!insertmacro ZbRequireDefine ZB_PROGRAM
!insertmacro ZbRequireDefine ZB_ICON
!insertmacro ZbRequireDefine ZB_OUTFILE

; The version shown and registered is the one the program itself carries.
!getdllversion "${ZB_PROGRAM}" ZB_FILE_VERSION_
!if "${ZB_FILE_VERSION_1}.${ZB_FILE_VERSION_2}.${ZB_FILE_VERSION_3}.${ZB_FILE_VERSION_4}" != "${ZB_VERSION}"
  !error "PlaynookApp.exe carries file version ${ZB_FILE_VERSION_1}.${ZB_FILE_VERSION_2}.${ZB_FILE_VERSION_3}.${ZB_FILE_VERSION_4}, the build says ${ZB_VERSION}"
!endif

!define ZB_PRODUCT "Zembaroo"
!define ZB_PUBLISHER "Corvelle Learning Co., Ltd."
!define ZB_PROGRAM_NAME "PlaynookApp.exe"
!define ZB_UNINSTALLER_NAME "uninstall.exe"
!define ZB_SHORTCUT_NAME "Zembaroo.lnk"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include uninstall_entry.nsh

Name "${ZB_PRODUCT}"
OutFile "${ZB_OUTFILE}"
InstallDir "$PROGRAMFILES64\Zembaroo"
; An upgrade goes where the first install went.
InstallDirRegKey HKLM "${ZB_UNINSTALL_KEY}" "InstallLocation"
BrandingText "${ZB_PRODUCT} ${ZB_VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ZB_ICON}"
!define MUI_UNICON "${ZB_ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${ZB_PROGRAM_NAME}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Languages come after the pages (MUI2 builds the page texts from them).
!include languages.nsh
!include channel.nsh

VIProductVersion "${ZB_VERSION}"
VIFileVersion "${ZB_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${ZB_PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${ZB_PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${ZB_PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${ZB_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${ZB_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2011-2026 Corvelle Learning"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "ZembarooSetup-${ZB_VERSION}.exe"

; Writing under Program Files and HKEY_CLASSES_ROOT needs an administrator; say so instead
; of failing half-way.
!macro ZbRequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(ZbNeedsAdministrator)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro ZbRequireAdministrator
  Call ZbChooseChannel
FunctionEnd

Section "-Zembaroo"
  SetOutPath "$INSTDIR"
  File "/oname=${ZB_PROGRAM_NAME}" "${ZB_PROGRAM}"
  WriteUninstaller "$INSTDIR\${ZB_UNINSTALLER_NAME}"

  CreateShortcut "$SMPROGRAMS\${ZB_SHORTCUT_NAME}" "$INSTDIR\${ZB_PROGRAM_NAME}" "" "$INSTDIR\${ZB_PROGRAM_NAME}" 0
  CreateShortcut "$DESKTOP\${ZB_SHORTCUT_NAME}" "$INSTDIR\${ZB_PROGRAM_NAME}" "" "$INSTDIR\${ZB_PROGRAM_NAME}" 0

  !insertmacro ZbWriteUninstallEntry
  ; The settings key is left as it is except for a download source not yet recorded, so an
  ; upgrade keeps the chosen line, the reminder and where the client first came from.
  Call ZbRecordDownloadSource
SectionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro ZbRequireAdministrator
FunctionEnd

Section "Uninstall"
  ; Only our own files: the folder goes only when nothing else is left in it.
  Delete "$INSTDIR\${ZB_PROGRAM_NAME}"
  Delete "$INSTDIR\${ZB_UNINSTALLER_NAME}"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${ZB_SHORTCUT_NAME}"
  Delete "$DESKTOP\${ZB_SHORTCUT_NAME}"

  !insertmacro ZbRemoveUninstallEntry
  ; The client's settings go with it; other keys of the publisher stay, and "Corvelle"
  ; itself goes only when nothing is left under it.
  DeleteRegKey HKCR "${ZB_SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCR "Corvelle"
SectionEnd
