<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="de">
<context>
    <name>CCTrayFeedsPane</name>
    <message numerus="yes">
        <source>%n Projekte</source>
        <translation>
            <numerusform>%n Projekt</numerusform>
            <numerusform>%n Projekte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Mehr als %n Projekte über alle Feeds sind nicht möglich.</source>
        <translation>
            <numerusform>Mehr als %n Projekt über alle Feeds ist nicht möglich.</numerusform>
            <numerusform>Mehr als %n Projekte über alle Feeds sind nicht möglich.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DockerModule</name>
    <message numerus="yes">
        <source>%1 von %n Containern laufen</source>
        <translation>
            <numerusform>%1 von %n Containern laufen</numerusform>
            <numerusform>%1 von %n Containern laufen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n von %1 laufen</source>
        <translation>
            <numerusform>%n von %1 läuft</numerusform>
            <numerusform>%n von %1 laufen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n von %2 laufen</source>
        <translation>
            <numerusform>%1: %n von %2 läuft</numerusform>
            <numerusform>%1: %n von %2 laufen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ModuleListEditor</name>
    <message numerus="yes">
        <source>Mehr als %n Einträge sind nicht möglich.</source>
        <translation>
            <numerusform>Mehr als %n Einträge sind nicht möglich.</numerusform>
            <numerusform>Mehr als %n Einträge sind nicht möglich.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ModuleRow</name>
    <message numerus="yes">
        <source>vor %n s</source>
        <translation>
            <numerusform>vor %n s</numerusform>
            <numerusform>vor %n s</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vor %n Min.</source>
        <translation>
            <numerusform>vor %n Min.</numerusform>
            <numerusform>vor %n Min.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vor %n Std.</source>
        <translation>
            <numerusform>vor %n Std.</numerusform>
            <numerusform>vor %n Std.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>vor %n Tagen</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NotchContent</name>
    <message numerus="yes">
        <source>+%n weitere</source>
        <translation>
            <numerusform>+%n weitere</numerusform>
            <numerusform>+%n weitere</numerusform>
        </translation>
    </message>
</context>
</TS>
