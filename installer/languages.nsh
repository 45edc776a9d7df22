; The installer speaks Simplified Chinese or English, whichever the system's language is
; (Simplified Chinese when it is neither).

!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString ZbNeedsAdministrator ${LANG_SIMPCHINESE} "安装或卸载 Zembaroo 需要管理员权限。请以管理员身份重新运行。"
LangString ZbNeedsAdministrator ${LANG_ENGLISH} "Installing or removing Zembaroo needs administrator rights. Please run it again as an administrator."
