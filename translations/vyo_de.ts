<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Alert</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>BarButtonItem</name>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
</context>
<context>
    <name>CameraDetailView</name>
    <message>
        <source>Copy To Group</source>
        <translation>In Gruppe kopieren</translation>
    </message>
    <message>
        <source>Camera Certificate</source>
        <translation>Kamerazertifikat</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>PTZ Enabled</source>
        <translation>PTZ aktiviert</translation>
    </message>
    <message>
        <source>PTZ Type</source>
        <translation>PTZ-Typ</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
    <message>
        <source>Certificate</source>
        <translation>Zertifikat</translation>
    </message>
    <message>
        <source>Not Trusted</source>
        <translation>Nicht vertraut</translation>
    </message>
    <message>
        <source>Trusted</source>
        <translation>Vertraut</translation>
    </message>
    <message>
        <source>Enter the camera&apos;s host first.</source>
        <translation>Bitte zuerst den Host der Kamera eingeben.</translation>
    </message>
    <message>
        <source>This camera is trusted.</source>
        <translation>Dieser Kamera wird vertraut.</translation>
    </message>
    <message>
        <source>This is not the certificate trusted before. Trust it only if the camera was given a new one.</source>
        <translation>Dies ist nicht das zuvor vertraute Zertifikat. Vertrauen Sie ihm nur, wenn die Kamera ein neues erhalten hat.</translation>
    </message>
    <message>
        <source>Compare it with the fingerprint the camera shows on its own pages.</source>
        <translation>Vergleichen Sie ihn mit dem Fingerabdruck, den die Kamera auf ihren eigenen Seiten zeigt.</translation>
    </message>
    <message>
        <source>Trust This Camera</source>
        <translation>Dieser Kamera vertrauen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cannot Save</source>
        <translation>Sichern nicht möglich</translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation>unbenannt</translation>
    </message>
</context>
<context>
    <name>CameraFormCheck</name>
    <message>
        <source>Enter the camera&apos;s address in &quot;%1&quot;.</source>
        <translation>Bitte die Adresse der Kamera unter „%1“ eingeben.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a number from 1 to 65535.</source>
        <translation>„%1“ muss eine Zahl von 1 bis 65535 sein.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a number of frames per second, such as 5.</source>
        <translation>„%1“ muss eine Anzahl Bilder pro Sekunde sein, etwa 5.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a width and a height, such as 640x480.</source>
        <translation>„%1“ muss Breite und Höhe angeben, etwa 640x480.</translation>
    </message>
</context>
<context>
    <name>CameraState</name>
    <message>
        <source>Connecting…</source>
        <translation>Verbinde…</translation>
    </message>
    <message>
        <source>Camera unreachable</source>
        <translation>Kamera nicht erreichbar</translation>
    </message>
    <message>
        <source>Wrong user name or password</source>
        <translation>Falscher Benutzername oder falsches Passwort</translation>
    </message>
    <message>
        <source>Not found on the camera</source>
        <translation>Auf der Kamera nicht gefunden</translation>
    </message>
    <message>
        <source>No picture for %1 s</source>
        <translation>Seit %1 s kein Bild</translation>
    </message>
    <message>
        <source>Not a video stream</source>
        <translation>Kein Videostrom</translation>
    </message>
    <message>
        <source>Untrusted certificate</source>
        <translation>Nicht vertrautes Zertifikat</translation>
    </message>
    <message>
        <source>Certificate changed</source>
        <translation>Zertifikat geändert</translation>
    </message>
</context>
<context>
    <name>CertificateProbe</name>
    <message>
        <source>The camera did not answer within %1 seconds.</source>
        <translation>Die Kamera hat nicht innerhalb von %1 Sekunden geantwortet.</translation>
    </message>
    <message>
        <source>The camera presented no certificate.</source>
        <translation>Die Kamera hat kein Zertifikat vorgelegt.</translation>
    </message>
</context>
<context>
    <name>DebugSettingsView</name>
    <message>
        <source>Debug</source>
        <translation>Fehlersuche</translation>
    </message>
    <message>
        <source>Show FPS</source>
        <translation>Bilder/s anzeigen</translation>
    </message>
    <message>
        <source>Hardware Decoding</source>
        <translation>Hardware-Dekodierung</translation>
    </message>
</context>
<context>
    <name>FormChoice</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsView</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>UID: %1</source>
        <translation>UID: %1</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>Registration</source>
        <translation>Registrierung</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Fehlersuche</translation>
    </message>
    <message>
        <source>Settings PIN</source>
        <translation>PIN für die Einstellungen</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>New Settings PIN</source>
        <translation>Neue PIN für die Einstellungen</translation>
    </message>
    <message>
        <source>Leave it empty for none.</source>
        <translation>Leer lassen für keine.</translation>
    </message>
    <message>
        <source>Enter it again.</source>
        <translation>Bitte noch einmal eingeben.</translation>
    </message>
    <message>
        <source>The two did not match. Enter the new PIN.</source>
        <translation>Die beiden stimmen nicht überein. Neue PIN eingeben.</translation>
    </message>
</context>
<context>
    <name>GroupChooserView</name>
    <message>
        <source>Select Group</source>
        <translation>Gruppe wählen</translation>
    </message>
</context>
<context>
    <name>GroupListView</name>
    <message>
        <source>Groups</source>
        <translation>Gruppen</translation>
    </message>
    <message>
        <source>no groups defined</source>
        <translation>keine Gruppen angelegt</translation>
    </message>
    <message>
        <source>add new group...</source>
        <translation>neue Gruppe hinzufügen…</translation>
    </message>
</context>
<context>
    <name>GroupStore</name>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>GroupViewController</name>
    <message>
        <source>Email Camera Definitions</source>
        <translation>Kameradefinitionen mailen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle wählen</translation>
    </message>
    <message>
        <source>Deselect All</source>
        <translation>Keine wählen</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>no cameras defined</source>
        <translation>keine Kameras angelegt</translation>
    </message>
    <message>
        <source>add new camera...</source>
        <translation>neue Kamera hinzufügen…</translation>
    </message>
    <message>
        <source>Cameras</source>
        <translation>Kameras</translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation>unbenannt</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Turn Pages Every</source>
        <translation>Seiten weiterblättern alle</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>IdleTimer</name>
    <message>
        <source>Watching cameras</source>
        <translation>Kameras werden beobachtet</translation>
    </message>
</context>
<context>
    <name>MultiPageScrollerView</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>NavigationBar</name>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>OnvifFormSupport</name>
    <message>
        <source>The host and port make no camera address.</source>
        <translation>Host und Port ergeben keine Kameraadresse.</translation>
    </message>
    <message>
        <source>Wrong User Name or Password</source>
        <translation>Falscher Benutzername oder falsches Passwort</translation>
    </message>
    <message>
        <source>The camera refused the user name or password. Check them and try again.</source>
        <translation>Die Kamera hat Benutzername oder Passwort abgelehnt. Bitte prüfen und erneut versuchen.</translation>
    </message>
    <message>
        <source>Camera Not Reached</source>
        <translation>Kamera nicht erreicht</translation>
    </message>
    <message>
        <source>The camera did not answer as an ONVIF device (%1). Save it anyway? Its streams are looked up when it plays.</source>
        <translation>Die Kamera hat nicht als ONVIF-Gerät geantwortet (%1). Trotzdem sichern? Ihre Streams werden beim Abspielen ermittelt.</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Trotzdem sichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The camera did not answer as an ONVIF device (%1).</source>
        <translation>Die Kamera hat nicht als ONVIF-Gerät geantwortet (%1).</translation>
    </message>
    <message>
        <source>Main Stream</source>
        <translation>Hauptstream</translation>
    </message>
    <message>
        <source>Grid Stream</source>
        <translation>Rasterstream</translation>
    </message>
</context>
<context>
    <name>OnvifPTZController</name>
    <message>
        <source>This camera keeps no presets.</source>
        <translation>Diese Kamera speichert keine Positionen.</translation>
    </message>
    <message>
        <source>The camera refused the user name or password.</source>
        <translation>Die Kamera hat Benutzername oder Passwort abgelehnt.</translation>
    </message>
    <message>
        <source>The camera did not answer.</source>
        <translation>Die Kamera hat nicht geantwortet.</translation>
    </message>
</context>
<context>
    <name>OnvifPTZProfile</name>
    <message>
        <source>ONVIF</source>
        <translation>ONVIF</translation>
    </message>
</context>
<context>
    <name>OpenURLHandler</name>
    <message>
        <source>camera</source>
        <translation>Kamera</translation>
    </message>
    <message>
        <source>group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>adhoc camera</source>
        <translation>Ad-hoc-Kamera</translation>
    </message>
    <message>
        <source>The %1 definition you received could not be read.</source>
        <translation>Die empfangene Definition (%1) konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The adhoc camera definition you received%1 has expired.</source>
        <translation>Die empfangene Ad-hoc-Kameradefinition%1 ist abgelaufen.</translation>
    </message>
    <message>
        <source>The adhoc camera definition you received%1 is restricted, and cannot be displayed on this device.</source>
        <translation>Die empfangene Ad-hoc-Kameradefinition%1 ist eingeschränkt und kann auf diesem Gerät nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>Received a New Camera Definition</source>
        <translation>Neue Kameradefinition empfangen</translation>
    </message>
    <message>
        <source>Add To a Group</source>
        <translation>Zu einer Gruppe hinzufügen</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Received a New Group Definition</source>
        <translation>Neue Gruppendefinition empfangen</translation>
    </message>
    <message>
        <source>Add As a New Group</source>
        <translation>Als neue Gruppe hinzufügen</translation>
    </message>
    <message>
        <source>Add To an Existing Group</source>
        <translation>Zu einer bestehenden Gruppe hinzufügen</translation>
    </message>
    <message>
        <source>Received an AdHoc Camera Definition</source>
        <translation>Ad-hoc-Kameradefinition empfangen</translation>
    </message>
    <message>
        <source>View Now</source>
        <translation>Jetzt ansehen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>Camera Import Error</source>
        <translation>Fehler beim Kameraimport</translation>
    </message>
</context>
<context>
    <name>PTZChooserView</name>
    <message>
        <source>PTZ Type</source>
        <translation>PTZ-Typ</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
</context>
<context>
    <name>PTZProfile</name>
    <message>
        <source>PTZ Control Options</source>
        <translation>PTZ-Steuerung</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Serial ID</source>
        <translation>Serielle ID</translation>
    </message>
    <message>
        <source>Camera Number</source>
        <translation>Kameranummer</translation>
    </message>
</context>
<context>
    <name>PinPad</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>PresetsMenu</name>
    <message>
        <source>Presets</source>
        <translation>Positionen</translation>
    </message>
    <message>
        <source>No presets yet</source>
        <translation>Noch keine Positionen</translation>
    </message>
    <message>
        <source>Save Current Position...</source>
        <translation>Aktuelle Position sichern…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save Current Position</source>
        <translation>Aktuelle Position sichern</translation>
    </message>
    <message>
        <source>Name the preset.</source>
        <translation>Geben Sie der Position einen Namen.</translation>
    </message>
    <message>
        <source>Preset name</source>
        <translation>Name der Position</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
</context>
<context>
    <name>ProtocolChooserView</name>
    <message>
        <source>Video Source</source>
        <translation>Videoquelle</translation>
    </message>
    <message>
        <source>Standalone Camera</source>
        <translation>Einzelne Kamera</translation>
    </message>
    <message>
        <source>Video Server</source>
        <translation>Videoserver</translation>
    </message>
</context>
<context>
    <name>RegistrationView</name>
    <message>
        <source>%1 Registration</source>
        <translation>%1 registrieren</translation>
    </message>
    <message>
        <source>Receive Updates</source>
        <translation>Neuigkeiten erhalten</translation>
    </message>
    <message>
        <source>Contact Information</source>
        <translation>Kontaktdaten</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>John</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>Smith</source>
        <translation>Mustermann</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>We encourage you to register this product so that we can notify you of important updates.</source>
        <translation>Bitte registrieren Sie dieses Produkt, damit wir Sie über wichtige Aktualisierungen informieren können.</translation>
    </message>
    <message>
        <source>Missing Information</source>
        <translation>Fehlende Angaben</translation>
    </message>
    <message>
        <source>Please complete all fields.</source>
        <translation>Bitte alle Felder ausfüllen.</translation>
    </message>
</context>
<context>
    <name>SettingsViewController</name>
    <message>
        <source>Groups</source>
        <translation>Gruppen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Auto-Detected Cameras</source>
        <translation>Im Netz gefunden</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Show Detected Cameras</source>
        <translation>Kameras im Netz</translation>
    </message>
    <message>
        <source>no cameras detected</source>
        <translation>keine Kameras gefunden</translation>
    </message>
    <message>
        <source>ONVIF</source>
        <translation>ONVIF</translation>
    </message>
</context>
<context>
    <name>SingleView</name>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Save a snapshot</source>
        <translation>Schnappschuss sichern</translation>
    </message>
    <message>
        <source>Trust This Camera</source>
        <translation>Dieser Kamera vertrauen</translation>
    </message>
    <message>
        <source>Captured by Vyo: %1 - %2</source>
        <translation>Aufgenommen mit Vyo: %1 - %2</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Saved to Pictures/Vyo</source>
        <translation>In Bilder/Vyo gesichert</translation>
    </message>
    <message>
        <source>No picture to save</source>
        <translation>Kein Bild zum Sichern</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Nicht gesichert: %1</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Positionen</translation>
    </message>
    <message>
        <source>Steer</source>
        <translation>Steuern</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
</context>
<context>
    <name>Switch</name>
    <message>
        <source>ON</source>
        <translation>EIN</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>AUS</translation>
    </message>
</context>
<context>
    <name>TableViewCell</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>VideoProfile</name>
    <message>
        <source>Video Options</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Camera Number</source>
        <translation>Kameranummer</translation>
    </message>
    <message>
        <source>Extended Video Options</source>
        <translation>Erweiterte Videooptionen</translation>
    </message>
    <message>
        <source>Generic - Motion JPEG</source>
        <translation>Allgemein - Motion JPEG</translation>
    </message>
    <message>
        <source>Supports VAPIX</source>
        <translation>Unterstützt VAPIX</translation>
    </message>
    <message>
        <source>Server Options</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>Kamera</translation>
    </message>
    <message>
        <source>camera name</source>
        <translation>Kameraname</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Stream path</source>
        <translation>Stream-Pfad</translation>
    </message>
    <message>
        <source>Grid stream path</source>
        <translation>Stream-Pfad im Raster</translation>
    </message>
    <message>
        <source>Transport</source>
        <translation>Transport</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>Frames/Second</source>
        <translation>Bilder/Sekunde</translation>
    </message>
    <message>
        <source>Compression</source>
        <translation>Kompression</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Chosen on saving</source>
        <translation>Wird beim Sichern gewählt</translation>
    </message>
    <message>
        <source>ONVIF - any maker</source>
        <translation>ONVIF - jeder Hersteller</translation>
    </message>
    <message>
        <source>Streams</source>
        <translation>Streams</translation>
    </message>
    <message>
        <source>Main stream</source>
        <translation>Hauptstream</translation>
    </message>
    <message>
        <source>Grid stream</source>
        <translation>Rasterstream</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
</context>
<context>
    <name>VyoAppDelegate</name>
    <message>
        <source>Camera Groups</source>
        <translation>Kameragruppen</translation>
    </message>
    <message>
        <source>Your camera groups could not be read. A copy was kept as %1.</source>
        <translation>Ihre Kameragruppen konnten nicht gelesen werden. Eine Kopie wurde als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>Settings PIN</source>
        <translation>PIN für die Einstellungen</translation>
    </message>
    <message>
        <source>Wrong PIN</source>
        <translation>Falsche PIN</translation>
    </message>
</context>
</TS>
