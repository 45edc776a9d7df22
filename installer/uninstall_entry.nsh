; The client's entry in the system's installed-programs list (64-bit view of HKLM).

!define ZB_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembaroo"

!macro ZbWriteUninstallEntry
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "DisplayName" "${ZB_PRODUCT}"
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "DisplayVersion" "${ZB_VERSION}"
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "Publisher" "${ZB_PUBLISHER}"
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${ZB_PROGRAM_NAME},0"
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${ZB_UNINSTALLER_NAME}"'
  WriteRegStr HKLM "${ZB_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${ZB_UNINSTALLER_NAME}" /S'
  WriteRegDWORD HKLM "${ZB_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ZB_UNINSTALL_KEY}" "NoRepair" 1
  ; The size shown in the list, in KiB, of what is in the folder now.
  Push $0
  Push $1
  Push $2
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${ZB_UNINSTALL_KEY}" "EstimatedSize" $0
  Pop $2
  Pop $1
  Pop $0
!macroend

!macro ZbRemoveUninstallEntry
  DeleteRegKey HKLM "${ZB_UNINSTALL_KEY}"
!macroend
