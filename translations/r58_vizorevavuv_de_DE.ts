<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Application::R58::PasswordLineEdit</name>
    <message>
        <source>Log in</source>
        <translation>Anmelden</translation>
    </message>
</context>
<context>
    <name>Cli::CommandLine</name>
    <message>
        <source>Lists each device with its port, serial number, article number, product, software and hardware versions.</source>
        <translation>Listet jedes Gerät mit Anschluss, Seriennummer, Artikelnummer, Produkt, Software- und Hardwareversion auf.</translation>
    </message>
    <message>
        <source>Shows the device&apos;s identity, versions, fault and warning state, operating mode and, for the roles that may see the configuration, every setting with its unit.</source>
        <translation>Zeigt Identität, Versionen, Fehler- und Warnzustand, Betriebsart des Geräts und, für die Rollen, die die Konfiguration sehen dürfen, jede Einstellung mit ihrer Einheit.</translation>
    </message>
    <message>
        <source>Writes the device&apos;s settings to FILE in the settings file format. With --all, {serial} in FILE is replaced by each device&apos;s serial number.</source>
        <translation>Schreibt die Einstellungen des Geräts im Format der Einstellungsdatei in FILE. Mit --all wird {serial} in FILE durch die Seriennummer jedes Geräts ersetzt.</translation>
    </message>
    <message>
        <source>Shows what importing FILE would change. Sends nothing. Exit status 0 when nothing would change, 1 when something would.</source>
        <translation>Zeigt, was ein Import von FILE ändern würde. Sendet nichts. Rückgabewert 0, wenn sich nichts ändern würde, 1, wenn sich etwas ändern würde.</translation>
    </message>
    <message>
        <source>Backs up the device&apos;s settings, writes only the settings FILE changes and reads each back. Exit status 1 when the device did not confirm every one. --dry-run: compare.</source>
        <translation>Sichert die Einstellungen des Geräts, schreibt nur die Einstellungen, die FILE ändert, und liest jede zurück. Rückgabewert 1, wenn das Gerät nicht jede bestätigt hat. --dry-run: Vergleich.</translation>
    </message>
    <message>
        <source>Saves the device&apos;s settings among the tool&apos;s backups and names the file.</source>
        <translation>Speichert die Einstellungen des Geräts bei den Sicherungen des Programms und nennt die Datei.</translation>
    </message>
    <message>
        <source>Restores a backup file as RESTORE… in the windows does: compared with the device, the changed settings written and confirmed.</source>
        <translation>Stellt eine Sicherungsdatei wieder her wie WIEDERHERSTELLEN… in den Fenstern: mit dem Gerät verglichen, die geänderten Einstellungen geschrieben und bestätigt.</translation>
    </message>
    <message>
        <source>Updates the device&apos;s firmware from PACKAGE after a backup of its settings, with every rule of the windows; compares the settings after the restart. With --all, one device after another, and a summary.</source>
        <translation>Aktualisiert die Firmware des Geräts aus PACKAGE nach einer Sicherung seiner Einstellungen, mit allen Regeln der Fenster; vergleicht die Einstellungen nach dem Neustart. Mit --all ein Gerät nach dem anderen, mit Zusammenfassung.</translation>
    </message>
    <message>
        <source>Writes the measured values as CSV lines in the recording&apos;s format to standard output, for N seconds or until interrupted.</source>
        <translation>Schreibt die Messwerte als CSV-Zeilen im Format der Aufzeichnung auf die Standardausgabe, N Sekunden lang oder bis zum Abbruch.</translation>
    </message>
    <message>
        <source>Shows the device&apos;s event history as this computer keeps it.</source>
        <translation>Zeigt den Ereignisverlauf des Geräts, wie ihn dieser Computer führt.</translation>
    </message>
    <message>
        <source>Try &quot;r58ctl --help&quot; or &quot;r58ctl COMMAND --help&quot;.</source>
        <translation>Versuchen Sie „r58ctl --help“ oder „r58ctl COMMAND --help“.</translation>
    </message>
    <message>
        <source>Usage: r58ctl [OPTIONS] %1</source>
        <translation>Aufruf: r58ctl [OPTIONS] %1</translation>
    </message>
    <message>
        <source>See &quot;r58ctl --help&quot; for the options and the exit statuses.</source>
        <translation>Optionen und Rückgabewerte zeigt „r58ctl --help“.</translation>
    </message>
    <message>
        <source>Usage: r58ctl [OPTIONS] COMMAND [ARGUMENTS]</source>
        <translation>Aufruf: r58ctl [OPTIONS] COMMAND [ARGUMENTS]</translation>
    </message>
    <message>
        <source>Service commands for VELOR®R58 devices, without windows.</source>
        <translation>Servicebefehle für VELOR®R58-Geräte, ohne Fenster.</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>  --port PATH          a device&apos;s port; may be given more than once (default: every device found by its USB identity)</source>
        <translation>  --port PATH          Anschluss eines Geräts; mehrfach möglich (Vorgabe: jedes an seiner USB-Kennung erkannte Gerät)</translation>
    </message>
    <message>
        <source>  --all                run the command on each device found</source>
        <translation>  --all                den Befehl auf jedem gefundenen Gerät ausführen</translation>
    </message>
    <message>
        <source>  --role ROLE          customer, supervisor or admin (default customer)</source>
        <translation>  --role ROLE          customer, supervisor oder admin (Vorgabe customer)</translation>
    </message>
    <message>
        <source>  --password-file FILE the role&apos;s password (else R58_PASSWORD, else a prompt)</source>
        <translation>  --password-file FILE das Passwort der Rolle (sonst R58_PASSWORD, sonst eine Abfrage)</translation>
    </message>
    <message>
        <source>  --json               one JSON document (an array with --all)</source>
        <translation>  --json               ein JSON-Dokument (mit --all ein Array)</translation>
    </message>
    <message>
        <source>  --help               this text; after a command, that command&apos;s</source>
        <translation>  --help               dieser Text; nach einem Befehl der dieses Befehls</translation>
    </message>
    <message>
        <source>Password for %1: </source>
        <translation>Passwort für %1: </translation>
    </message>
    <message>
        <source>r58ctl: the password file %1 cannot be read.</source>
        <translation>r58ctl: Die Passwortdatei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>r58ctl: wrong password for the role.</source>
        <translation>r58ctl: Falsches Passwort für die Rolle.</translation>
    </message>
    <message>
        <source>no such port; skipped.</source>
        <translation>Anschluss nicht vorhanden; übersprungen.</translation>
    </message>
    <message>
        <source>cannot be opened (%1); skipped.</source>
        <translation>kann nicht geöffnet werden (%1); übersprungen.</translation>
    </message>
    <message>
        <source>did not answer as a VELOR®R58 within %1 s; skipped.</source>
        <translation>hat nicht innerhalb von %1 s als VELOR®R58 geantwortet; übersprungen.</translation>
    </message>
    <message>
        <source>no command given.</source>
        <translation>kein Befehl angegeben.</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;.</source>
        <translation>unbekannter Befehl „%1“.</translation>
    </message>
    <message>
        <source>%1 takes no argument.</source>
        <translation>%1 nimmt kein Argument.</translation>
    </message>
    <message>
        <source>%1 takes one argument.</source>
        <translation>%1 nimmt ein Argument.</translation>
    </message>
    <message>
        <source>--dry-run belongs to import.</source>
        <translation>--dry-run gehört zu import.</translation>
    </message>
    <message>
        <source>--seconds takes a whole number of seconds and belongs to monitor.</source>
        <translation>--seconds nimmt eine ganze Zahl von Sekunden und gehört zu monitor.</translation>
    </message>
    <message>
        <source>unknown role &quot;%1&quot;: customer, supervisor or admin.</source>
        <translation>unbekannte Rolle „%1“: customer, supervisor oder admin.</translation>
    </message>
    <message>
        <source>monitor takes voltage, current or power.</source>
        <translation>monitor nimmt voltage, current oder power.</translation>
    </message>
    <message>
        <source>monitor reads one device; name it with --port.</source>
        <translation>monitor liest ein Gerät; nennen Sie es mit --port.</translation>
    </message>
    <message>
        <source>export with --all needs {serial} in the file name.</source>
        <translation>export mit --all braucht {serial} im Dateinamen.</translation>
    </message>
    <message>
        <source>r58ctl: the role &quot;%1&quot; may not run %2, as in the windows.</source>
        <translation>r58ctl: Die Rolle „%1“ darf %2 nicht ausführen, wie in den Fenstern.</translation>
    </message>
    <message>
        <source>r58ctl: no device found.</source>
        <translation>r58ctl: Kein Gerät gefunden.</translation>
    </message>
    <message>
        <source>%1 devices found (%2): name one with --port, or use --all.</source>
        <translation>%1 Geräte gefunden (%2): Nennen Sie eines mit --port oder verwenden Sie --all.</translation>
    </message>
    <message>
        <source>not reported</source>
        <translation>nicht gemeldet</translation>
    </message>
    <message>
        <source>%1  serial %2  article %3  %4  software %5  hardware %6</source>
        <translation>%1  Seriennummer %2  Artikel %3  %4  Software %5  Hardware %6</translation>
    </message>
    <message>
        <source>no fault, no warning</source>
        <translation>kein Fehler, keine Warnung</translation>
    </message>
    <message>
        <source>Port: %1</source>
        <translation>Anschluss: %1</translation>
    </message>
    <message>
        <source>Product: %1</source>
        <translation>Produkt: %1</translation>
    </message>
    <message>
        <source>Serial number: %1</source>
        <translation>Seriennummer: %1</translation>
    </message>
    <message>
        <source>Article number: %1</source>
        <translation>Artikelnummer: %1</translation>
    </message>
    <message>
        <source>Software version: %1</source>
        <translation>Softwareversion: %1</translation>
    </message>
    <message>
        <source>Hardware version: %1</source>
        <translation>Hardwareversion: %1</translation>
    </message>
    <message>
        <source>Fault state: %1</source>
        <translation>Fehlerzustand: %1</translation>
    </message>
    <message>
        <source>Operating mode: %1</source>
        <translation>Betriebsart: %1</translation>
    </message>
    <message>
        <source>Settings:</source>
        <translation>Einstellungen:</translation>
    </message>
    <message>
        <source>%1 is in the folder of the tool&apos;s backups, which only the backups are written to. Nothing was exported.</source>
        <translation>%1 liegt im Ordner der Sicherungen des Programms, in den nur die Sicherungen geschrieben werden. Es wurde nichts exportiert.</translation>
    </message>
    <message>
        <source>the settings could not be written to %1.</source>
        <translation>die Einstellungen konnten nicht in %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>%1: settings exported to %2.</source>
        <translation>%1: Einstellungen nach %2 exportiert.</translation>
    </message>
    <message>
        <source>%1: %2 → %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
    <message>
        <source>Refused: %1</source>
        <translation>Abgelehnt: %1</translation>
    </message>
    <message>
        <source>%1: nothing would change.</source>
        <translation>%1: Es würde sich nichts ändern.</translation>
    </message>
    <message>
        <source>%1: settings that would change: %2.</source>
        <translation>%1: Einstellungen, die sich ändern würden: %2.</translation>
    </message>
    <message>
        <source>Nothing was sent to the device.</source>
        <translation>Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1: %2 Nothing was sent to the device.</source>
        <translation>%1: %2 Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1: %2 holds the device&apos;s settings: nothing to change, nothing was sent.</source>
        <translation>%1: %2 enthält die Einstellungen des Geräts: nichts zu ändern, nichts wurde gesendet.</translation>
    </message>
    <message>
        <source>%1 was not imported: the device&apos;s settings could not be backed up (%2). Nothing was sent to the device.</source>
        <translation>%1 wurde nicht importiert: Die Einstellungen des Geräts konnten nicht gesichert werden (%2). Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>Settings restored from %1: %2 of them changed.</source>
        <translation>Einstellungen aus %1 wiederhergestellt: %2 davon geändert.</translation>
    </message>
    <message>
        <source>Settings imported from %1: %2 of them changed.</source>
        <translation>Einstellungen aus %1 importiert: %2 davon geändert.</translation>
    </message>
    <message>
        <source>%1: %2 written and confirmed.</source>
        <translation>%1: %2 geschrieben und bestätigt.</translation>
    </message>
    <message>
        <source>%1: %2 of %3 changed settings confirmed by the device; backup in %4.</source>
        <translation>%1: %2 von %3 geänderten Einstellungen vom Gerät bestätigt; Sicherung in %4.</translation>
    </message>
    <message>
        <source>the settings could not be backed up: %1.</source>
        <translation>die Einstellungen konnten nicht gesichert werden: %1.</translation>
    </message>
    <message>
        <source>%1: settings backed up to %2.</source>
        <translation>%1: Einstellungen nach %2 gesichert.</translation>
    </message>
    <message>
        <source>refused: %1</source>
        <translation>abgelehnt: %1</translation>
    </message>
    <message>
        <source>version %1, the package applies.</source>
        <translation>Version %1, das Paket passt.</translation>
    </message>
    <message>
        <source>%1  %2  %3 → %4  %5  %6 s</source>
        <translation>%1  %2  %3 → %4  %5  %6 s</translation>
    </message>
    <message>
        <source>Checks settings files without a device against the limits of the device model they were made for, or of article number N. Exit status 0 when every file is valid, 1 when a value is outside the limits, 2 when a file cannot be read or names no known model.</source>
        <translation>Prüft Einstellungsdateien ohne Gerät gegen die Grenzen des Gerätemodells, für das sie erstellt wurden, oder der Artikelnummer N. Rückgabewert 0, wenn jede Datei gültig ist, 1, wenn ein Wert außerhalb der Grenzen liegt, 2, wenn eine Datei nicht gelesen werden kann oder kein bekanntes Modell nennt.</translation>
    </message>
    <message>
        <source>  --article N          check: the device model&apos;s article number</source>
        <translation>  --article N          check: die Artikelnummer des Gerätemodells</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 differences (compare), not confirmed (import, restore, update) or values outside the limits (check), 2 usage error or unreadable file, 3 no device, 4 refused (role, password, downgrade, damaged package, running motor, refused file), 5 the device did not answer or the operation failed.</source>
        <translation>Rückgabewert: 0 erledigt, 1 Unterschiede (compare), nicht bestätigt (import, restore, update) oder Werte außerhalb der Grenzen (check), 2 falscher Aufruf oder unlesbare Datei, 3 kein Gerät, 4 abgelehnt (Rolle, Passwort, Downgrade, beschädigtes Paket, laufender Motor, abgelehnte Datei), 5 das Gerät hat nicht geantwortet oder der Vorgang ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>%1 takes one file or more.</source>
        <translation>%1 erwartet eine oder mehrere Dateien.</translation>
    </message>
    <message>
        <source>--article belongs to check.</source>
        <translation>--article gehört zu check.</translation>
    </message>
    <message>
        <source>--article takes the article number of a known model: %1.</source>
        <translation>--article erwartet die Artikelnummer eines bekannten Modells: %1.</translation>
    </message>
    <message>
        <source>%1 could not be read.</source>
        <translation>%1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 names no device model; give one with --article (%2).</source>
        <translation>%1 nennt kein Gerätemodell; geben Sie eines mit --article an (%2).</translation>
    </message>
    <message>
        <source>%1 was made for %2, a model this program does not know; give one with --article (%3).</source>
        <translation>%1 wurde für %2 erstellt, ein Modell, das dieses Programm nicht kennt; geben Sie eines mit --article an (%3).</translation>
    </message>
    <message>
        <source>%1: made for %2, checked for %3.</source>
        <translation>%1: erstellt für %2, geprüft für %3.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: valid for %2.</source>
        <translation>%1: gültig für %2.</translation>
    </message>
</context>
<context>
    <name>CompareDialog</name>
    <message>
        <source>Import settings</source>
        <translation>Einstellungen importieren</translation>
    </message>
    <message>
        <source>Compare settings</source>
        <translation>Einstellungen vergleichen</translation>
    </message>
    <message>
        <source>Nothing to change: %1 holds the device&apos;s settings.</source>
        <translation>Nichts zu ändern: %1 enthält die Einstellungen des Geräts.</translation>
    </message>
    <message>
        <source>%1 would change %2 of the device&apos;s settings:</source>
        <translation>%1 würde %2 Einstellungen des Geräts ändern:</translation>
    </message>
    <message>
        <source>The file is refused: nothing from it can be sent.</source>
        <translation>Die Datei wird abgelehnt: nichts daraus kann gesendet werden.</translation>
    </message>
    <message>
        <source>The device is not connected: nothing can be sent.</source>
        <translation>Das Gerät ist nicht verbunden: es kann nichts gesendet werden.</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>Device → file</source>
        <translation>Gerät → Datei</translation>
    </message>
    <message>
        <source>Show unchanged settings</source>
        <translation>Unveränderte Einstellungen anzeigen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>%1 cannot be imported: it holds values the device must not get (in red).</source>
        <translation>%1 lässt sich nicht importieren: Die Datei enthält Werte, die das Gerät nicht erhalten darf (rot).</translation>
    </message>
</context>
<context>
    <name>ConnectScreen</name>
    <message>
        <source>VELOR®R58 VizorevAvuv</source>
        <translation>VELOR®R58 VizorevAvuv</translation>
    </message>
    <message>
        <source>Please connect a VELOR®R58 device.</source>
        <translation>Bitte schließen Sie ein VELOR®R58-Gerät an.</translation>
    </message>
    <message>
        <source>OFFLINE MODE</source>
        <translation>OFFLINE-MODUS</translation>
    </message>
    <message>
        <source>The VELOR®R58 on %1 cannot be opened: %2.</source>
        <translation>Das VELOR®R58 an %1 lässt sich nicht öffnen: %2.</translation>
    </message>
    <message>
        <source>Other port…</source>
        <translation>Anderer Anschluss…</translation>
    </message>
    <message>
        <source>Waiting for %1 to appear.</source>
        <translation>Warte darauf, dass %1 erscheint.</translation>
    </message>
    <message>
        <source>this user may not open it, or another program holds it</source>
        <translation>Dieser Benutzer darf ihn nicht öffnen, oder ein anderes Programm belegt ihn</translation>
    </message>
    <message>
        <source>the port does not exist (any more)</source>
        <translation>Den Anschluss gibt es nicht (mehr)</translation>
    </message>
    <message>
        <source>it is not a serial port the program can use</source>
        <translation>Er ist keine serielle Schnittstelle, die das Programm nutzen kann</translation>
    </message>
    <message>
        <source>To give the logged-in user access, install the program&apos;s package (it brings a udev rule), then unplug the device and plug it in again. Without the package: add the user to the group „dialout“ (sudo usermod -aG dialout $USER), then log out and in again. If another program holds the port, close it there first.</source>
        <translation>Damit der angemeldete Benutzer Zugriff erhält, installieren Sie das Paket des Programms (es bringt eine udev-Regel mit) und stecken Sie das Gerät danach ab und wieder an. Ohne das Paket: Fügen Sie den Benutzer der Gruppe „dialout“ hinzu (sudo usermod -aG dialout $USER), melden Sie sich dann ab und wieder an. Belegt ein anderes Programm den Anschluss, schließen Sie ihn zuerst dort.</translation>
    </message>
</context>
<context>
    <name>DeviceModel</name>
    <message>
        <source>The file was made for %1, this device is %2: its limits may differ.</source>
        <translation>Die Datei wurde für %1 erstellt, dieses Gerät ist ein %2: Seine Grenzen können abweichen.</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>VELOR®R58 VizorevAvuv</source>
        <translation>VELOR®R58 VizorevAvuv</translation>
    </message>
    <message>
        <source>VELOR®R58</source>
        <translation>VELOR®R58</translation>
    </message>
    <message>
        <source>VizorevAvuv</source>
        <translation>VizorevAvuv</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Firmware update running</source>
        <translation>Firmware-Update läuft</translation>
    </message>
    <message>
        <source>A firmware update is running on the device %1. Quitting now can leave it half updated or in its boot loader. Quit anyway?</source>
        <translation>Auf dem Gerät %1 läuft ein Firmware-Update. Wenn Sie jetzt beenden, kann es halb aktualisiert oder in seinem Bootloader zurückbleiben. Trotzdem beenden?</translation>
    </message>
    <message>
        <source>Update all…</source>
        <translation>Alle aktualisieren…</translation>
    </message>
    <message>
        <source>No device is connected.</source>
        <translation>Es ist kein Gerät verbunden.</translation>
    </message>
    <message>
        <source>Open update package</source>
        <translation>Updatepaket öffnen</translation>
    </message>
    <message>
        <source>Update packages (*.tar)</source>
        <translation>Updatepakete (*.tar)</translation>
    </message>
    <message>
        <source>Motor running</source>
        <translation>Motor läuft</translation>
    </message>
    <message>
        <source>The motor of the device %1 was started from this program and is running. Stop it before quitting?</source>
        <translation>Der Motor des Geräts %1 wurde aus diesem Programm gestartet und läuft. Vor dem Beenden anhalten?</translation>
    </message>
    <message>
        <source>Stop the motor and quit</source>
        <translation>Motor anhalten und beenden</translation>
    </message>
    <message>
        <source>Leave it running and quit</source>
        <translation>Weiterlaufen lassen und beenden</translation>
    </message>
    <message>
        <source>The device on %1 was disconnected.</source>
        <translation>Das Gerät an %1 wurde getrennt.</translation>
    </message>
    <message>
        <source>The device %1 on %2 was disconnected.</source>
        <translation>Das Gerät %1 an %2 wurde getrennt.</translation>
    </message>
    <message>
        <source>Its port is still watched: plug the device in again and its tab returns.</source>
        <translation>Sein Anschluss wird weiter überwacht: Stecken Sie das Gerät wieder ein, dann erscheint sein Tab wieder.</translation>
    </message>
    <message>
        <source>Settings files</source>
        <translation>Einstellungsdateien</translation>
    </message>
</context>
<context>
    <name>OtherPortDialog</name>
    <message>
        <source>Other port</source>
        <translation>Anderer Anschluss</translation>
    </message>
    <message>
        <source>Choose the serial port the VELOR®R58 is connected to, or type its path (for example a pseudo-terminal made by socat).</source>
        <translation>Wählen Sie die serielle Schnittstelle, an der das VELOR®R58 angeschlossen ist, oder geben Sie ihren Pfad ein (zum Beispiel ein von socat angelegtes Pseudo-Terminal).</translation>
    </message>
    <message>
        <source>The system lists no serial ports.</source>
        <translation>Das System meldet keine seriellen Schnittstellen.</translation>
    </message>
    <message>
        <source>Port name or path, e.g. ttyUSB0 or /tmp/ttyR58</source>
        <translation>Name oder Pfad der Schnittstelle, z. B. ttyUSB0 oder /tmp/ttyR58</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
</context>
<context>
    <name>PlaceholderSubScreen</name>
    <message>
        <source>VELOR®R58</source>
        <translation>VELOR®R58</translation>
    </message>
    <message>
        <source>Device connected</source>
        <translation>Gerät verbunden</translation>
    </message>
    <message>
        <source>Offline mode</source>
        <translation>Offline-Modus</translation>
    </message>
    <message>
        <source>Serial port: %1</source>
        <translation>Serielle Schnittstelle: %1</translation>
    </message>
    <message>
        <source>No device is connected. Plug in a VELOR®R58 over USB: it opens in a tab of its own.</source>
        <translation>Kein Gerät verbunden. Schließen Sie ein VELOR®R58 über USB an: Es öffnet sich in einem eigenen Reiter.</translation>
    </message>
</context>
<context>
    <name>R58SubScreen</name>
    <message>
        <source>Information</source>
        <translation>Geräteinfo</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Konfiguration</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Daten</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Steuerung</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über das Programm</translation>
    </message>
    <message>
        <source>Service Mode</source>
        <translation>Servicemodus</translation>
    </message>
    <message>
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>Export settings</source>
        <translation>Einstellungen exportieren</translation>
    </message>
    <message>
        <source>JSON Files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>The settings could not be written to %1.</source>
        <translation>Die Einstellungen konnten nicht nach %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>Settings exported to %1.</source>
        <translation>Einstellungen nach %1 exportiert.</translation>
    </message>
    <message>
        <source>Import settings</source>
        <translation>Einstellungen importieren</translation>
    </message>
    <message>
        <source>%1 could not be read. Nothing was sent to the device.</source>
        <translation>%1 konnte nicht gelesen werden. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1 holds no device settings. Nothing was sent to the device.</source>
        <translation>%1 enthält keine Geräteeinstellungen. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1: %2 Nothing was sent to the device.</source>
        <translation>%1: %2 Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>R58 Status: Idle</source>
        <translation>R58-Status: Gestoppt</translation>
    </message>
    <message>
        <source>R58 Status: Forward</source>
        <translation>R58-Status: Vorwärts</translation>
    </message>
    <message>
        <source>R58 Status: Backward</source>
        <translation>R58-Status: Rückwärts</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>Gestoppt</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Rückwärts</translation>
    </message>
    <message>
        <source>SafetyStop</source>
        <translation>Sicherheitshalt</translation>
    </message>
    <message>
        <source>DeviceOK</source>
        <translation>Kein Fehler</translation>
    </message>
    <message>
        <source>Overload</source>
        <translation>Überlast</translation>
    </message>
    <message>
        <source>PhaseAsymmetry</source>
        <translation>Phasenunsymmetrie</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>SupplyLoss</source>
        <translation>Netzausfall</translation>
    </message>
    <message>
        <source>UndervoltageSupply</source>
        <translation>Unterspannung Netz</translation>
    </message>
    <message>
        <source>OvervoltageSupply</source>
        <translation>Überspannung Netz</translation>
    </message>
    <message>
        <source>Overtemperature</source>
        <translation>Übertemperatur</translation>
    </message>
    <message>
        <source>UndervoltageControl</source>
        <translation>Unterspannung Steuerspannung</translation>
    </message>
    <message>
        <source>OvervoltageControl</source>
        <translation>Überspannung Steuerspannung</translation>
    </message>
    <message>
        <source>SecurityClearance</source>
        <translation>Sicherheitsfreigabe</translation>
    </message>
    <message>
        <source>SwitchingFrequency</source>
        <translation>Schalthäufigkeit</translation>
    </message>
    <message>
        <source>ShortCircuit</source>
        <translation>Kurzschluss</translation>
    </message>
    <message>
        <source>DeviceError</source>
        <translation>Gerätefehler</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Legal notice&lt;/h3&gt;&lt;p&gt;&lt;b&gt;Brenvik Antriebstechnik GmbH&lt;/b&gt;&lt;br/&gt;Werkstraße 12&lt;br/&gt;D-72770 Reutlingen&lt;br/&gt;Germany&lt;/p&gt;&lt;p&gt;Phone +49 7121 5858-0&lt;br/&gt;service@brenvik.example&lt;/p&gt;&lt;p&gt;Managing directors: A. Brenvik, K. Lund&lt;br/&gt;Register court Stuttgart, HRB 758 58&lt;br/&gt;VAT ID DE 158 585 858&lt;/p&gt;&lt;p&gt;VELOR® is a registered trademark of Brenvik Antriebstechnik GmbH.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Impressum&lt;/h3&gt;&lt;p&gt;&lt;b&gt;Brenvik Antriebstechnik GmbH&lt;/b&gt;&lt;br/&gt;Werkstraße 12&lt;br/&gt;D-72770 Reutlingen&lt;br/&gt;Deutschland&lt;/p&gt;&lt;p&gt;Telefon +49 7121 5858-0&lt;br/&gt;service@brenvik.example&lt;/p&gt;&lt;p&gt;Geschäftsführer: A. Brenvik, K. Lund&lt;br/&gt;Registergericht Stuttgart, HRB 758 58&lt;br/&gt;USt-IdNr. DE 158 585 858&lt;/p&gt;&lt;p&gt;VELOR® ist eine eingetragene Marke der Brenvik Antriebstechnik GmbH.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;span style=&quot;font-size:20pt; font-weight:bold; color:#204253;&quot;&gt;VELOR®R58&lt;/span&gt; &lt;span style=&quot;font-size:20pt; color:#ef7c00;&quot;&gt;VizorevAvuv&lt;/span&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;span style=&quot;font-size:20pt; font-weight:bold; color:#204253;&quot;&gt;VELOR®R58&lt;/span&gt; &lt;span style=&quot;font-size:20pt; color:#ef7c00;&quot;&gt;VizorevAvuv&lt;/span&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Voltage L1 - L2</source>
        <translation>Spannung L1 - L2</translation>
    </message>
    <message>
        <source>Voltage L1 - N</source>
        <translation>Spannung L1 - N</translation>
    </message>
    <message>
        <source>Voltage L2 - L3</source>
        <translation>Spannung L2 - L3</translation>
    </message>
    <message>
        <source>Voltage L2 - N</source>
        <translation>Spannung L2 - N</translation>
    </message>
    <message>
        <source>Voltage L3 - L1</source>
        <translation>Spannung L3 - L1</translation>
    </message>
    <message>
        <source>Voltage L3 - N</source>
        <translation>Spannung L3 - N</translation>
    </message>
    <message>
        <source>R58 Status: Error</source>
        <translation>R58-Status: Fehler</translation>
    </message>
    <message>
        <source>R58 Status: Warning</source>
        <translation>R58-Status: Warnung</translation>
    </message>
    <message>
        <source>Regular firmware updates bring new features and fixes. Search for an update package to see whether it is newer than the firmware of this device.</source>
        <translation>Regelmäßige Firmware-Updates bringen neue Funktionen und Fehlerbehebungen. Suchen Sie nach einem Update-Paket, um zu sehen, ob es neuer ist als die Firmware dieses Geräts.</translation>
    </message>
    <message>
        <source>Send: </source>
        <translation>Send: </translation>
    </message>
    <message>
        <source>Receive: </source>
        <translation>Receive: </translation>
    </message>
    <message>
        <source>Open binary file</source>
        <translation>Binärdatei öffnen</translation>
    </message>
    <message>
        <source>Binary Files (*.bin *.crypt)</source>
        <translation>Binärdateien (*.bin *.crypt)</translation>
    </message>
    <message>
        <source>Filename: </source>
        <translation>Dateiname: </translation>
    </message>
    <message>
        <source>Cannot read the file: %1</source>
        <translation>Die Datei kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Open software update package</source>
        <translation>Software-Update-Paket öffnen</translation>
    </message>
    <message>
        <source>Archives (*.tar)</source>
        <translation>Archive (*.tar)</translation>
    </message>
    <message>
        <source>New Firmware: </source>
        <translation>Neue Firmware: </translation>
    </message>
    <message>
        <source>Software downgrade is not allowed! </source>
        <translation>Ein Software-Downgrade ist nicht erlaubt! </translation>
    </message>
    <message>
        <source>The folder could not be remembered for next time: %1 could not be written.</source>
        <translation>Der Ordner konnte nicht für das nächste Mal gespeichert werden: %1 ließ sich nicht schreiben.</translation>
    </message>
    <message>
        <source>The device is not connected. Nothing was sent to the device.</source>
        <translation>Das Gerät ist nicht verbunden. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1: %2 is outside %3 to %4. Nothing was sent to the device.</source>
        <translation>%1: %2 liegt außerhalb von %3 bis %4. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1 lowered to %2.</source>
        <translation>%1 auf %2 gesenkt.</translation>
    </message>
    <message>
        <source>No threshold may exceed the nominal current: %1</source>
        <translation>Keine Schwelle darf über dem Nennstrom liegen: %1</translation>
    </message>
    <message>
        <source>The device holds %1, which this field cannot show.</source>
        <translation>Das Gerät hält %1; dieses Feld kann den Wert nicht anzeigen.</translation>
    </message>
    <message>
        <source>The device holds %1, outside %2 to %3 that this field offers. It is shown as it is and not sent back.</source>
        <translation>Das Gerät hält %1, außerhalb von %2 bis %3, die dieses Feld anbietet. Der Wert wird unverändert angezeigt und nicht zurückgesendet.</translation>
    </message>
    <message>
        <source>The device holds the value %1, which this list does not offer.</source>
        <translation>Das Gerät hält den Wert %1, den diese Liste nicht anbietet.</translation>
    </message>
    <message>
        <source>%1 was not imported: the device is not connected. Nothing was sent to the device.</source>
        <translation>%1 wurde nicht importiert: Das Gerät ist nicht verbunden. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>Record measured values</source>
        <translation>Messwerte aufzeichnen</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>%1 could not be created (%2). Nothing is recorded.</source>
        <translation>%1 ließ sich nicht anlegen (%2). Es wird nichts aufgezeichnet.</translation>
    </message>
    <message>
        <source>Recording to %1: %2 values</source>
        <translation>Aufzeichnung in %1: %2 Werte</translation>
    </message>
    <message>
        <source>Export event history</source>
        <translation>Ereignisverlauf exportieren</translation>
    </message>
    <message>
        <source>Event history exported to %1.</source>
        <translation>Ereignisverlauf nach %1 exportiert.</translation>
    </message>
    <message>
        <source>%1 could not be written (%2). Nothing was exported.</source>
        <translation>%1 ließ sich nicht schreiben (%2). Es wurde nichts exportiert.</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Kunde</translation>
    </message>
    <message>
        <source>Supervisor</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>Admin</source>
        <translation>Admin</translation>
    </message>
    <message>
        <source>COMPARE</source>
        <translation>VERGLEICHEN</translation>
    </message>
    <message>
        <source>RESTORE…</source>
        <translation>WIEDERHERSTELLEN…</translation>
    </message>
    <message>
        <source>REPORT…</source>
        <translation>BERICHT…</translation>
    </message>
    <message>
        <source>No backup</source>
        <translation>Keine Sicherung</translation>
    </message>
    <message>
        <source>The device&apos;s settings could not be backed up %1: %2.

Go on without a backup?</source>
        <translation>Die Einstellungen des Geräts konnten %1 nicht gesichert werden: %2.

Ohne Sicherung fortfahren?</translation>
    </message>
    <message>
        <source>There are no backups of this device&apos;s settings yet.</source>
        <translation>Von den Einstellungen dieses Geräts gibt es noch keine Sicherungen.</translation>
    </message>
    <message>
        <source>Restore settings</source>
        <translation>Einstellungen wiederherstellen</translation>
    </message>
    <message>
        <source>Backups of device %1, newest first. The chosen one is compared with the device before anything is sent.</source>
        <translation>Sicherungen des Geräts %1, die neueste zuerst. Die gewählte wird mit dem Gerät verglichen, bevor etwas gesendet wird.</translation>
    </message>
    <message>
        <source>Compare…</source>
        <translation>Vergleichen…</translation>
    </message>
    <message>
        <source>Commissioning %1 %2.pdf</source>
        <translation>Inbetriebnahme %1 %2.pdf</translation>
    </message>
    <message>
        <source>R58</source>
        <translation>R58</translation>
    </message>
    <message>
        <source>Save commissioning report</source>
        <translation>Inbetriebnahmebericht speichern</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>The report could not be written to %1.</source>
        <translation>Der Bericht konnte nicht nach %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>Report written to %1.</source>
        <translation>Bericht nach %1 geschrieben.</translation>
    </message>
    <message>
        <source>Compare settings</source>
        <translation>Einstellungen vergleichen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2, which is no value of that setting.</source>
        <translation>„%1“ enthält %2, was kein Wert dieser Einstellung ist.</translation>
    </message>
    <message>
        <source>%1 holds the device&apos;s settings: nothing to change, nothing was sent.</source>
        <translation>%1 enthält die Einstellungen des Geräts: nichts zu ändern, es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>The import of %1 was cancelled. Nothing was sent to the device.</source>
        <translation>Der Import von %1 wurde abgebrochen. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>%1 was not imported: the device&apos;s settings could not be backed up. Nothing was sent to the device.</source>
        <translation>%1 wurde nicht importiert: die Einstellungen des Geräts konnten nicht gesichert werden. Es wurde nichts an das Gerät gesendet.</translation>
    </message>
    <message>
        <source>The factory reset was not sent: the device&apos;s settings could not be backed up.</source>
        <translation>Das Zurücksetzen auf Werkseinstellungen wurde nicht gesendet: die Einstellungen des Geräts konnten nicht gesichert werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is an update package, not a single image. Open it with &quot;SEARCH FOR NEW FIRMWARE&quot; on the Information page.</source>
        <translation>„%1“ ist ein Update-Paket, kein einzelnes Image. Öffnen Sie es mit „NEUE FIRMWARE SUCHEN“ auf der Seite Information.</translation>
    </message>
    <message>
        <source>Waiting for the device&apos;s version…</source>
        <translation>Warte auf die Version des Geräts…</translation>
    </message>
    <message>
        <source>The update was not started: the device&apos;s settings could not be backed up.</source>
        <translation>Das Update wurde nicht gestartet: die Einstellungen des Geräts konnten nicht gesichert werden.</translation>
    </message>
    <message>
        <source>%1 is in the folder of the tool&apos;s backups, which only the backups are written to. Nothing was exported; choose another folder.</source>
        <translation>%1 liegt im Ordner der Sicherungen des Programms, in den nur die Sicherungen geschrieben werden. Es wurde nichts exportiert; wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>%1 is in the folder of the tool&apos;s backups, which only the backups are written to. The report was not written; choose another folder.</source>
        <translation>%1 liegt im Ordner der Sicherungen des Programms, in den nur die Sicherungen geschrieben werden. Der Bericht wurde nicht geschrieben; wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Privacy&lt;/h3&gt;&lt;p&gt;VizorevAvuv works on this computer only. It sends nothing over the internet and collects no usage data.&lt;/p&gt;&lt;p&gt;The program keeps its own settings in a file in your user profile: the folders last used for settings files and firmware, and, if you chose to save them, the digests of role passwords (never the passwords themselves). Settings files you export hold the protection settings of a device and nothing about you.&lt;/p&gt;&lt;p&gt;For each device it has been connected to, the program keeps two records on this computer: an event history (connections, faults and warnings, operating modes, settings written, imports, factory resets and updates) and backups of the device&apos;s settings, taken before a factory reset, an import or an update replaces them. They are kept in the folders &quot;history&quot; and &quot;backups&quot; of %1; delete those folders to remove them. Nothing else read from a device leaves the screen unless you export, record or report it yourself.&lt;/p&gt;&lt;p&gt;Questions: privacy@brenvik.example&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Datenschutz&lt;/h3&gt;&lt;p&gt;VizorevAvuv arbeitet nur auf diesem Computer. Es sendet nichts über das Internet und erhebt keine Nutzungsdaten.&lt;/p&gt;&lt;p&gt;Das Programm speichert seine eigenen Einstellungen in einer Datei in Ihrem Benutzerprofil: die zuletzt verwendeten Ordner für Einstellungsdateien, Firmware und Berichte sowie, falls Sie das Speichern gewählt haben, die Hashwerte der Rollenpasswörter (niemals die Passwörter selbst). Von Ihnen exportierte Einstellungsdateien enthalten die Schutzeinstellungen eines Geräts und nichts über Sie.&lt;/p&gt;&lt;p&gt;Für jedes Gerät, mit dem es verbunden war, führt das Programm auf diesem Computer zwei Aufzeichnungen: einen Ereignisverlauf (Verbindungen, Fehler und Warnungen, Betriebsarten, geschriebene Einstellungen, Importe, Werksrücksetzungen und Updates) und Sicherungen der Geräteeinstellungen, die angelegt werden, bevor eine Werksrücksetzung, ein Import oder ein Update sie ersetzt. Sie liegen in den Ordnern „history“ und „backups“ unter %1; löschen Sie diese Ordner, um sie zu entfernen. Alles andere, was von einem Gerät gelesen wird, verlässt den Bildschirm nur, wenn Sie es selbst exportieren, aufzeichnen oder in einen Bericht übernehmen.&lt;/p&gt;&lt;p&gt;Fragen: privacy@brenvik.example&lt;/p&gt;</translation>
    </message>
    <message>
        <source>%1: the device did not report it after the reset.</source>
        <translation>%1: Das Gerät hat den Wert nach dem Zurücksetzen nicht gemeldet.</translation>
    </message>
    <message>
        <source>Not applied. %1</source>
        <translation>Nicht übernommen. %1</translation>
    </message>
    <message>
        <source>Settings imported from %1: all %2 settings confirmed by the device.</source>
        <translation>Einstellungen aus %1 importiert: Das Gerät hat alle %2 Einstellungen bestätigt.</translation>
    </message>
    <message>
        <source>Settings from %1: %2 of %3 confirmed by the device. Not applied: %4</source>
        <translation>Einstellungen aus %1: %2 von %3 vom Gerät bestätigt. Nicht übernommen: %4</translation>
    </message>
    <message>
        <source>The device was reset to its factory settings; it reports all %1 settings, shown here.</source>
        <translation>Das Gerät wurde auf Werkseinstellungen zurückgesetzt; es meldet alle %1 Einstellungen, die hier angezeigt werden.</translation>
    </message>
    <message>
        <source>The factory reset was sent, but the device did not report every setting afterwards. %1</source>
        <translation>Das Zurücksetzen wurde gesendet, aber das Gerät hat danach nicht jede Einstellung gemeldet. %1</translation>
    </message>
    <message>
        <source>Not applied by the device: %1</source>
        <translation>Vom Gerät nicht übernommen: %1</translation>
    </message>
    <message>
        <source>The settings could not be compared with those before the update: %1 could not be read.</source>
        <translation>Die Einstellungen konnten nicht mit denen vor dem Update verglichen werden: %1 ließ sich nicht lesen.</translation>
    </message>
    <message>
        <source>Every setting is as it was before the update.</source>
        <translation>Alle Einstellungen sind wie vor dem Update.</translation>
    </message>
    <message>
        <source>%1: %2 before, %3 now</source>
        <translation>%1: vorher %2, jetzt %3</translation>
    </message>
    <message>
        <source>Settings changed by the update</source>
        <translation>Durch das Update geänderte Einstellungen</translation>
    </message>
    <message>
        <source>Restore these from the backup taken before the update? They are compared with the device once more before anything is sent.</source>
        <translation>Diese aus der vor dem Update angelegten Sicherung wiederherstellen? Sie werden vor dem Senden noch einmal mit dem Gerät verglichen.</translation>
    </message>
    <message>
        <source>Restore these…</source>
        <translation>Diese wiederherstellen…</translation>
    </message>
    <message>
        <source>Keep the new values</source>
        <translation>Neue Werte behalten</translation>
    </message>
    <message>
        <source>Motor running</source>
        <translation>Motor läuft</translation>
    </message>
    <message>
        <source>The motor is running (%1). %2 waits until it is stopped: the device&apos;s protection stops while it takes new firmware or its factory settings.</source>
        <translation>Der Motor läuft (%1). %2 wartet, bis er angehalten ist: Der Schutz des Geräts ruht, während es neue Firmware oder seine Werkseinstellungen übernimmt.</translation>
    </message>
    <message>
        <source>Stop the motor</source>
        <translation>Motor anhalten</translation>
    </message>
    <message>
        <source>%1: %2 settings sent; waiting for the device to confirm them.</source>
        <translation>%1: %2 Einstellungen gesendet; warte auf die Bestätigung durch das Gerät.</translation>
    </message>
    <message>
        <source>The factory reset</source>
        <translation>Das Zurücksetzen auf Werkseinstellungen</translation>
    </message>
    <message>
        <source>Reset to factory settings</source>
        <translation>Auf Werkseinstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>Reset the device %1 to its factory settings? Every protection setting returns to its factory value. A backup of the present settings is taken first.</source>
        <translation>Das Gerät %1 auf Werkseinstellungen zurücksetzen? Jede Schutzeinstellung erhält wieder ihren Werkswert. Zuvor wird eine Sicherung der jetzigen Einstellungen angelegt.</translation>
    </message>
    <message>
        <source>The factory reset was cancelled. Nothing was sent to the device.</source>
        <translation>Das Zurücksetzen wurde abgebrochen. An das Gerät wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>The factory reset was sent; reading the device&apos;s settings back…</source>
        <translation>Das Zurücksetzen wurde gesendet; die Einstellungen des Geräts werden zurückgelesen…</translation>
    </message>
    <message>
        <source>The firmware update</source>
        <translation>Das Firmware-Update</translation>
    </message>
    <message>
        <source>The update changed these settings:</source>
        <translation>Das Update hat diese Einstellungen geändert:</translation>
    </message>
    <message>
        <source>Another device model</source>
        <translation>Anderes Gerätemodell</translation>
    </message>
    <message>
        <source>RESUME</source>
        <translation>FORTSETZEN</translation>
    </message>
    <message>
        <source>PAUSE</source>
        <translation>ANHALTEN</translation>
    </message>
    <message>
        <source>STOP RECORDING (%1)</source>
        <translation>AUFZEICHNUNG BEENDEN (%1)</translation>
    </message>
    <message>
        <source>RECORD…</source>
        <translation>AUFZEICHNEN…</translation>
    </message>
</context>
<context>
    <name>R58SubScreenAbout</name>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
</context>
<context>
    <name>R58SubScreenConfiguration</name>
    <message>
        <source>GENERAL</source>
        <translation>ALLGEMEIN</translation>
    </message>
    <message>
        <source>UNDERCURRENT</source>
        <translation>UNTERSTROM</translation>
    </message>
    <message>
        <source>UNDERVOLTAGE</source>
        <translation>UNTERSPANNUNG</translation>
    </message>
    <message>
        <source>OVERVOLTAGE</source>
        <translation>ÜBERSPANNUNG</translation>
    </message>
    <message>
        <source>LOAD ASYMMETRY</source>
        <translation>LASTASYMMETRIE</translation>
    </message>
    <message>
        <source>Nominal Current (A)</source>
        <translation>Nennstrom (A)</translation>
    </message>
    <message>
        <source>Softstart</source>
        <translation>Sanftanlauf</translation>
    </message>
    <message>
        <source>Automatic Reset</source>
        <translation>Automatischer Reset</translation>
    </message>
    <message>
        <source>Trip Class</source>
        <translation>Auslöseklasse</translation>
    </message>
    <message>
        <source>2E</source>
        <translation>2E</translation>
    </message>
    <message>
        <source>3E</source>
        <translation>3E</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>10A</source>
        <translation>10A</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>30</source>
        <translation>30</translation>
    </message>
    <message>
        <source>40E</source>
        <translation>40E</translation>
    </message>
    <message>
        <source>Threshold (A)</source>
        <translation>Schwelle (A)</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Fault Type</source>
        <translation>Fehlerart</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Threshold (V)</source>
        <translation>Schwelle (V)</translation>
    </message>
    <message>
        <source>EXPORT</source>
        <translation>EXPORT</translation>
    </message>
    <message>
        <source>IMPORT</source>
        <translation>IMPORT</translation>
    </message>
    <message>
        <source>RESET TO FACTORY SETTINGS</source>
        <translation>AUF WERKSEINSTELLUNGEN ZURÜCKSETZEN</translation>
    </message>
</context>
<context>
    <name>R58SubScreenControl</name>
    <message>
        <source>Motor</source>
        <translation>Motor</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>VORWÄRTS</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>RÜCKWÄRTS</translation>
    </message>
    <message>
        <source>MOTOR-STOP</source>
        <translation>MOTOR-STOPP</translation>
    </message>
    <message>
        <source>Softstart</source>
        <translation>Sanftanlauf</translation>
    </message>
    <message>
        <source>R58 Status:</source>
        <translation>R58-Status:</translation>
    </message>
</context>
<context>
    <name>R58SubScreenData</name>
    <message>
        <source>VOLTAGE</source>
        <translation>SPANNUNG</translation>
    </message>
    <message>
        <source>CURRENT</source>
        <translation>STROM</translation>
    </message>
    <message>
        <source>POWER</source>
        <translation>LEISTUNG</translation>
    </message>
    <message>
        <source>Voltage L1 - N</source>
        <translation>Spannung L1 - N</translation>
    </message>
    <message>
        <source>Voltage L2 - N</source>
        <translation>Spannung L2 - N</translation>
    </message>
    <message>
        <source>Voltage L3 - N</source>
        <translation>Spannung L3 - N</translation>
    </message>
    <message>
        <source>Current L1</source>
        <translation>Strom L1</translation>
    </message>
    <message>
        <source>Current L2</source>
        <translation>Strom L2</translation>
    </message>
    <message>
        <source>Current L3</source>
        <translation>Strom L3</translation>
    </message>
    <message>
        <source>Active Power</source>
        <translation>Wirkleistung</translation>
    </message>
    <message>
        <source>Reactive Power</source>
        <translation>Blindleistung</translation>
    </message>
    <message>
        <source>Apparent Power</source>
        <translation>Scheinleistung</translation>
    </message>
    <message>
        <source>Time window:</source>
        <translation>Zeitfenster:</translation>
    </message>
    <message>
        <source>PAUSE</source>
        <translation>ANHALTEN</translation>
    </message>
    <message>
        <source>RECORD…</source>
        <translation>AUFZEICHNEN…</translation>
    </message>
</context>
<context>
    <name>R58SubScreenDemo</name>
    <message>
        <source>Put the device into a state to show what it displays.</source>
        <translation>Versetzen Sie das Gerät in einen Zustand, um zu zeigen, was es anzeigt.</translation>
    </message>
    <message>
        <source>Operation Mode</source>
        <translation>Betriebsart</translation>
    </message>
    <message>
        <source>SHOW OPERATION MODE</source>
        <translation>BETRIEBSART ZEIGEN</translation>
    </message>
    <message>
        <source>Warning Handling</source>
        <translation>Warnungen</translation>
    </message>
    <message>
        <source>SHOW WARNING</source>
        <translation>WARNUNG ZEIGEN</translation>
    </message>
    <message>
        <source>Error Handling</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>SHOW ERROR</source>
        <translation>FEHLER ZEIGEN</translation>
    </message>
</context>
<context>
    <name>R58SubScreenInformation</name>
    <message>
        <source>ARTICLE NUMBER</source>
        <translation>ARTIKELNUMMER</translation>
    </message>
    <message>
        <source>SERIAL NUMBER</source>
        <translation>SERIENNUMMER</translation>
    </message>
    <message>
        <source>SOFTWARE-VERSION</source>
        <translation>SOFTWARE-VERSION</translation>
    </message>
    <message>
        <source>HARDWARE-REVISION</source>
        <translation>HARDWARE-REVISION</translation>
    </message>
    <message>
        <source>SEARCH FOR NEW FIRMWARE</source>
        <translation>NEUE FIRMWARE SUCHEN</translation>
    </message>
    <message>
        <source>START UPDATE</source>
        <translation>UPDATE STARTEN</translation>
    </message>
    <message>
        <source>EVENT HISTORY</source>
        <translation>EREIGNISVERLAUF</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Ereignis</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>EXPORT…</source>
        <translation>EXPORT…</translation>
    </message>
</context>
<context>
    <name>R58SubScreenService</name>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>Supported Commands</source>
        <translation>Unterstützte Befehle</translation>
    </message>
    <message>
        <source>Command Arguments</source>
        <translation>Befehlsargumente</translation>
    </message>
    <message>
        <source>Argument 1</source>
        <translation>Argument 1</translation>
    </message>
    <message>
        <source>Argument 2</source>
        <translation>Argument 2</translation>
    </message>
    <message>
        <source>Argument 3</source>
        <translation>Argument 3</translation>
    </message>
    <message>
        <source>Argument 4</source>
        <translation>Argument 4</translation>
    </message>
    <message>
        <source>Argument 5</source>
        <translation>Argument 5</translation>
    </message>
    <message>
        <source>EXECUTE COMMAND</source>
        <translation>BEFEHL AUSFÜHREN</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Software-Update</translation>
    </message>
    <message>
        <source>Filename:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Platform</source>
        <translation>Plattform</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>OPEN FILE</source>
        <translation>DATEI ÖFFNEN</translation>
    </message>
    <message>
        <source>START UPDATE</source>
        <translation>UPDATE STARTEN</translation>
    </message>
    <message>
        <source>Motor Control</source>
        <translation>Motorsteuerung</translation>
    </message>
    <message>
        <source>R58 Status:</source>
        <translation>R58-Status:</translation>
    </message>
    <message>
        <source>IDLE</source>
        <translation>LEERLAUF</translation>
    </message>
    <message>
        <source>FORWARD</source>
        <translation>VORWÄRTS</translation>
    </message>
    <message>
        <source>BACKWARD</source>
        <translation>RÜCKWÄRTS</translation>
    </message>
    <message>
        <source>Enable Log Output</source>
        <translation>Protokollausgabe aktivieren</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>LEEREN</translation>
    </message>
</context>
<context>
    <name>Records::DeviceHistory</name>
    <message>
        <source>Package %1</source>
        <translation>Paket %1</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Verbindung verloren</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Fault cleared</source>
        <translation>Störung behoben</translation>
    </message>
    <message>
        <source>Operating mode</source>
        <translation>Betriebsart</translation>
    </message>
    <message>
        <source>Setting written</source>
        <translation>Einstellung geschrieben</translation>
    </message>
    <message>
        <source>Settings imported</source>
        <translation>Einstellungen importiert</translation>
    </message>
    <message>
        <source>Factory reset</source>
        <translation>Auf Werkseinstellungen zurückgesetzt</translation>
    </message>
    <message>
        <source>Update started</source>
        <translation>Update gestartet</translation>
    </message>
    <message>
        <source>Update finished</source>
        <translation>Update abgeschlossen</translation>
    </message>
    <message>
        <source>Update failed</source>
        <translation>Update fehlgeschlagen</translation>
    </message>
    <message>
        <source>The history cannot be kept: %1 could not be written (%2).</source>
        <translation>Der Verlauf kann nicht gespeichert werden: %1 ließ sich nicht schreiben (%2).</translation>
    </message>
    <message>
        <source>%1: %2 → %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
    <message>
        <source>%1 (command line)</source>
        <translation>%1 (Befehlszeile)</translation>
    </message>
    <message>
        <source>Setting not applied</source>
        <translation>Einstellung nicht übernommen</translation>
    </message>
    <message>
        <source>%1: %2 was written, the device holds %3</source>
        <translation>%1: %2 wurde geschrieben, im Gerät steht %3</translation>
    </message>
    <message>
        <source>%1: %2 was written, the device did not confirm it</source>
        <translation>%1: %2 wurde geschrieben, das Gerät hat es nicht bestätigt</translation>
    </message>
</context>
<context>
    <name>Records::DeviceSnapshot</name>
    <message>
        <source>not reported by the device</source>
        <translation>vom Gerät nicht gemeldet</translation>
    </message>
    <message>
        <source>not measured</source>
        <translation>nicht gemessen</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>Inbetriebnahmebericht</translation>
    </message>
    <message>
        <source>Tool</source>
        <translation>Programm</translation>
    </message>
    <message>
        <source>Tool version</source>
        <translation>Programmversion</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Rolle</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>Motor</source>
        <translation>Motor</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Techniker</translation>
    </message>
    <message>
        <source>No fault, no warning</source>
        <translation>Kein Fehler, keine Warnung</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Produkt</translation>
    </message>
    <message>
        <source>Article number</source>
        <translation>Artikelnummer</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Software version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <source>Hardware revision</source>
        <translation>Hardware-Revision</translation>
    </message>
    <message>
        <source>Fault and warning state</source>
        <translation>Fehler- und Warnzustand</translation>
    </message>
    <message>
        <source>Protection settings</source>
        <translation>Schutzeinstellungen</translation>
    </message>
    <message>
        <source>Voltage %1</source>
        <translation>Spannung %1</translation>
    </message>
    <message>
        <source>Voltage %1-N</source>
        <translation>Spannung %1-N</translation>
    </message>
    <message>
        <source>Current %1</source>
        <translation>Strom %1</translation>
    </message>
    <message>
        <source>Active power</source>
        <translation>Wirkleistung</translation>
    </message>
    <message>
        <source>Reactive power</source>
        <translation>Blindleistung</translation>
    </message>
    <message>
        <source>Apparent power</source>
        <translation>Scheinleistung</translation>
    </message>
    <message>
        <source>Time of the snapshot</source>
        <translation>Zeitpunkt der Momentaufnahme</translation>
    </message>
    <message>
        <source>(measured %1)</source>
        <translation>(gemessen %1)</translation>
    </message>
    <message>
        <source>Measured values</source>
        <translation>Messwerte</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Signatures</source>
        <translation>Unterschriften</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Kunde</translation>
    </message>
    <message>
        <source>Place and date</source>
        <translation>Ort und Datum</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Unterschrift</translation>
    </message>
    <message>
        <source>Serial number %1</source>
        <translation>Seriennummer %1</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>Records::DisplayNames</name>
    <message>
        <source>Stopped</source>
        <translation>Gestoppt</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Rückwärts</translation>
    </message>
    <message>
        <source>Safety stop</source>
        <translation>Sicherheitshalt</translation>
    </message>
    <message>
        <source>Undervoltage Supply</source>
        <translation>Unterspannung Netz</translation>
    </message>
    <message>
        <source>Overvoltage Supply</source>
        <translation>Überspannung Netz</translation>
    </message>
    <message>
        <source>Communication Error</source>
        <translation>Kommunikationsfehler</translation>
    </message>
    <message>
        <source>Security Clearance</source>
        <translation>Sicherheitsfreigabe</translation>
    </message>
    <message>
        <source>Undervoltage Aux</source>
        <translation>Unterspannung Hilfsspannung</translation>
    </message>
    <message>
        <source>Overvoltage Aux</source>
        <translation>Überspannung Hilfsspannung</translation>
    </message>
    <message>
        <source>Phase Asymmetry</source>
        <translation>Phasenunsymmetrie</translation>
    </message>
    <message>
        <source>Overtemperature</source>
        <translation>Übertemperatur</translation>
    </message>
    <message>
        <source>Short Circuit</source>
        <translation>Kurzschluss</translation>
    </message>
    <message>
        <source>Undercurrent</source>
        <translation>Unterstrom</translation>
    </message>
    <message>
        <source>Device Error</source>
        <translation>Gerätefehler</translation>
    </message>
    <message>
        <source>Supply Loss</source>
        <translation>Netzausfall</translation>
    </message>
    <message>
        <source>Phase Loss</source>
        <translation>Phasenausfall</translation>
    </message>
    <message>
        <source>Device OK</source>
        <translation>Kein Fehler</translation>
    </message>
    <message>
        <source>Overload</source>
        <translation>Überlast</translation>
    </message>
</context>
<context>
    <name>Records::MeasurementCapture</name>
    <message>
        <source>Recording stopped: the device was disconnected.</source>
        <translation>Aufzeichnung beendet: Das Gerät wurde getrennt.</translation>
    </message>
    <message>
        <source>Recording stopped: %1 could not be written (%2).</source>
        <translation>Aufzeichnung beendet: %1 ließ sich nicht schreiben (%2).</translation>
    </message>
    <message>
        <source>%1 values were recorded to %2.</source>
        <translation>%1 Werte wurden in %2 aufgezeichnet.</translation>
    </message>
    <message>
        <source>The device has sent no values since %1: the recording goes on, and the gap is noted in the file.</source>
        <translation>Das Gerät sendet seit %1 keine Werte: Die Aufzeichnung läuft weiter, die Lücke wird in der Datei vermerkt.</translation>
    </message>
</context>
<context>
    <name>ReportDialog</name>
    <message>
        <source>Commissioning report</source>
        <translation>Inbetriebnahmebericht</translation>
    </message>
    <message>
        <source>e.g. pump 2, 4 kW, 400 V</source>
        <translation>z. B. Pumpe 2, 4 kW, 400 V</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>Motor</source>
        <translation>Motor</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Techniker</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Save PDF…</source>
        <translation>PDF speichern…</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>Drucken…</translation>
    </message>
    <message>
        <source>The report holds the device&apos;s identity, state, protection settings and measured values. Please add the details that only you know:</source>
        <translation>Der Bericht enthält Identität, Zustand, Schutzeinstellungen und Messwerte des Geräts. Bitte ergänzen Sie die Angaben, die nur Sie kennen:</translation>
    </message>
</context>
<context>
    <name>Service::R58::DeviceUpdate</name>
    <message>
        <source>The update was not started: the device&apos;s settings could not be backed up (%1).</source>
        <translation>Das Update wurde nicht gestartet: Die Einstellungen des Geräts konnten nicht gesichert werden (%1).</translation>
    </message>
    <message>
        <source>no serial number reported</source>
        <translation>keine Seriennummer gemeldet</translation>
    </message>
    <message>
        <source>%1: %2 before the update, %3 after it.</source>
        <translation>%1: %2 vor dem Update, %3 danach.</translation>
    </message>
    <message>
        <source>%1: %2 before the update; the device did not answer when asked for it.</source>
        <translation>%1: %2 vor dem Update; das Gerät hat auf die Abfrage nicht geantwortet.</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>abgelehnt</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>aktualisiert</translation>
    </message>
    <message>
        <source>updated, settings changed</source>
        <translation>aktualisiert, Einstellungen geändert</translation>
    </message>
</context>
<context>
    <name>Service::R58::PackageUpdateService</name>
    <message>
        <source>The update package &quot;%1&quot; could not be read.</source>
        <translation>Das Update-Paket „%1“ konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an update package: it holds no version.json.</source>
        <translation>„%1“ ist kein Update-Paket: Es enthält keine version.json.</translation>
    </message>
    <message>
        <source>The device is not connected: the update cannot start.</source>
        <translation>Das Gerät ist nicht verbunden: Das Update kann nicht starten.</translation>
    </message>
    <message>
        <source>Security Error! Wrong Digest</source>
        <translation>Sicherheitsfehler! Falscher Hashwert</translation>
    </message>
    <message>
        <source>The device was disconnected during the update. Connect it again, open the package and start the update once more.</source>
        <translation>Das Gerät wurde während des Updates getrennt. Schließen Sie es wieder an, öffnen Sie das Paket und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The device stopped asking for the update&apos;s data. Check the connection, open the package and start the update once more.</source>
        <translation>Das Gerät fordert keine Update-Daten mehr an. Prüfen Sie die Verbindung, öffnen Sie das Paket und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The package is damaged: &quot;%1&quot; is cut short or broken inside. Get the package again.</source>
        <translation>Das Paket ist beschädigt: „%1“ ist abgeschnitten oder im Inneren fehlerhaft. Beschaffen Sie das Paket erneut.</translation>
    </message>
    <message>
        <source>The package is damaged: &quot;%1&quot; does not hold &quot;%2&quot;, which its version.json names. Get the package again.</source>
        <translation>Das Paket ist beschädigt: „%1“ enthält „%2“ nicht, das seine version.json nennt. Beschaffen Sie das Paket erneut.</translation>
    </message>
    <message>
        <source>The package is damaged: &quot;%1&quot; holds no firmware image. Get the package again.</source>
        <translation>Das Paket ist beschädigt: „%1“ enthält kein Firmware-Image. Beschaffen Sie das Paket erneut.</translation>
    </message>
    <message>
        <source>The package is damaged: the version.json of &quot;%1&quot; gives no platform version. Get the package again.</source>
        <translation>Das Paket ist beschädigt: Die version.json von „%1“ nennt keine Plattformversion. Beschaffen Sie das Paket erneut.</translation>
    </message>
    <message>
        <source>Another update is running on this device. Wait until it has ended, then start the package update.</source>
        <translation>Auf diesem Gerät läuft bereits ein Update. Warten Sie, bis es beendet ist, und starten Sie dann das Paket-Update.</translation>
    </message>
    <message>
        <source>The device&apos;s port could not be opened after it was sent to its boot loader. Check the cable, unplug the device and plug it in again, then open the package and start the update once more.</source>
        <translation>Der Anschluss des Geräts konnte nicht geöffnet werden, nachdem es in seinen Bootloader geschickt wurde. Prüfen Sie das Kabel, trennen Sie das Gerät und schließen Sie es wieder an, öffnen Sie dann das Paket und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The platform did not take the update: after the restart it reports version %1, the package holds %2. Open the package and start the update once more.</source>
        <translation>Die Plattform hat das Update nicht übernommen: Nach dem Neustart meldet sie Version %1, das Paket enthält %2. Öffnen Sie das Paket und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The device did not start asking for the update&apos;s data. Check the connection, open the package and start the update once more.</source>
        <translation>Das Gerät hat nicht begonnen, die Daten des Updates anzufordern. Prüfen Sie die Verbindung, öffnen Sie das Paket und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The device did not come back after its restart. Check the cable, unplug the device and plug it in again, then open the package and start the update once more.</source>
        <translation>Das Gerät ist nach seinem Neustart nicht zurückgekehrt. Prüfen Sie das Kabel, trennen Sie das Gerät und schließen Sie es wieder an, öffnen Sie dann das Paket und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The device did not report its platform version after the restart, so the update cannot be confirmed. Open the package and start the update once more.</source>
        <translation>Das Gerät hat nach dem Neustart seine Plattformversion nicht gemeldet, daher kann das Update nicht bestätigt werden. Öffnen Sie das Paket und starten Sie das Update erneut.</translation>
    </message>
</context>
<context>
    <name>Service::R58::SingleImageUpdate</name>
    <message>
        <source>Security Error! Wrong Digest</source>
        <translation>Sicherheitsfehler! Falscher Hashwert</translation>
    </message>
    <message>
        <source>Update refused: %1</source>
        <translation>Update abgelehnt: %1</translation>
    </message>
    <message>
        <source>The device was disconnected during the update. Connect it again and start the update once more.</source>
        <translation>Das Gerät wurde während des Updates getrennt. Schließen Sie es wieder an und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The device did not start asking for the update&apos;s data. Check the connection and start the update once more.</source>
        <translation>Das Gerät hat nicht begonnen, die Daten des Updates anzufordern. Prüfen Sie die Verbindung und starten Sie das Update erneut.</translation>
    </message>
    <message>
        <source>The device stopped asking for the update&apos;s data. Check the connection and start the update once more.</source>
        <translation>Das Gerät fordert keine Daten des Updates mehr an. Prüfen Sie die Verbindung und starten Sie das Update erneut.</translation>
    </message>
</context>
<context>
    <name>Service::R58::UpdateControlService</name>
    <message>
        <source>The image&apos;s length field does not match its content.</source>
        <translation>Das Längenfeld des Images passt nicht zu seinem Inhalt.</translation>
    </message>
    <message>
        <source>The image is empty.</source>
        <translation>Das Image ist leer.</translation>
    </message>
    <message>
        <source>The image is too large: it needs %1 blocks, the device takes at most %2.</source>
        <translation>Das Image ist zu groß: Es braucht %1 Blöcke, das Gerät nimmt höchstens %2 an.</translation>
    </message>
    <message>
        <source>An image can only go to the platform or the display processor.</source>
        <translation>Ein Image kann nur an den Plattform- oder den Displayprozessor gehen.</translation>
    </message>
</context>
<context>
    <name>Service::R58::UpdatePolicy</name>
    <message>
        <source>This role may not update devices.</source>
        <translation>Diese Rolle darf keine Geräte aktualisieren.</translation>
    </message>
    <message>
        <source>The device has not reported its firmware version.</source>
        <translation>Das Gerät hat seine Firmwareversion nicht gemeldet.</translation>
    </message>
    <message>
        <source>Software downgrade is not allowed!</source>
        <translation>Ein Software-Downgrade ist nicht erlaubt!</translation>
    </message>
    <message>
        <source>The motor is running: stop it before updating.</source>
        <translation>Der Motor läuft: Halten Sie ihn vor dem Update an.</translation>
    </message>
    <message>
        <source>The device has not reported whether its motor is running.</source>
        <translation>Das Gerät hat nicht gemeldet, ob sein Motor läuft.</translation>
    </message>
</context>
<context>
    <name>ServiceLog</name>
    <message>
        <source>Send: </source>
        <translation>Send: </translation>
    </message>
    <message>
        <source>Receive: </source>
        <translation>Receive: </translation>
    </message>
</context>
<context>
    <name>SettingsBackups</name>
    <message>
        <source>before a factory reset</source>
        <translation>vor einem Zurücksetzen auf Werkseinstellungen</translation>
    </message>
    <message>
        <source>before an import</source>
        <translation>vor einem Import</translation>
    </message>
    <message>
        <source>before a firmware update</source>
        <translation>vor einem Firmware-Update</translation>
    </message>
    <message>
        <source>%1 could not be created</source>
        <translation>%1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1 could not be written</source>
        <translation>%1 konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>on request</source>
        <translation>auf Anforderung</translation>
    </message>
</context>
<context>
    <name>SettingsDocument</name>
    <message>
        <source>%1 could not be read.</source>
        <translation>%1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 holds no device settings.</source>
        <translation>%1 enthält keine Geräteeinstellungen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2, which is no value of that setting.</source>
        <translation>„%1“ enthält %2, keinen Wert dieser Einstellung.</translation>
    </message>
    <message>
        <source>The settings could not be written to %1.</source>
        <translation>Die Einstellungen konnten nicht nach %1 geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>SettingsEditor</name>
    <message>
        <source>JSON Files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>SPEICHERN</translation>
    </message>
    <message>
        <source>SAVE AS…</source>
        <translation>SPEICHERN UNTER…</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>SCHLIESSEN</translation>
    </message>
    <message>
        <source>The file holds %1, which this field cannot show.</source>
        <translation>Die Datei enthält %1, was dieses Feld nicht anzeigen kann.</translation>
    </message>
    <message>
        <source>The file holds %1, outside %2 to %3 that a %4 takes.</source>
        <translation>Die Datei enthält %1, außerhalb von %2 bis %3, die ein %4 annimmt.</translation>
    </message>
    <message>
        <source>The file holds %1, which a %2 does not offer.</source>
        <translation>Die Datei enthält %1, was ein %2 nicht anbietet.</translation>
    </message>
    <message>
        <source>%1: %2 is outside %3 to %4; not taken.</source>
        <translation>%1: %2 liegt außerhalb von %3 bis %4; nicht übernommen.</translation>
    </message>
    <message>
        <source>%1 lowered to %2.</source>
        <translation>%1 auf %2 gesenkt.</translation>
    </message>
    <message>
        <source>No threshold may exceed the nominal current: %1</source>
        <translation>Keine Schwelle darf über dem Nennstrom liegen: %1</translation>
    </message>
    <message>
        <source>Outside the limits of a %1: %2</source>
        <translation>Außerhalb der Grenzen eines %1: %2</translation>
    </message>
    <message>
        <source>New settings file</source>
        <translation>Neue Einstellungsdatei</translation>
    </message>
    <message>
        <source>%1 for %2</source>
        <translation>%1 für %2</translation>
    </message>
    <message>
        <source>(made for %1)</source>
        <translation>(erstellt für %1)</translation>
    </message>
    <message>
        <source>%1 – %2[*]</source>
        <translation>%1 – %2[*]</translation>
    </message>
    <message>
        <source>Save settings file</source>
        <translation>Einstellungsdatei speichern</translation>
    </message>
    <message>
        <source>%1 is in the folder of the tool&apos;s backups, which only the backups are written to. Nothing was saved; choose another folder.</source>
        <translation>%1 liegt im Ordner der Sicherungen des Programms, in den nur die Sicherungen geschrieben werden. Es wurde nichts gespeichert; wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>Nach %1 gespeichert.</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Nicht gespeicherte Änderungen</translation>
    </message>
    <message>
        <source>The settings file has changes that are not saved. Save them first?</source>
        <translation>Die Einstellungsdatei hat Änderungen, die nicht gespeichert sind. Möchten Sie sie zuerst speichern?</translation>
    </message>
    <message>
        <source>The device model the settings are for:</source>
        <translation>Das Gerätemodell, für das die Einstellungen gelten:</translation>
    </message>
    <message>
        <source>The file was made for %1. The device model the settings are for:</source>
        <translation>Die Datei wurde für %1 erstellt. Das Gerätemodell, für das die Einstellungen gelten:</translation>
    </message>
    <message>
        <source>The file was made for %1, a model this program does not know. The device model the settings are for:</source>
        <translation>Die Datei wurde für %1 erstellt, ein Modell, das dieses Programm nicht kennt. Das Gerätemodell, für das die Einstellungen gelten:</translation>
    </message>
    <message>
        <source>Device model</source>
        <translation>Gerätemodell</translation>
    </message>
    <message>
        <source>Open settings file</source>
        <translation>Einstellungsdatei öffnen</translation>
    </message>
    <message>
        <source>NEW SETTINGS FILE…</source>
        <translation>NEUE EINSTELLUNGSDATEI…</translation>
    </message>
    <message>
        <source>OPEN SETTINGS FILE…</source>
        <translation>EINSTELLUNGSDATEI ÖFFNEN…</translation>
    </message>
    <message>
        <source>New settings file…</source>
        <translation>Neue Einstellungsdatei…</translation>
    </message>
    <message>
        <source>Open settings file…</source>
        <translation>Einstellungsdatei öffnen…</translation>
    </message>
</context>
<context>
    <name>SettingsImport</name>
    <message>
        <source>%1 could not be read.</source>
        <translation>%1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 holds no device settings.</source>
        <translation>%1 enthält keine Geräteeinstellungen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds %2, which is no value of that setting.</source>
        <translation>„%1“ enthält %2, was kein Wert dieser Einstellung ist.</translation>
    </message>
</context>
<context>
    <name>SettingsMapper</name>
    <message>
        <source>Trip class</source>
        <translation>Auslöseklasse</translation>
    </message>
    <message>
        <source>Nominal current</source>
        <translation>Nennstrom</translation>
    </message>
    <message>
        <source>Automatic reset</source>
        <translation>Automatischer Reset</translation>
    </message>
    <message>
        <source>Undercurrent monitoring</source>
        <translation>Unterstromüberwachung</translation>
    </message>
    <message>
        <source>Undercurrent threshold</source>
        <translation>Unterstromschwelle</translation>
    </message>
    <message>
        <source>Undercurrent fault type</source>
        <translation>Unterstrom-Fehlerart</translation>
    </message>
    <message>
        <source>Undervoltage monitoring</source>
        <translation>Unterspannungsüberwachung</translation>
    </message>
    <message>
        <source>Undervoltage threshold</source>
        <translation>Unterspannungsschwelle</translation>
    </message>
    <message>
        <source>Undervoltage fault type</source>
        <translation>Unterspannungs-Fehlerart</translation>
    </message>
    <message>
        <source>Overvoltage monitoring</source>
        <translation>Überspannungsüberwachung</translation>
    </message>
    <message>
        <source>Overvoltage threshold</source>
        <translation>Überspannungsschwelle</translation>
    </message>
    <message>
        <source>Overvoltage fault type</source>
        <translation>Überspannungs-Fehlerart</translation>
    </message>
    <message>
        <source>Soft start</source>
        <translation>Sanftanlauf</translation>
    </message>
    <message>
        <source>Load asymmetry monitoring</source>
        <translation>Lastasymmetrieüberwachung</translation>
    </message>
    <message>
        <source>Load asymmetry threshold</source>
        <translation>Lastasymmetrieschwelle</translation>
    </message>
    <message>
        <source>Load asymmetry fault type</source>
        <translation>Lastasymmetrie-Fehlerart</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>%1: %2 is outside %3 to %4.</source>
        <translation>%1: %2 liegt außerhalb von %3 bis %4.</translation>
    </message>
    <message>
        <source>%1: %2 is no value of this setting.</source>
        <translation>%1: %2 ist kein Wert dieser Einstellung.</translation>
    </message>
</context>
<context>
    <name>SettingsVerifier</name>
    <message>
        <source>%1: %2 was written, the device holds %3.</source>
        <translation>%1: %2 wurde geschrieben, im Gerät steht %3.</translation>
    </message>
    <message>
        <source>%1: %2 was written, the device did not answer when asked for it.</source>
        <translation>%1: %2 wurde geschrieben, das Gerät hat auf die Nachfrage nicht geantwortet.</translation>
    </message>
</context>
<context>
    <name>TrendPlot</name>
    <message>
        <source>Voltage (V)</source>
        <translation>Spannung (V)</translation>
    </message>
    <message>
        <source>Current (A)</source>
        <translation>Strom (A)</translation>
    </message>
    <message>
        <source>now</source>
        <translation>jetzt</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Power (kW, kVAr, kVA)</source>
        <translation>Leistung (kW, kVAr, kVA)</translation>
    </message>
</context>
<context>
    <name>UpdateAllDialog</name>
    <message>
        <source>Update all devices</source>
        <translation>Alle Geräte aktualisieren</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nachher</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Save summary…</source>
        <translation>Zusammenfassung speichern…</translation>
    </message>
    <message>
        <source>Updating %1…</source>
        <translation>%1 wird aktualisiert…</translation>
    </message>
    <message>
        <source>Every device has had its turn.</source>
        <translation>Jedes Gerät war an der Reihe.</translation>
    </message>
    <message>
        <source>The package applies to %1 of %2 devices.</source>
        <translation>Das Paket passt zu %1 von %2 Geräten.</translation>
    </message>
    <message>
        <source>applies</source>
        <translation>passt</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Save summary</source>
        <translation>Zusammenfassung speichern</translation>
    </message>
    <message>
        <source>update summary.csv</source>
        <translation>Update-Zusammenfassung.csv</translation>
    </message>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>The summary could not be written to %1: %2.</source>
        <translation>Die Zusammenfassung konnte nicht nach %1 geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Summary saved to %1.</source>
        <translation>Zusammenfassung nach %1 gespeichert.</translation>
    </message>
</context>
<context>
    <name>WelcomeScreen</name>
    <message>
        <source>VELOR®R58 VizorevAvuv</source>
        <translation>VELOR®R58 VizorevAvuv</translation>
    </message>
    <message>
        <source>Please select</source>
        <translation>Bitte auswählen</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Kunde</translation>
    </message>
    <message>
        <source>Supervisor</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>Admin</source>
        <translation>Admin</translation>
    </message>
    <message>
        <source>Demo</source>
        <translation>Demo</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Save password</source>
        <translation>Passwort speichern</translation>
    </message>
    <message>
        <source>Password not saved</source>
        <translation>Passwort nicht gespeichert</translation>
    </message>
    <message>
        <source>The password could not be saved in %1. You are logged in; next time the password must be typed again.</source>
        <translation>Das Passwort konnte nicht in %1 gespeichert werden. Sie sind angemeldet; beim nächsten Mal muss das Passwort erneut eingegeben werden.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>VELOR®R58 VizorevAvuv with simulated devices in place of hardware.</source>
        <translation>VELOR®R58 VizorevAvuv mit simulierten Geräten anstelle von Hardware.</translation>
    </message>
    <message>
        <source>Number of simulated devices, 0 to %1 (default 1).</source>
        <translation>Anzahl der simulierten Geräte, 0 bis %1 (Vorgabe 1).</translation>
    </message>
    <message>
        <source>--devices takes a whole number from 0 to %1
</source>
        <translation>--devices erwartet eine ganze Zahl von 0 bis %1
</translation>
    </message>
    <message>
        <source>cannot create a folder for the simulated ports
</source>
        <translation>Ordner für die simulierten Schnittstellen kann nicht angelegt werden
</translation>
    </message>
    <message>
        <source>Service tool for VELOR®R58 devices.</source>
        <translation>Service-Werkzeug für VELOR®R58-Geräte.</translation>
    </message>
    <message>
        <source>Also watch this serial port, whatever its USB identity (a USB-serial adapter, or a pseudo-terminal forwarded by socat or ser2net). May be given more than once.</source>
        <translation>Diese serielle Schnittstelle zusätzlich überwachen, unabhängig von ihrer USB-Kennung (ein USB-Seriell-Adapter oder ein von socat oder ser2net weitergeleitetes Pseudo-Terminal). Kann mehrfach angegeben werden.</translation>
    </message>
</context>
</TS>
