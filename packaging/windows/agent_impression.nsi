; The workstation's Windows installer, made by scripts/package-windows:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0 -DVERSION_FICHIER=1.0.0.0 \
;     -DAGENT_EXE=<the agent's agent_impression.exe> -DSORTIE=<agent-impression-1.0-setup.exe> \
;     agent_impression.nsi
;
; It installs the agent in Program Files\agent_impression\ for every user of the workstation:
;  - a Start-menu entry, and an entry of HKLM\...\CurrentVersion\Run that starts the agent when
;    any session opens, both on the printer chosen at install time;
;  - the Application event log's source "agent_impression", whose messages the agent's own exe
;    holds (its message table), so that its record reaches the event viewer;
;  - its uninstaller, also listed in "Programmes et fonctionnalités", which removes all of it.
;
; The printer is the agent's whole command line, which it compares with each printer's name.
; An interactive install asks for it, offering the session's printers; a silent one (/S) takes it
; from /IMPRIMANTE=<name>, the last option, the name's inner spaces kept:
;   agent-impression-1.0-setup.exe /S /IMPRIMANTE=QLS-4100 Xe drivers standard
; Without the option, the printer of the previous install is kept, and on a first install there
; is none: the agent then prints on the session's default printer, as the Debian package's
; autostart entry does. "/IMPRIMANTE=" alone chooses the default printer explicitly.

Unicode true
; A 64-bit installer for a 64-bit agent: Program Files and the registry as the agent sees them,
; with no 32-bit redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh

!define NOM agent_impression
!define TITRE "Agent d'impression"
!define EDITEUR "Atelier d'impression"
!define EXE "${NOM}.exe"
!define DESINSTALLATION "desinstallation.exe"
!define CLE_DESINSTALLATION "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NOM}"
!define CLE_DEMARRAGE "Software\Microsoft\Windows\CurrentVersion\Run"
!define CLE_SOURCE "SYSTEM\CurrentControlSet\Services\EventLog\Application\${NOM}"
; The printers of a session, a value each (connections to a print server included).
!define CLE_IMPRIMANTES "Software\Microsoft\Windows NT\CurrentVersion\Devices"
!define RACCOURCI "$SMPROGRAMS\${TITRE}.lnk"

; The language file's sentences put the name after "de" ("Installation de l'agent d'impression").
Name "l'agent d'impression"
OutFile "${SORTIE}"
InstallDir "$PROGRAMFILES64\${NOM}"
InstallDirRegKey HKLM "${CLE_DESINSTALLATION}" "InstallLocation"
BrandingText "${TITRE} ${VERSION}"

VIProductVersion "${VERSION_FICHIER}"
VIFileVersion "${VERSION_FICHIER}"

Var imprimante
Var champ_imprimante

!define MUI_ABORTWARNING
; (A line that ends in a backslash goes on with the next one, its indentation included.)
!define MUI_FINISHPAGE_TEXT "L'agent d'impression est installé. Il démarrera à la prochaine ouverture \
de session ; le menu Démarrer le lance dès maintenant.$\r$\n$\r$\nIl surveille le dossier \
\\192.168.1.10\partage\masques_en_attente\ et note ce qu'il fait dans le journal Application de \
l'Observateur d'événements, source ${NOM}."
!insertmacro MUI_PAGE_DIRECTORY
Page custom page_imprimante page_imprimante_quittee
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "${TITRE}"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "CompanyName" "${EDITEUR}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de l'${TITRE}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "${EDITEUR}"

; /IMPRIMANTE=<name>: the rest of the command line. The whole option or the name alone may be in
; double quotes, as a shell or a program's argument list quotes an argument with spaces. Not
; found, $imprimante is left as it is.
Function lit_option_imprimante
  ${GetParameters} $0
  StrLen $1 $0
  StrCpy $2 0
  ${Do}
    ${If} $2 >= $1
      Return
    ${EndIf}
    StrCpy $3 $0 12 $2
    ; StrCmp, which LogicLib's == is, ignores case.
    ${If} $3 == "/IMPRIMANTE="
      ${ExitDo}
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}
  StrCpy $4 ""
  ${If} $2 > 0
    IntOp $5 $2 - 1
    StrCpy $4 $0 1 $5
  ${EndIf}
  IntOp $2 $2 + 12
  StrCpy $3 $0 "" $2
  ${Do}
    StrCpy $5 $3 1 -1
    ${IfThen} $5 != " " ${|} ${ExitDo} ${|}
    StrCpy $3 $3 -1
  ${Loop}
  StrCpy $5 $3 1
  StrCpy $6 $3 1 -1
  StrLen $7 $3
  ${If} $4 == '"'
    ${AndIf} $6 == '"'
    StrCpy $3 $3 -1
  ${ElseIf} $5 == '"'
    ${AndIf} $6 == '"'
    ${AndIf} $7 >= 2
    StrCpy $3 $3 -1 1
  ${EndIf}
  StrCpy $imprimante $3
FunctionEnd

Function .onInit
  SetShellVarContext all
  SetRegView 64
  ReadRegStr $imprimante HKLM "${CLE_DESINSTALLATION}" "Imprimante"
  Call lit_option_imprimante
FunctionEnd

Function page_imprimante
  !insertmacro MUI_HEADER_TEXT "Imprimante" "Sur quelle imprimante l'agent imprime-t-il ?"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 40u "L'agent imprime sur l'imprimante dont le nom est donné ici, tel que \
Windows l'affiche dans ses imprimantes (par exemple « QLS-4100 Xe drivers standard »), \
ou qu'un serveur d'impression le donne (\\serveur\imprimante)."
  Pop $0
  ${NSD_CreateComboBox} 0 44u 100% 120u "$imprimante"
  Pop $champ_imprimante
  StrCpy $1 0
  ${Do}
    ClearErrors
    EnumRegValue $2 HKCU "${CLE_IMPRIMANTES}" $1
    ${If} ${Errors}
      ${OrIf} $2 == ""
      ${ExitDo}
    ${EndIf}
    ${NSD_CB_AddString} $champ_imprimante $2
    IntOp $1 $1 + 1
  ${Loop}
  ${NSD_CreateLabel} 0 70u 100% 30u "Laissé vide, l'agent imprime sur l'imprimante par défaut de la session \
qu'il a ouverte."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function page_imprimante_quittee
  ${NSD_GetText} $champ_imprimante $imprimante
FunctionEnd

; The agent is built to be stopped at any moment: a job it had sent but not made final waits,
; held, for the next start to take it up. An agent still running would keep its exe from being
; replaced or removed.
!macro arrete_agent
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM ${EXE}'
  Pop $0
  ${If} $0 == 0
    Sleep 1000
  ${EndIf}
!macroend

Section
  SetOutPath "$INSTDIR"
  !insertmacro arrete_agent
  File "/oname=${EXE}" "${AGENT_EXE}"
  WriteUninstaller "$INSTDIR\${DESINSTALLATION}"

  ${If} $imprimante == ""
    StrCpy $0 '"$INSTDIR\${EXE}"'
  ${Else}
    StrCpy $0 '"$INSTDIR\${EXE}" $imprimante'
  ${EndIf}
  WriteRegStr HKLM "${CLE_DEMARRAGE}" "${NOM}" "$0"
  CreateShortcut "${RACCOURCI}" "$INSTDIR\${EXE}" "$imprimante" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" \
    "Imprime les masques déposés dans le dossier partagé"

  ; The agent writes its record to the Application log under this source once it is registered
  ; (and to a file of its own in the user's local application data until then).
  WriteRegExpandStr HKLM "${CLE_SOURCE}" "EventMessageFile" "$INSTDIR\${EXE}"
  WriteRegDWORD HKLM "${CLE_SOURCE}" "TypesSupported" 7

  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "DisplayName" "${TITRE}"
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "Publisher" "${EDITEUR}"
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "UninstallString" '"$INSTDIR\${DESINSTALLATION}"'
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "QuietUninstallString" '"$INSTDIR\${DESINSTALLATION}" /S'
  WriteRegDWORD HKLM "${CLE_DESINSTALLATION}" "NoModify" 1
  WriteRegDWORD HKLM "${CLE_DESINSTALLATION}" "NoRepair" 1
  ; The next install's choice when it is given none.
  WriteRegStr HKLM "${CLE_DESINSTALLATION}" "Imprimante" "$imprimante"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${CLE_DESINSTALLATION}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

; What each session's agent left in its user's local application data (the record's file, the
; workstation lock) stays: it is the user's.
Section Uninstall
  !insertmacro arrete_agent
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${DESINSTALLATION}"
  RMDir "$INSTDIR"
  Delete "${RACCOURCI}"
  DeleteRegValue HKLM "${CLE_DEMARRAGE}" "${NOM}"
  DeleteRegKey HKLM "${CLE_SOURCE}"
  DeleteRegKey HKLM "${CLE_DESINSTALLATION}"
SectionEnd
