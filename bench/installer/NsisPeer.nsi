; The benchmark's peer: NSIS installing the same eleven files as ZuvoSetup.exe,
; with its own window: a folder page whose "Install" button starts the copy,
; and the progress page that ends with "Completed"; once closed, it starts the
; product and puts its shortcut on the desktop as ZuvoSetup.exe does. Built at
; bench time:
;
;   makensis -INPUTCHARSET UTF8 -DPAYLOAD=<payload folder> -DOUTFILE=<exe> NsisPeer.nsi
Unicode true
Name "MERKANO ZUVO (NSIS)"
OutFile "${OUTFILE}"
InstallDir "c:\merkano_zuvo_nsis"
RequestExecutionLevel user
ShowInstDetails hide

Page directory
Page instfiles

Section
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}/zuvoeet_dll.dll"
  File "${PAYLOAD}/eet_z.exe"
  File "${PAYLOAD}/eetzuvo.exe"
  File "${PAYLOAD}/merkzuvo.exe"
  File "${PAYLOAD}/Licence_MERKZUVO.pdf"
  File "${PAYLOAD}/fiscal_test_cert.p12"
  File "${PAYLOAD}/Uživatelská příručka Merkano zuvo1-1.pdf"
  File "${PAYLOAD}/PdfQuill.dll"
  File "${PAYLOAD}/PdfQuill.Charting.dll"
  File "${PAYLOAD}/pdfconv.exe"
  File "${PAYLOAD}/ticket.jpg"
SectionEnd

; What the installer does once its last word is answered: the product started
; in its folder, and its shortcut on the desktop.
Function .onInstSuccess
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\merkzuvo.exe"'
  CreateShortCut "$DESKTOP\merkzuvo_nsis.lnk" "$INSTDIR\merkzuvo.exe"
FunctionEnd
