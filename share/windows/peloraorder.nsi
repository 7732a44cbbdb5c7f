; The Windows installer of PeloraOrder (scripts/windows-dist makes it with makensis): the program folder
; that scripts/windows-dist staged, for the current user and without administrator rights, with a Start
; menu entry and an uninstaller. makensis -DSTAGE=<folder> -DVERSION=<1.1.18> -DOUTFILE=<setup.exe>
; A 64-bit installer for the 64-bit program (it also runs where only 64-bit programs run).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APPNAME "PeloraOrder"
!define TITLE "펠로라푸드주문서"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APPNAME}"

Name "${TITLE}"
OutFile "${OUTFILE}"
Icon "${STAGE}\peloraorder.ico"
UninstallIcon "${STAGE}\peloraorder.ico"
InstallDir "$LOCALAPPDATA\Programs\${APPNAME}"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${TITLE}"
  CreateShortcut "$SMPROGRAMS\${TITLE}\${TITLE}.lnk" "$INSTDIR\PeloraOrder.exe" "" "$INSTDIR\peloraorder.ico"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Pelora Food"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\peloraorder.ico"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

; The program's files go; what the user made (settings, exported workbooks, layouts in the data folder
; under %APPDATA%) stays, as users expect of an uninstaller.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${TITLE}\${TITLE}.lnk"
  RMDir "$SMPROGRAMS\${TITLE}"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTKEY}"
SectionEnd
