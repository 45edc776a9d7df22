; The download channel: the name of the download page this copy of the client came from. It
; is recorded once, as "DownloadSource" in the client's settings key; the client only reads
; it and passes it on to the movie in its environment report.
;
; The channel is the value of /CHANNEL=<name> on the command line (the option's name in any
; letter case; the first one counts; a value ends at a blank, or at the closing quote of a
; quoted value), else the build's channel (ZB_CHANNEL). A name is 1 to 64 characters of
; A-Z a-z 0-9 . _ - : the client reads at most 127 characters and passes the text on
; unescaped, so an empty, longer or other name is replaced by the build's channel.

!define ZB_SETTINGS_KEY "Corvelle\PlaynookClient"
!define ZB_DOWNLOAD_SOURCE_VALUE "DownloadSource"
!define ZB_CHANNEL_OPTION "/CHANNEL="
!define ZB_CHANNEL_MAX_LENGTH 64
!define ZB_CHANNEL_CHARACTERS "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-"

Var ZbChannel

; Push the text; Call; Pop 1 when it is a channel name, else 0.
Function ZbIsChannelName
  Exch $0 ; the text, at the end the answer
  Push $1 ; its length
  Push $2 ; position in the text
  Push $3 ; the character there
  Push $4 ; position in the allowed characters
  Push $5 ; the allowed character there
  StrLen $1 $0
  ${If} $1 < 1
  ${OrIf} $1 > ${ZB_CHANNEL_MAX_LENGTH}
    StrCpy $0 0
  ${Else}
    StrCpy $2 0
    ${Do}
      StrCpy $3 $0 1 $2
      ; Look the character up with a case-sensitive comparison; "" is past the end.
      StrCpy $4 0
      ${Do}
        StrCpy $5 "${ZB_CHANNEL_CHARACTERS}" 1 $4
        ${If} $5 == ""
        ${OrIf} $5 S== $3
          ${ExitDo}
        ${EndIf}
        IntOp $4 $4 + 1
      ${Loop}
      ${If} $5 == ""
        StrCpy $0 0
        ${ExitDo}
      ${EndIf}
      IntOp $2 $2 + 1
      ${If} $2 >= $1
        StrCpy $0 1
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Push the command line's parameters; Call; Pop the value of the first /CHANNEL=, or ""
; when there is none (an absent and an empty channel both mean the build's channel).
Function ZbChannelOption
  Exch $0 ; the parameters, at the end the value
  Push $1 ; where the option starts
  Push $2 ; the length of the option's name
  Push $3 ; a piece of the parameters
  Push $4 ; the end of the value
  Push $5 ; the character that ends the value
  StrLen $2 "${ZB_CHANNEL_OPTION}"
  StrCpy $1 0
  ${Do}
    StrCpy $3 $0 $2 $1
    ${If} $3 == ""
      ${ExitDo}
    ${EndIf}
    ; StrCmp ignores case; the option must start the parameters or follow a blank.
    ${If} $3 == "${ZB_CHANNEL_OPTION}"
      ${If} $1 == 0
        ${ExitDo}
      ${EndIf}
      IntOp $4 $1 - 1
      StrCpy $3 $0 1 $4
      ${If} $3 == " "
        ${ExitDo}
      ${EndIf}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}

  StrCpy $3 $0 $2 $1
  ${If} $3 == ""
    StrCpy $0 ""
  ${Else}
    IntOp $1 $1 + $2
    StrCpy $0 $0 "" $1
    StrCpy $5 " "
    StrCpy $3 $0 1
    ${If} $3 == '"'
      StrCpy $0 $0 "" 1
      StrCpy $5 '"'
    ${EndIf}
    StrCpy $4 0
    ${Do}
      StrCpy $3 $0 1 $4
      ${If} $3 == ""
      ${OrIf} $3 == $5
        ${ExitDo}
      ${EndIf}
      IntOp $4 $4 + 1
    ${Loop}
    StrCpy $0 $0 $4
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Sets $ZbChannel from the command line or the build.
Function ZbChooseChannel
  Push $0
  Push $1
  StrCpy $ZbChannel "${ZB_CHANNEL}"
  ${GetParameters} $0
  Push $0
  Call ZbChannelOption
  Pop $0
  Push $0
  Call ZbIsChannelName
  Pop $1
  ${If} $1 == 1
    StrCpy $ZbChannel $0
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Writes $ZbChannel as "DownloadSource" (REG_SZ) unless a value of that name, of whatever
; type or content, is already there: the family's first download source stays.
Function ZbRecordDownloadSource
  Push $0 ; index of the value
  Push $1 ; its name
  StrCpy $0 0
  ${Do}
    ClearErrors
    EnumRegValue $1 HKCR "${ZB_SETTINGS_KEY}" $0
    ${If} ${Errors}
      ; Past the last value, or no key yet: nothing is recorded so far.
      WriteRegStr HKCR "${ZB_SETTINGS_KEY}" "${ZB_DOWNLOAD_SOURCE_VALUE}" $ZbChannel
      ${ExitDo}
    ${EndIf}
    ; Names compared in any letter case, as the registry compares them.
    ${If} $1 == "${ZB_DOWNLOAD_SOURCE_VALUE}"
      ${ExitDo}
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
