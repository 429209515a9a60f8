<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>AppDelegate</name>
    <message>
        <source>Test-Ereignis anzeigen</source>
        <translation>Show Test Event</translation>
    </message>
    <message>
        <source>Einstellungen …</source>
        <translation>Settings …</translation>
    </message>
    <message>
        <source>Nach Updates suchen …</source>
        <translation>Check for Updates …</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Tests bestanden · main</source>
        <translation>Tests passed · main</translation>
    </message>
    <message>
        <source>Tarnlet: Kein Infobereich (System Tray) gefunden – ein Rechtsklick auf das Overlay öffnet das Menü.</source>
        <translation>Tarnlet: No status area (system tray) found – right-click the overlay to open the menu.</translation>
    </message>
    <message>
        <source>Meldungen pausieren</source>
        <translation>Pause news</translation>
    </message>
    <message>
        <source>Meldungen fortsetzen (pausiert bis %1)</source>
        <translation>Resume news (paused until %1)</translation>
    </message>
    <message>
        <source>Meldungen fortsetzen</source>
        <translation>Resume news</translation>
    </message>
    <message>
        <source>1 Stunde</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>Bis morgen früh</source>
        <translation>Until tomorrow morning</translation>
    </message>
    <message>
        <source>Bis ich fortsetze</source>
        <translation>Until I resume</translation>
    </message>
</context>
<context>
    <name>BusService</name>
    <message>
        <source>Keinen Bereich „%1“ in den Einstellungen gefunden.</source>
        <translation>No pane “%1” in the settings.</translation>
    </message>
    <message>
        <source>Unbekannte Pause „%1“: möglich sind 1h, morning und indefinitely.</source>
        <translation>Unknown pause “%1”: use 1h, morning or indefinitely.</translation>
    </message>
</context>
<context>
    <name>CCTrayFailure</name>
    <message>
        <source>Server nicht erreichbar.</source>
        <translation>Server not reachable.</translation>
    </message>
    <message>
        <source>Der Server antwortet nicht.</source>
        <translation>The server does not answer.</translation>
    </message>
    <message>
        <source>Der Server verweigert den Zugang (HTTP %1).</source>
        <translation>The server refuses access (HTTP %1).</translation>
    </message>
    <message>
        <source>Kein Feed unter dieser Adresse (HTTP 404).</source>
        <translation>No feed at this address (HTTP 404).</translation>
    </message>
    <message>
        <source>Der Server antwortet mit HTTP %1.</source>
        <translation>The server answers with HTTP %1.</translation>
    </message>
    <message>
        <source>Der Feed ist zu groß.</source>
        <translation>The feed is too large.</translation>
    </message>
    <message>
        <source>Die Antwort ist kein cctray-Feed.</source>
        <translation>The answer is not a cctray feed.</translation>
    </message>
    <message>
        <source>Weiterleitung auf einen anderen Server abgelehnt.</source>
        <translation>Redirect to another server refused.</translation>
    </message>
    <message>
        <source>Der Server bittet zu warten.</source>
        <translation>The server asks to wait.</translation>
    </message>
</context>
<context>
    <name>CCTrayFeedAddress</name>
    <message>
        <source>Bitte eine Adresse mit http:// oder https:// angeben.</source>
        <translation>Please enter an address with http:// or https://.</translation>
    </message>
    <message>
        <source>Zum Passwort gehört ein Benutzername.</source>
        <translation>A password needs a user name.</translation>
    </message>
    <message>
        <source>Zugangsdaten gehen nur über https:// (oder an diesen Rechner). Ein Feed über http:// wird ohne sie gelesen.</source>
        <translation>Credentials are only sent over https:// (or to this computer). A feed over http:// is read without them.</translation>
    </message>
</context>
<context>
    <name>CCTrayFeeds</name>
    <message>
        <source>Zugangsdaten werden aus dem Schlüsselbund gelesen …</source>
        <translation>Reading the credentials from the keyring …</translation>
    </message>
    <message>
        <source>Die Zugangsdaten fehlen im Schlüsselbund. Bitte den Feed neu hinzufügen.</source>
        <translation>The credentials are missing from the keyring. Please add the feed again.</translation>
    </message>
    <message>
        <source>Schlüsselbund nicht verfügbar</source>
        <translation>Keyring not available</translation>
    </message>
    <message>
        <source>Dieser Feed steht schon in der Liste.</source>
        <translation>This feed is already in the list.</translation>
    </message>
    <message>
        <source>Der Schlüsselbund hat die Zugangsdaten nicht gespeichert.</source>
        <translation>The keyring did not store the credentials.</translation>
    </message>
    <message>
        <source>Die neuen Zugangsdaten sind gespeichert.</source>
        <translation>The new credentials are saved.</translation>
    </message>
</context>
<context>
    <name>CCTrayFeedsPane</name>
    <message>
        <source>Hinzufügen</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Feed hinzufügen</source>
        <translation>Add a feed</translation>
    </message>
    <message>
        <source>Feed-Adresse</source>
        <translation>Feed address</translation>
    </message>
    <message>
        <source>Benutzername (falls nötig)</source>
        <translation>User name (if needed)</translation>
    </message>
    <message>
        <source>Passwort oder API-Token (falls nötig)</source>
        <translation>Password or API token (if needed)</translation>
    </message>
    <message>
        <source>Feeds</source>
        <translation>Feeds</translation>
    </message>
    <message>
        <source>Projekte</source>
        <translation>Projects</translation>
    </message>
    <message>
        <source>Projekte durchsuchen</source>
        <translation>Search projects</translation>
    </message>
    <message>
        <source>Projekte der Feeds</source>
        <translation>Projects of the feeds</translation>
    </message>
    <message>
        <source>Zugangsdaten werden gespeichert …</source>
        <translation>Storing the credentials …</translation>
    </message>
    <message>
        <source>Noch kein Feed. Jenkins: …/cc.xml, GoCD: …/go/cctray.xml, Buildkite und CircleCI nennen die Adresse samt Token in ihren Einstellungen.</source>
        <translation>No feed yet. Jenkins: …/cc.xml, GoCD: …/go/cctray.xml; Buildkite and CircleCI show the address with its token in their settings.</translation>
    </message>
    <message>
        <source>unverschlüsselt (http)</source>
        <translation>unencrypted (http)</translation>
    </message>
    <message numerus="yes">
        <source>%n Projekte</source>
        <translation>
            <numerusform>%n project</numerusform>
            <numerusform>%n projects</numerusform>
        </translation>
    </message>
    <message>
        <source>Wartet auf die erste Antwort</source>
        <translation>Waiting for the first answer</translation>
    </message>
    <message>
        <source>Entfernen</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>%1 entfernen</source>
        <translation>Remove %1</translation>
    </message>
    <message>
        <source>%1 von %2 beobachtet</source>
        <translation>%1 of %2 watched</translation>
    </message>
    <message numerus="yes">
        <source>Mehr als %n Projekte über alle Feeds sind nicht möglich.</source>
        <translation>
            <numerusform>No more than %n project over all feeds is possible.</numerusform>
            <numerusform>No more than %n projects over all feeds are possible.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CCTrayIntegration</name>
    <message>
        <source>CI-Server</source>
        <translation>CI servers</translation>
    </message>
</context>
<context>
    <name>CIFeedsModule</name>
    <message>
        <source>läuft</source>
        <translation>in progress</translation>
    </message>
    <message>
        <source>erfolgreich</source>
        <translation>succeeded</translation>
    </message>
    <message>
        <source>fehlgeschlagen</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>abgebrochen mit Fehler</source>
        <translation>ended with an error</translation>
    </message>
    <message>
        <source>unbekannt</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Projekte deiner CI-Server aus ihren cctray-Feeds (Jenkins, GoCD, Buildkite, CircleCI, TeamCity …). Feeds und Projekte wählst du im Bereich „CI-Server“.</source>
        <translation>Projects of your CI servers from their cctray feeds (Jenkins, GoCD, Buildkite, CircleCI, TeamCity …). Choose feeds and projects in “CI servers”.</translation>
    </message>
    <message>
        <source>Kein Projekt gewählt</source>
        <translation>No project chosen</translation>
    </message>
    <message>
        <source>Nicht mehr im Feed</source>
        <translation>No longer in the feed</translation>
    </message>
    <message>
        <source>Lädt …</source>
        <translation>Loading …</translation>
    </message>
    <message>
        <source>Build fehlgeschlagen</source>
        <translation>Build failed</translation>
    </message>
    <message>
        <source>Build wieder erfolgreich</source>
        <translation>Build fixed</translation>
    </message>
    <message>
        <source>Build fehlgeschlagen: %1</source>
        <translation>Build failed: %1</translation>
    </message>
    <message>
        <source>Build wieder erfolgreich: %1</source>
        <translation>Build fixed: %1</translation>
    </message>
    <message>
        <source>CI-Feeds</source>
        <translation>CI feeds</translation>
    </message>
</context>
<context>
    <name>DockerCliConfig</name>
    <message>
        <source>%1 fehlt.</source>
        <translation>%1 is missing.</translation>
    </message>
    <message>
        <source>%1 ist nicht lesbar.</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1 ist kein gültiges JSON.</source>
        <translation>%1 is not valid JSON.</translation>
    </message>
    <message>
        <source>Kontext „%1“: %2</source>
        <translation>Context “%1”: %2</translation>
    </message>
    <message>
        <source>%1: „currentContext“ ist kein Name.</source>
        <translation>%1: “currentContext” is not a name.</translation>
    </message>
    <message>
        <source>DOCKER_CERT_PATH: %1 fehlt oder ist nicht lesbar.</source>
        <translation>DOCKER_CERT_PATH: %1 is missing or cannot be read.</translation>
    </message>
    <message>
        <source>kein gültiger Name.</source>
        <translation>not a valid name.</translation>
    </message>
    <message>
        <source>unbekannt (nicht in „docker context ls“).</source>
        <translation>unknown (not in “docker context ls”).</translation>
    </message>
    <message>
        <source>kein Docker-Endpunkt eingetragen.</source>
        <translation>no Docker endpoint set.</translation>
    </message>
</context>
<context>
    <name>DockerClient</name>
    <message>
        <source>Engine zu alt: API %1, nötig ist mindestens %2.%3.</source>
        <translation>Engine too old: API %1, at least %2.%3 is needed.</translation>
    </message>
</context>
<context>
    <name>DockerEndpoint</name>
    <message>
        <source>Unverschlüsselte Verbindung zu %1 abgelehnt: ohne TLS nur zu diesem Rechner.</source>
        <translation>Unencrypted connection to %1 refused: without TLS only to this computer.</translation>
    </message>
    <message>
        <source>Adresse „%1“ wird nicht unterstützt (unix://, tcp:// oder ssh://).</source>
        <translation>Address “%1” is not supported (unix://, tcp:// or ssh://).</translation>
    </message>
</context>
<context>
    <name>DockerLocator</name>
    <message>
        <source>SSH ist hier nicht verfügbar.</source>
        <translation>SSH is not available here.</translation>
    </message>
</context>
<context>
    <name>DockerModule</name>
    <message>
        <source>Docker ist nicht installiert oder nicht gestartet.</source>
        <translation>Docker is not installed or not running.</translation>
    </message>
    <message>
        <source>Docker antwortet nicht.</source>
        <translation>Docker is not answering.</translation>
    </message>
    <message>
        <source>Lädt …</source>
        <translation>Loading …</translation>
    </message>
    <message>
        <source>Keine Container</source>
        <translation>No containers</translation>
    </message>
    <message>
        <source>Stoppen</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Starten</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>%1 stoppen</source>
        <translation>Stop %1</translation>
    </message>
    <message>
        <source>%1 starten</source>
        <translation>Start %1</translation>
    </message>
    <message numerus="yes">
        <source>%1 von %n Containern laufen</source>
        <translation>
            <numerusform>%1 of %n container running</numerusform>
            <numerusform>%1 of %n containers running</numerusform>
        </translation>
    </message>
    <message>
        <source>Container mit Status, Compose-Projekte gruppiert. Start, Stop, Neustart und Protokoll per Klick.</source>
        <translation>Containers with their status, Compose projects grouped. Start, stop, restart and log with a click.</translation>
    </message>
    <message>
        <source>%1 beendet (Code %2)</source>
        <translation>%1 exited (code %2)</translation>
    </message>
    <message>
        <source>%1 ohne Speicher beendet</source>
        <translation>%1 ran out of memory</translation>
    </message>
    <message>
        <source>%1 ist nicht mehr gesund</source>
        <translation>%1 is no longer healthy</translation>
    </message>
    <message numerus="yes">
        <source>%n von %1 laufen</source>
        <translation>
            <numerusform>%n of %1 running</numerusform>
            <numerusform>%n of %1 running</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n von %2 laufen</source>
        <translation>
            <numerusform>%1: %n of %2 running</numerusform>
            <numerusform>%1: %n of %2 running</numerusform>
        </translation>
    </message>
    <message>
        <source>Engine</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>Projekt %1 starten</source>
        <translation>Start project %1</translation>
    </message>
    <message>
        <source>Projekt %1 stoppen</source>
        <translation>Stop project %1</translation>
    </message>
    <message>
        <source>Alle Container</source>
        <translation>All containers</translation>
    </message>
    <message>
        <source>Protokoll von %1</source>
        <translation>Log of %1</translation>
    </message>
    <message>
        <source>Neu starten</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>%1 neu starten</source>
        <translation>Restart %1</translation>
    </message>
    <message>
        <source>Protokoll schließen</source>
        <translation>Close log</translation>
    </message>
    <message>
        <source>Protokoll</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>%1 schließen</source>
        <translation>Close %1</translation>
    </message>
    <message>
        <source>Container unerwartet beendet</source>
        <translation>Container ended unexpectedly</translation>
    </message>
    <message>
        <source>startet immer wieder neu (%1× in 10 Min.)</source>
        <translation>keeps restarting (%1× in 10 min)</translation>
    </message>
    <message>
        <source>Lokal</source>
        <translation>Local</translation>
    </message>
    <message>
        <source>Weitere Engines (Docker-Kontexte)</source>
        <translation>More engines (Docker contexts)</translation>
    </message>
    <message>
        <source>Kontext hinzufügen</source>
        <translation>Add context</translation>
    </message>
    <message>
        <source>Kein Name eines Docker-Kontexts</source>
        <translation>Not the name of a Docker context</translation>
    </message>
</context>
<context>
    <name>DockerSshForward</name>
    <message>
        <source>Kein Laufzeitordner für die SSH-Weiterleitung.</source>
        <translation>No runtime folder for the SSH forward.</translation>
    </message>
    <message>
        <source>SSH zu %1: Schlüssel des Rechners unbekannt. Einmal im Terminal mit ssh verbinden und prüfen.</source>
        <translation>SSH to %1: the host&apos;s key is unknown. Connect once with ssh in a terminal and check it.</translation>
    </message>
    <message>
        <source>SSH zu %1: %2</source>
        <translation>SSH to %1: %2</translation>
    </message>
    <message>
        <source>SSH zu %1: Verbindung wird aufgebaut …</source>
        <translation>SSH to %1: connecting …</translation>
    </message>
    <message>
        <source>Verbindung getrennt.</source>
        <translation>Connection lost.</translation>
    </message>
</context>
<context>
    <name>FreedesktopNotifier</name>
    <message>
        <source>Öffnen</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsPane</name>
    <message>
        <source>Darstellung</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Erscheinungsbild</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Hell</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Dunkel</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Startup</translation>
    </message>
    <message>
        <source>Einstellungen beim Start anzeigen</source>
        <translation>Show settings at startup</translation>
    </message>
    <message>
        <source>Sprache</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Deutsch</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Gilt ab dem nächsten Start.</source>
        <translation>Takes effect at the next start.</translation>
    </message>
</context>
<context>
    <name>GitHubAccount</name>
    <message>
        <source>Fein granuliertes Token</source>
        <translation>Fine-grained token</translation>
    </message>
    <message>
        <source>Berechtigungen: keine</source>
        <translation>Scopes: none</translation>
    </message>
    <message>
        <source>Berechtigungen: %1</source>
        <translation>Scopes: %1</translation>
    </message>
    <message>
        <source>Der Token darf Benachrichtigungen nicht als gelesen markieren (Scope notifications oder repo nötig).</source>
        <translation>The token may not mark notifications as read (it needs the notifications or repo scope).</translation>
    </message>
    <message>
        <source>github.com – oder die Adresse eines GitHub Enterprise Servers</source>
        <translation>github.com – or the address of a GitHub Enterprise Server</translation>
    </message>
    <message>
        <source>Der Token liegt im Schlüsselbund des Systems und geht nur an die GitHub-API (%1). Beide GitHub-Module nutzen ihn ab ihrer nächsten Anfrage.</source>
        <translation>The token is kept in the system keyring and is only sent to the GitHub API (%1). Both GitHub modules use it from their next request on.</translation>
    </message>
</context>
<context>
    <name>GitHubActionsModule</name>
    <message>
        <source>Lädt …</source>
        <translation>Loading …</translation>
    </message>
    <message>
        <source>Keine Läufe</source>
        <translation>No runs</translation>
    </message>
    <message>
        <source>Kein Repository ausgewählt</source>
        <translation>No repository selected</translation>
    </message>
    <message>
        <source>Fehlgeschlagene Jobs neu starten</source>
        <translation>Re-run failed jobs</translation>
    </message>
    <message>
        <source>Fehlgeschlagene Jobs von %1 neu starten</source>
        <translation>Re-run failed jobs of %1</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 abbrechen</source>
        <translation>Cancel %1</translation>
    </message>
    <message>
        <source>Neueste Workflow-Läufe des Repos. Ein Klick öffnet das Log.</source>
        <translation>The repository&apos;s latest workflow runs. A click opens the log.</translation>
    </message>
    <message>
        <source>Run fehlgeschlagen</source>
        <translation>Run failed</translation>
    </message>
    <message>
        <source>Run wieder erfolgreich</source>
        <translation>Run fixed</translation>
    </message>
</context>
<context>
    <name>GitHubErrorText</name>
    <message>
        <source>GitHub nimmt gerade keine weiteren Anfragen an. Bitte versuche es später noch einmal.</source>
        <translation>GitHub is not taking further requests right now. Please try again later.</translation>
    </message>
    <message>
        <source>Die sichere Verbindung zu GitHub ist fehlgeschlagen. Bitte versuche es später noch einmal.</source>
        <translation>The secure connection to GitHub failed. Please try again later.</translation>
    </message>
    <message>
        <source>Die Verbindung zu GitHub ist abgebrochen. Bitte versuche es später noch einmal.</source>
        <translation>The connection to GitHub was interrupted. Please try again later.</translation>
    </message>
    <message>
        <source>GitHub ist nicht erreichbar. Bitte prüfe die Internetverbindung und versuche es später noch einmal.</source>
        <translation>GitHub cannot be reached. Please check the internet connection and try again later.</translation>
    </message>
    <message>
        <source>GitHub hat gerade eine Störung (Status %1). Bitte versuche es später noch einmal.</source>
        <translation>GitHub is having an outage (status %1). Please try again later.</translation>
    </message>
    <message>
        <source>GitHub hat die Anfrage abgelehnt (Status %1).</source>
        <translation>GitHub refused the request (status %1).</translation>
    </message>
    <message>
        <source>GitHub hat eine unverständliche Antwort geschickt. Bitte versuche es später noch einmal.</source>
        <translation>GitHub sent an answer that could not be read. Please try again later.</translation>
    </message>
    <message>
        <source>Kein GitHub-Token hinterlegt.</source>
        <translation>No GitHub token stored.</translation>
    </message>
    <message>
        <source>Der Token darf keine Läufe starten oder abbrechen (Berechtigung actions: write nötig).</source>
        <translation>The token may not start or cancel runs (the permission actions: write is needed).</translation>
    </message>
    <message>
        <source>GitHub ist nicht erreichbar.</source>
        <translation>GitHub cannot be reached.</translation>
    </message>
    <message>
        <source>GitHub antwortet mit Status %1.</source>
        <translation>GitHub answers with status %1.</translation>
    </message>
    <message>
        <source>GitHub gibt keine verwertbare Antwort.</source>
        <translation>GitHub gives no usable answer.</translation>
    </message>
    <message>
        <source>Repository nicht gefunden oder kein Zugriff</source>
        <translation>Repository not found or no access</translation>
    </message>
    <message>
        <source>Läufe konnten nicht geladen werden.</source>
        <translation>Runs could not be loaded.</translation>
    </message>
    <message>
        <source>GitHub-Meldungen brauchen ein klassisches Token mit dem Scope notifications oder repo.</source>
        <translation>GitHub notifications need a classic token with the notifications or repo scope.</translation>
    </message>
</context>
<context>
    <name>GitHubIntegration</name>
    <message>
        <source>GitHub-Konto</source>
        <translation>GitHub Account</translation>
    </message>
</context>
<context>
    <name>GitHubNewsModule</name>
    <message>
        <source>Review angefragt: %1</source>
        <translation>Review requested: %1</translation>
    </message>
    <message>
        <source>Neuer Review oder Kommentar: %1</source>
        <translation>New review or comment: %1</translation>
    </message>
    <message>
        <source>PR gemergt: %1</source>
        <translation>PR merged: %1</translation>
    </message>
    <message>
        <source>Als gelesen markieren</source>
        <translation>Mark as read</translation>
    </message>
    <message>
        <source>Issue zugewiesen: %1</source>
        <translation>Issue assigned: %1</translation>
    </message>
    <message>
        <source>Erwähnt in Issue: %1</source>
        <translation>Mentioned in issue: %1</translation>
    </message>
    <message>
        <source>Kommentar zu Issue: %1</source>
        <translation>Comment on issue: %1</translation>
    </message>
    <message>
        <source>Release veröffentlicht: %1</source>
        <translation>Release published: %1</translation>
    </message>
    <message>
        <source>Diskussion: %1</source>
        <translation>Discussion: %1</translation>
    </message>
    <message>
        <source>Run fehlgeschlagen: %1</source>
        <translation>Run failed: %1</translation>
    </message>
    <message>
        <source>Keine neuen GitHub-Meldungen</source>
        <translation>No new GitHub notifications</translation>
    </message>
    <message>
        <source>GitHub-Meldungen</source>
        <translation>GitHub notifications</translation>
    </message>
    <message>
        <source>Pull Requests, Issues, Diskussionen, Releases und fehlgeschlagene Runs, über die GitHub benachrichtigt, als Meldung.</source>
        <translation>Pull requests, issues, discussions, releases and failed runs GitHub notifies you about, as news.</translation>
    </message>
    <message>
        <source>Review angefragt</source>
        <translation>Review requested</translation>
    </message>
    <message>
        <source>Reviews und Kommentare</source>
        <translation>Reviews and comments</translation>
    </message>
    <message>
        <source>Pull Request gemergt</source>
        <translation>Pull request merged</translation>
    </message>
    <message>
        <source>Issues</source>
        <translation>Issues</translation>
    </message>
    <message>
        <source>Diskussionen</source>
        <translation>Discussions</translation>
    </message>
    <message>
        <source>Release veröffentlicht</source>
        <translation>Release published</translation>
    </message>
    <message>
        <source>Run fehlgeschlagen (GitHub-Meldung)</source>
        <translation>Run failed (GitHub notification)</translation>
    </message>
</context>
<context>
    <name>GitHubRepository</name>
    <message>
        <source>Bitte ein Repository eingeben.</source>
        <translation>Please enter a repository.</translation>
    </message>
    <message>
        <source>Erwartet wird owner/name (Buchstaben, Ziffern, „-“, „_“, „.“).</source>
        <translation>Expected owner/name (letters, digits, “-”, “_”, “.”).</translation>
    </message>
    <message>
        <source>Repositories</source>
        <translation>Repositories</translation>
    </message>
    <message>
        <source>Repository hinzufügen</source>
        <translation>Add repository</translation>
    </message>
    <message>
        <source>Stumm</source>
        <translation>Muted</translation>
    </message>
    <message>
        <source>Branches</source>
        <translation>Branches</translation>
    </message>
    <message>
        <source>Workflow</source>
        <translation>Workflow</translation>
    </message>
</context>
<context>
    <name>GitHubServer</name>
    <message>
        <source>Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa https://github.example.com.</source>
        <translation>Invalid server address: give only https:// and the server&apos;s name, such as https://github.example.com.</translation>
    </message>
</context>
<context>
    <name>GitLabAccount</name>
    <message>
        <source>gitlab.com – oder die Adresse eines eigenen GitLab-Servers</source>
        <translation>gitlab.com – or the address of your own GitLab server</translation>
    </message>
    <message>
        <source>Ein persönlicher Zugriffstoken mit dem Scope api (read_api genügt zum Beobachten). Er liegt im Schlüsselbund des Systems und geht nur an die GitLab-API (%1).</source>
        <translation>A personal access token with the api scope (read_api is enough to watch). It is kept in the system keyring and only goes to the GitLab API (%1).</translation>
    </message>
</context>
<context>
    <name>GitLabErrorText</name>
    <message>
        <source>Kein GitLab-Token hinterlegt.</source>
        <translation>No GitLab token stored.</translation>
    </message>
    <message>
        <source>GitLab nimmt gerade keine weiteren Anfragen an.</source>
        <translation>GitLab is not taking further requests right now.</translation>
    </message>
    <message>
        <source>GitLab ist nicht erreichbar.</source>
        <translation>GitLab cannot be reached.</translation>
    </message>
    <message>
        <source>Anfrage abgewiesen: sie führte weg vom GitLab-Server.</source>
        <translation>Request refused: it led away from the GitLab server.</translation>
    </message>
    <message>
        <source>Projekt nicht gefunden oder kein Zugriff</source>
        <translation>Project not found or no access</translation>
    </message>
    <message>
        <source>Pipelines konnten nicht geladen werden.</source>
        <translation>Pipelines could not be loaded.</translation>
    </message>
    <message>
        <source>Der Token darf das nicht (Scope api und mindestens die Rolle Developer nötig).</source>
        <translation>The token may not do that (needs the api scope and at least the Developer role).</translation>
    </message>
    <message>
        <source>Der Token darf die To-dos nicht lesen (Scope read_api oder api nötig).</source>
        <translation>The token may not read the to-dos (needs the read_api or api scope).</translation>
    </message>
    <message>
        <source>To-dos konnten nicht geladen werden.</source>
        <translation>To-dos could not be loaded.</translation>
    </message>
    <message>
        <source>GitLab antwortet mit Status %1.</source>
        <translation>GitLab answers with status %1.</translation>
    </message>
    <message>
        <source>GitLab gibt keine verwertbare Antwort.</source>
        <translation>GitLab gives no usable answer.</translation>
    </message>
</context>
<context>
    <name>GitLabIntegration</name>
    <message>
        <source>GitLab-Konto</source>
        <translation>GitLab account</translation>
    </message>
</context>
<context>
    <name>GitLabPipelinesModule</name>
    <message>
        <source>Lädt …</source>
        <translation>Loading …</translation>
    </message>
    <message>
        <source>Keine Pipelines</source>
        <translation>No pipelines</translation>
    </message>
    <message>
        <source>Pipeline fehlgeschlagen</source>
        <translation>Pipeline failed</translation>
    </message>
    <message>
        <source>Pipeline wieder erfolgreich</source>
        <translation>Pipeline passing again</translation>
    </message>
    <message>
        <source>Erneut ausführen</source>
        <translation>Run again</translation>
    </message>
    <message>
        <source>%1 erneut ausführen</source>
        <translation>Run %1 again</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 abbrechen</source>
        <translation>Cancel %1</translation>
    </message>
    <message>
        <source>GitLab-Pipelines</source>
        <translation>GitLab pipelines</translation>
    </message>
    <message>
        <source>Neueste Pipeline jedes Projekts auf seinem Standard-Branch. Ein Klick öffnet sie.</source>
        <translation>The newest pipeline of each project on its default branch. A click opens it.</translation>
    </message>
</context>
<context>
    <name>GitLabProjects</name>
    <message>
        <source>Bitte ein Projekt eingeben.</source>
        <translation>Please enter a project.</translation>
    </message>
    <message>
        <source>Erwartet wird gruppe/projekt (Buchstaben, Ziffern, „-“, „_“, „.“).</source>
        <translation>Expected group/project (letters, digits, “-”, “_”, “.”).</translation>
    </message>
    <message>
        <source>Projekte</source>
        <translation>Projects</translation>
    </message>
    <message>
        <source>Projekt hinzufügen</source>
        <translation>Add project</translation>
    </message>
    <message>
        <source>Stumm</source>
        <translation>Muted</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Branch</translation>
    </message>
</context>
<context>
    <name>GitLabServer</name>
    <message>
        <source>Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa https://gitlab.example.com.</source>
        <translation>Invalid server address: please give only https:// and the server&apos;s name, such as https://gitlab.example.com.</translation>
    </message>
</context>
<context>
    <name>GitLabTodosModule</name>
    <message>
        <source>Review angefragt: %1</source>
        <translation>Review requested: %1</translation>
    </message>
    <message>
        <source>Dir zugewiesen: %1</source>
        <translation>Assigned to you: %1</translation>
    </message>
    <message>
        <source>Erwähnt: %1</source>
        <translation>Mentioned: %1</translation>
    </message>
    <message>
        <source>Deine Pipeline ist fehlgeschlagen: %1</source>
        <translation>Your pipeline failed: %1</translation>
    </message>
    <message>
        <source>Freigabe nötig: %1</source>
        <translation>Approval required: %1</translation>
    </message>
    <message>
        <source>Aus dem Merge Train entfernt: %1</source>
        <translation>Removed from the merge train: %1</translation>
    </message>
    <message>
        <source>Als erledigt markieren</source>
        <translation>Mark as done</translation>
    </message>
    <message>
        <source>Review angefragt (GitLab)</source>
        <translation>Review requested (GitLab)</translation>
    </message>
    <message>
        <source>Zugewiesen (GitLab)</source>
        <translation>Assigned (GitLab)</translation>
    </message>
    <message>
        <source>Erwähnt (GitLab)</source>
        <translation>Mentioned (GitLab)</translation>
    </message>
    <message>
        <source>Eigene Pipeline fehlgeschlagen (GitLab-To-do)</source>
        <translation>Own pipeline failed (GitLab to-do)</translation>
    </message>
    <message>
        <source>Freigabe nötig (GitLab)</source>
        <translation>Approval required (GitLab)</translation>
    </message>
    <message>
        <source>Aus dem Merge Train entfernt (GitLab)</source>
        <translation>Removed from the merge train (GitLab)</translation>
    </message>
    <message>
        <source>GitLab-To-dos</source>
        <translation>GitLab to-dos</translation>
    </message>
    <message>
        <source>Neue To-dos aus GitLab als Meldung: Reviews, Zuweisungen, Erwähnungen, fehlgeschlagene Pipelines, Freigaben und der Merge Train. Öffnen markiert ein To-do als erledigt.</source>
        <translation>New GitLab to-dos as news: reviews, assignments, mentions, failed pipelines, approvals and the merge train. Opening a to-do marks it done.</translation>
    </message>
</context>
<context>
    <name>GlobalShortcut</name>
    <message>
        <source>Tarnlet-Overlay öffnen und anheften</source>
        <translation>Open and pin the Tarnlet overlay</translation>
    </message>
</context>
<context>
    <name>MessageBoxUpdateDialogs</name>
    <message>
        <source>Eine neue Version von Tarnlet ist verfügbar.</source>
        <translation>A new version of Tarnlet is available.</translation>
    </message>
    <message>
        <source>Tarnlet %1 ist erschienen, installiert ist Version %2. Die Release-Seite zeigt, was neu ist, und bietet den Download an.</source>
        <translation>Tarnlet %1 has been released; version %2 is installed. The release page shows what is new and offers the download.</translation>
    </message>
    <message>
        <source>Release-Seite öffnen</source>
        <translation>Open Release Page</translation>
    </message>
    <message>
        <source>Später</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>Tarnlet ist auf dem neuesten Stand.</source>
        <translation>Tarnlet is up to date.</translation>
    </message>
    <message>
        <source>Version %1 ist die aktuelle Version.</source>
        <translation>Version %1 is the current version.</translation>
    </message>
    <message>
        <source>Die Suche nach Updates ist fehlgeschlagen.</source>
        <translation>The update check failed.</translation>
    </message>
</context>
<context>
    <name>ModuleDocumentView</name>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Aktualisieren</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>%1 kopieren</source>
        <translation>Copy %1</translation>
    </message>
    <message>
        <source>%1 aktualisieren</source>
        <translation>Refresh %1</translation>
    </message>
</context>
<context>
    <name>ModuleListEditor</name>
    <message>
        <source>Hinzufügen</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Steht schon in der Liste.</source>
        <translation>Already in the list.</translation>
    </message>
    <message>
        <source>Entfernen</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>%1 entfernen</source>
        <translation>Remove %1</translation>
    </message>
    <message numerus="yes">
        <source>Mehr als %n Einträge sind nicht möglich.</source>
        <translation>
            <numerusform>No more than %n entry is possible.</numerusform>
            <numerusform>No more than %n entries are possible.</numerusform>
        </translation>
    </message>
    <message>
        <source>wird ignoriert</source>
        <translation>ignored</translation>
    </message>
    <message>
        <source>Zuletzt gepusht in deinem Konto</source>
        <translation>Recently pushed in your account</translation>
    </message>
    <message>
        <source>%1 hinzufügen</source>
        <translation>Add %1</translation>
    </message>
</context>
<context>
    <name>ModuleRow</name>
    <message>
        <source>gerade eben</source>
        <translation>just now</translation>
    </message>
    <message numerus="yes">
        <source>vor %n s</source>
        <translation>
            <numerusform>%n s ago</numerusform>
            <numerusform>%n s ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vor %n Min.</source>
        <translation>
            <numerusform>%n min ago</numerusform>
            <numerusform>%n min ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vor %n Std.</source>
        <translation>
            <numerusform>%n h ago</numerusform>
            <numerusform>%n h ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vor %n Tagen</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ModuleSettingsPane</name>
    <message>
        <source>Modul</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>Modul aktiv</source>
        <translation>Module enabled</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Keine Daten</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>nicht eingeblendet</source>
        <translation>not shown</translation>
    </message>
    <message>
        <source>Verlauf</source>
        <translation>History</translation>
    </message>
</context>
<context>
    <name>NotchAccessibility</name>
    <message>
        <source>Öffnen</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>NotchContent</name>
    <message numerus="yes">
        <source>+%n weitere</source>
        <translation>
            <numerusform>+%n more</numerusform>
            <numerusform>+%n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NotchPreview</name>
    <message>
        <source>Vorschau der Notch: Deploy in staging, läuft seit 42 Sekunden</source>
        <translation>Notch preview: Deploy in staging, running for 42 seconds</translation>
    </message>
</context>
<context>
    <name>NotchSettingsPane</name>
    <message>
        <source>Hauptbildschirm</source>
        <translation>Primary screen</translation>
    </message>
    <message>
        <source>Bildschirm mit dem Mauszeiger</source>
        <translation>Screen with the pointer</translation>
    </message>
    <message>
        <source>Verhalten</source>
        <translation>Behaviour</translation>
    </message>
    <message>
        <source>Bei Hover aufklappen</source>
        <translation>Open on hover</translation>
    </message>
    <message>
        <source>Bildschirm</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>Bei Vollbild ausblenden</source>
        <translation>Hide beside full screen</translation>
    </message>
    <message>
        <source>Öffnen nach</source>
        <translation>Open after</translation>
    </message>
    <message>
        <source>Kurz</source>
        <translation>Short</translation>
    </message>
    <message>
        <source>Lang</source>
        <translation>Long</translation>
    </message>
    <message>
        <source>Wird bei der Arbeitsumgebung angemeldet …</source>
        <translation>Registering with the desktop …</translation>
    </message>
    <message>
        <source>Ein anderes Programm belegt dieses Tastenkürzel bereits.</source>
        <translation>Another program already uses this shortcut.</translation>
    </message>
    <message>
        <source>Dieses Tastenkürzel lässt sich hier nicht belegen.</source>
        <translation>This shortcut cannot be had here.</translation>
    </message>
    <message>
        <source>Diese Arbeitsumgebung vergibt keine globalen Tastenkürzel an Programme. In ihren Tastatureinstellungen lässt sich stattdessen dieser Befehl auf ein Tastenkürzel legen: %1</source>
        <translation>This desktop gives programs no global shortcuts. Bind this command to a shortcut in its keyboard settings instead: %1</translation>
    </message>
    <message>
        <source>Tastenkürzel</source>
        <translation>Shortcut</translation>
    </message>
    <message>
        <source>Abstand oben</source>
        <translation>Top offset</translation>
    </message>
    <message>
        <source> pt</source>
        <translation> pt</translation>
    </message>
</context>
<context>
    <name>NotchView</name>
    <message>
        <source>pausiert</source>
        <translation>paused</translation>
    </message>
    <message>
        <source>Nicht stören</source>
        <translation>Do Not Disturb</translation>
    </message>
</context>
<context>
    <name>NotificationsSettingsPane</name>
    <message>
        <source>Meldungen</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Bei Ereignissen kurz aufklappen</source>
        <translation>Open briefly on events</translation>
    </message>
    <message>
        <source>Anzeigedauer</source>
        <translation>Display duration</translation>
    </message>
    <message>
        <source>Kurz</source>
        <translation>Short</translation>
    </message>
    <message>
        <source>Lang</source>
        <translation>Long</translation>
    </message>
    <message>
        <source>Auch als Systembenachrichtigung</source>
        <translation>Also as a desktop notification</translation>
    </message>
    <message>
        <source>Kein Benachrichtigungsdienst auf dem Sitzungsbus.</source>
        <translation>No notification service on the session bus.</translation>
    </message>
    <message>
        <source>Melden bei</source>
        <translation>Notify for</translation>
    </message>
    <message>
        <source>Nicht stören des Systems folgen</source>
        <translation>Follow the system&apos;s Do Not Disturb</translation>
    </message>
    <message>
        <source>Die Arbeitsumgebung meldet kein „Nicht stören“: Weder der Benachrichtigungsdienst noch GNOMEs Einstellungen geben es an.</source>
        <translation>The desktop reports no Do Not Disturb: neither the notification service nor GNOME&apos;s settings tell it.</translation>
    </message>
</context>
<context>
    <name>PipelineState</name>
    <message>
        <source>erstellt</source>
        <translation>created</translation>
    </message>
    <message>
        <source>wartet auf Ressource</source>
        <translation>waiting for a resource</translation>
    </message>
    <message>
        <source>wird vorbereitet</source>
        <translation>preparing</translation>
    </message>
    <message>
        <source>wartet</source>
        <translation>pending</translation>
    </message>
    <message>
        <source>läuft</source>
        <translation>in progress</translation>
    </message>
    <message>
        <source>erfolgreich</source>
        <translation>succeeded</translation>
    </message>
    <message>
        <source>fehlgeschlagen</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>abgebrochen</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>übersprungen</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>wartet auf Freigabe</source>
        <translation>waiting for approval</translation>
    </message>
    <message>
        <source>geplant</source>
        <translation>scheduled</translation>
    </message>
    <message>
        <source>Pipeline #%1</source>
        <translation>Pipeline #%1</translation>
    </message>
    <message>
        <source>Pipeline fehlgeschlagen: %1</source>
        <translation>Pipeline failed: %1</translation>
    </message>
    <message>
        <source>Pipeline wieder erfolgreich: %1</source>
        <translation>Pipeline passing again: %1</translation>
    </message>
</context>
<context>
    <name>RemoteCommand</name>
    <message>
        <source>Tarnlet läuft nicht.</source>
        <translation>Tarnlet is not running.</translation>
    </message>
    <message>
        <source>Tarnlet zeigt den Stand von CI, Meldungen und Containern oben in der Bildschirmmitte. Ohne Optionen startet es; mit einer der Optionen spricht es mit dem laufenden Tarnlet.</source>
        <translation>Tarnlet shows the state of CI, news and containers at the top centre of the screen. Without options it starts; with one of the options it speaks to the running Tarnlet.</translation>
    </message>
    <message>
        <source>Öffnet und pinnt das Overlay, oder schließt es.</source>
        <translation>Opens and pins the overlay, or closes it.</translation>
    </message>
    <message>
        <source>Öffnet das Overlay und pinnt es.</source>
        <translation>Opens the overlay and pins it.</translation>
    </message>
    <message>
        <source>Öffnet die Einstellungen, mit BEREICH auf diesem Bereich (etwa notch).</source>
        <translation>Opens the settings, with PANE on that pane (notch, say).</translation>
    </message>
    <message>
        <source>Pausiert Meldungen für 1h, bis morning (8 Uhr) oder indefinitely (bis zum Fortsetzen); resume setzt fort.</source>
        <translation>Pauses news for 1h, until morning (8 am) or indefinitely (until resumed); resume resumes.</translation>
    </message>
    <message>
        <source>Gibt die Statuszeile aus.</source>
        <translation>Prints the status line.</translation>
    </message>
    <message>
        <source>Mit --status: als JSON für waybar, i3status-rust.</source>
        <translation>With --status: as JSON for waybar, i3status-rust.</translation>
    </message>
    <message>
        <source>Mit --status: eine Zeile zu Beginn und eine nach jeder Änderung.</source>
        <translation>With --status: one line at start and one after each change.</translation>
    </message>
    <message>
        <source>BEREICH</source>
        <translation>PANE</translation>
    </message>
    <message>
        <source>Der Bereich der Einstellungen, mit --settings.</source>
        <translation>The settings pane, with --settings.</translation>
    </message>
    <message>
        <source>[BEREICH]</source>
        <translation>[PANE]</translation>
    </message>
    <message>
        <source>Bitte genau einen Befehl angeben; tarnlet --help zeigt alle.</source>
        <translation>Please give exactly one command; tarnlet --help lists them.</translation>
    </message>
</context>
<context>
    <name>SearchField</name>
    <message>
        <source>Suchen</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Einstellungen durchsuchen</source>
        <translation>Search settings</translation>
    </message>
</context>
<context>
    <name>SecondsSlider</name>
    <message>
        <source>%1 Sekunden</source>
        <translation>%1 seconds</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>SettingsPanes</name>
    <message>
        <source>Allgemein</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Notch</source>
        <translation>Notch</translation>
    </message>
    <message>
        <source>Benachrichtigungen</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
</context>
<context>
    <name>SettingsWindowController</name>
    <message>
        <source>Tarnlet Einstellungen</source>
        <translation>Tarnlet Settings</translation>
    </message>
</context>
<context>
    <name>SidebarModel</name>
    <message>
        <source>Module</source>
        <translation>Modules</translation>
    </message>
</context>
<context>
    <name>StatusSummary</name>
    <message>
        <source>Meldungen pausiert</source>
        <translation>News paused</translation>
    </message>
    <message>
        <source>Nicht stören</source>
        <translation>Do Not Disturb</translation>
    </message>
</context>
<context>
    <name>TokenAccount</name>
    <message>
        <source>Bitte einen Token eingeben.</source>
        <translation>Please enter a token.</translation>
    </message>
    <message>
        <source>Wird gespeichert …</source>
        <translation>Saving …</translation>
    </message>
    <message>
        <source>Wird entfernt …</source>
        <translation>Removing …</translation>
    </message>
    <message>
        <source>Wird gelesen …</source>
        <translation>Reading …</translation>
    </message>
    <message>
        <source>Der Token konnte nicht gespeichert werden (Schlüsselbund, Fehler %1).</source>
        <translation>The token could not be saved (keyring, error %1).</translation>
    </message>
    <message>
        <source>Token gespeichert.</source>
        <translation>Token saved.</translation>
    </message>
    <message>
        <source>Der Token konnte nicht entfernt werden (Schlüsselbund, Fehler %1).</source>
        <translation>The token could not be removed (keyring, error %1).</translation>
    </message>
    <message>
        <source>Token entfernt.</source>
        <translation>Token removed.</translation>
    </message>
    <message>
        <source>Kein Token hinterlegt.</source>
        <translation>No token stored.</translation>
    </message>
    <message>
        <source>Angemeldet als %1</source>
        <translation>Signed in as %1</translation>
    </message>
    <message>
        <source>Wird geprüft …</source>
        <translation>Checking …</translation>
    </message>
    <message>
        <source>%1-Kontingent: %2 von %3 übrig, Tarnlet nutzt %4 pro Stunde</source>
        <translation>%1 quota: %2 of %3 left, Tarnlet uses %4 per hour</translation>
    </message>
</context>
<context>
    <name>TokenAccountPane</name>
    <message>
        <source>Übernehmen</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Entfernen</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Erneut lesen</source>
        <translation>Read again</translation>
    </message>
    <message>
        <source>Konto</source>
        <translation>Account</translation>
    </message>
    <message>
        <source>Serveradresse</source>
        <translation>Server address</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Persönlicher Zugriffstoken</source>
        <translation>Personal access token</translation>
    </message>
    <message>
        <source>Token</source>
        <translation>Token</translation>
    </message>
</context>
<context>
    <name>TokenExpiry</name>
    <message>
        <source>Token läuft am %1 ab</source>
        <translation>Token expires on %1</translation>
    </message>
    <message>
        <source>GitLab-Token läuft am %1 ab</source>
        <translation>GitLab token expires on %1</translation>
    </message>
</context>
<context>
    <name>TokenState</name>
    <message>
        <source>Token wird aus dem Schlüsselbund gelesen …</source>
        <translation>Reading the token from the keyring …</translation>
    </message>
    <message>
        <source>%1 lehnt den Token ab (abgelaufen oder widerrufen)</source>
        <translation>%1 refuses the token (expired or revoked)</translation>
    </message>
    <message>
        <source>Schlüsselbund nicht verfügbar</source>
        <translation>Keyring not available</translation>
    </message>
    <message>
        <source>%1-Limit erreicht – weiter um %2</source>
        <translation>%1 limit reached – continuing at %2</translation>
    </message>
</context>
<context>
    <name>UpdatesSettingsPane</name>
    <message>
        <source>Jetzt nach Updates suchen</source>
        <translation>Check for Updates Now</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>Automatisch nach Updates suchen</source>
        <translation>Check for updates automatically</translation>
    </message>
</context>
<context>
    <name>WorkflowRunState</name>
    <message>
        <source>in der Warteschlange</source>
        <translation>queued</translation>
    </message>
    <message>
        <source>läuft</source>
        <translation>in progress</translation>
    </message>
    <message>
        <source>wartet</source>
        <translation>waiting</translation>
    </message>
    <message>
        <source>ausstehend</source>
        <translation>pending</translation>
    </message>
    <message>
        <source>angefordert</source>
        <translation>requested</translation>
    </message>
    <message>
        <source>erfolgreich</source>
        <translation>succeeded</translation>
    </message>
    <message>
        <source>fehlgeschlagen</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>abgebrochen</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>übersprungen</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>Zeitüberschreitung</source>
        <translation>timed out</translation>
    </message>
    <message>
        <source>Startfehler</source>
        <translation>startup failure</translation>
    </message>
    <message>
        <source>neutral</source>
        <translation>neutral</translation>
    </message>
    <message>
        <source>Aktion nötig</source>
        <translation>action required</translation>
    </message>
    <message>
        <source>veraltet</source>
        <translation>stale</translation>
    </message>
    <message>
        <source>abgeschlossen</source>
        <translation>completed</translation>
    </message>
    <message>
        <source>%1 fehlgeschlagen</source>
        <translation>%1 failed</translation>
    </message>
    <message>
        <source>%1 wieder erfolgreich</source>
        <translation>%1 succeeded again</translation>
    </message>
    <message>
        <source>Fork</source>
        <translation>fork</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Tarnlet: Ohne XWayland kann das Overlay nicht oben in der Mitte über allen Fenstern stehen.</source>
        <translation>Tarnlet: Without XWayland the overlay cannot stay at the top centre above all windows.</translation>
    </message>
    <message>
        <source>Tarnlet: Der Name %1 auf dem Sitzungsbus ist nicht zu haben; Befehle wie tarnlet --toggle erreichen dieses Tarnlet nicht.</source>
        <translation>Tarnlet: The name %1 on the session bus is taken; commands such as tarnlet --toggle do not reach this Tarnlet.</translation>
    </message>
</context>
<context>
    <name>tarnlet-token</name>
    <message>
        <source>GitHub-Token: </source>
        <translation>GitHub token: </translation>
    </message>
    <message>
        <source>Kein Token gelesen; nichts gespeichert.
</source>
        <translation>No token read; nothing stored.
</translation>
    </message>
    <message>
        <source>Das Token konnte nicht im Schlüsselbund gespeichert werden (Status %1).
</source>
        <translation>The token could not be stored in the keyring (status %1).
</translation>
    </message>
    <message>
        <source>Token im Schlüsselbund gespeichert.
</source>
        <translation>Token stored in the keyring.
</translation>
    </message>
    <message>
        <source>Aufruf: tarnlet-token [--gitlab] [--server https://server.example.com] &lt; datei-mit-token
Liest das GitHub-Token (mit --gitlab das GitLab-Token) von der Standardeingabe und legt es im Schlüsselbund ab, für github.com (gitlab.com) oder den angegebenen eigenen Server.
</source>
        <translation>Usage: tarnlet-token [--gitlab] [--server https://server.example.com] &lt; file-with-token
Reads the GitHub token (with --gitlab the GitLab token) from standard input and stores it in the keyring, for github.com (gitlab.com) or the given server of your own.
</translation>
    </message>
    <message>
        <source>GitLab-Token: </source>
        <translation>GitLab token: </translation>
    </message>
</context>
</TS>
