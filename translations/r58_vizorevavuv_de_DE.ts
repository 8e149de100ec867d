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
        <source>Access for the logged-in user comes with the package&apos;s udev rule: install the package, then unplug the device and plug it in again. Alternatively add the user to the &quot;dialout&quot; group (sudo usermod -aG dialout $USER) and log in again. A port that another program holds must be closed there first.</source>
        <translation>Den Zugriff für den angemeldeten Benutzer gibt die udev-Regel des Pakets: Paket installieren, dann das Gerät abziehen und wieder anstecken. Alternativ den Benutzer in die Gruppe „dialout“ aufnehmen (sudo usermod -aG dialout $USER) und neu anmelden. Belegt ein anderes Programm die Schnittstelle, muss sie dort zuerst geschlossen werden.</translation>
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
</context>
</TS>
