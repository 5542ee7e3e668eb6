; Installer of QX Frontend for one architecture.
; makensis -INPUTCHARSET UTF8 -DARCH=x64|x86 -DVERSION=x.y.z -DSTAGE_DIR=<dir>
;          -DICON=<app.ico> -DOUTFILE=<setup.exe> tools/installer.nsi
; STAGE_DIR holds the files to install: qx_front.exe, qx_front.chm, readme.txt,
; demo.cmd and the local web service's modules in localweb\.
; The uninstaller removes exactly these files (the modules as localweb\*.py,
; with the compiled copies Python may have left beside them), the shortcuts,
; its own entry in the list of installed programs and the folders if they are
; left empty.

!ifndef ARCH | VERSION | STAGE_DIR | ICON | OUTFILE
  !error "ARCH, VERSION, STAGE_DIR, ICON and OUTFILE must be defined"
!endif

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
  !define REG_VIEW 64
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
  !define REG_VIEW 32
!else
  !error "ARCH must be x64 or x86"
!endif

!define PRODUCT "QX Frontend"
!define PUBLISHER "QX Frontend"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define PROGRAM_SHORTCUT "${MENU_FOLDER}\${PRODUCT}.lnk"
!define HELP_SHORTCUT "${MENU_FOLDER}\${PRODUCT} ヘルプ.lnk"
!define DEMO_SHORTCUT "${MENU_FOLDER}\デモ.lnk"
!define UNINSTALLER "uninstall.exe"

!include "MUI2.nsh"
!include "FileFunc.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
; An earlier installation is updated where it is; /D= still takes precedence.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "(C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  SetShellVarContext all
  SetRegView ${REG_VIEW}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView ${REG_VIEW}
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  File "${STAGE_DIR}/qx_front.exe"
  File "${STAGE_DIR}/qx_front.chm"
  File "${STAGE_DIR}/readme.txt"
  File "${STAGE_DIR}/demo.cmd"
  SetOutPath "$INSTDIR\localweb"
  File "${STAGE_DIR}/localweb/*.py"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${PROGRAM_SHORTCUT}" "$INSTDIR\qx_front.exe"
  CreateShortcut "${HELP_SHORTCUT}" "$INSTDIR\qx_front.chm"
  ; Shortcuts start in the output folder: the demo in the program's folder.
  CreateShortcut "${DEMO_SHORTCUT}" "$INSTDIR\demo.cmd" "" "$INSTDIR\qx_front.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qx_front.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "${PROGRAM_SHORTCUT}"
  Delete "${HELP_SHORTCUT}"
  Delete "${DEMO_SHORTCUT}"
  RMDir "${MENU_FOLDER}"

  Delete "$INSTDIR\qx_front.exe"
  Delete "$INSTDIR\qx_front.chm"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\demo.cmd"
  Delete "$INSTDIR\localweb\*.py"
  RMDir /r "$INSTDIR\localweb\__pycache__"
  RMDir "$INSTDIR\localweb"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
