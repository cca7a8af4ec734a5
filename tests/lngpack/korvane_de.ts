<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A translator's first work on the texts beyond the table, for the start-up tests. -->
<TS version="2.1" language="de">
<context>
    <name>kvn::MainMenu</name>
    <message>
        <source>Compare with device...</source>
        <translation>Mit Gerät vergleichen...</translation>
    </message>
</context>
<context>
    <name>kvn::CompareWindow</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>kvn::Tparam_upd</name>
    <message>
        <source>Show changes...</source>
        <translation>Änderungen zeigen...</translation>
    </message>
</context>
<context>
    <name>kvn</name>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
</context>
<context>
    <name>kvn::Comparison</name>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
</context>
<context>
    <name>kvn::SerialLink</name>
    <message>
        <source>in use</source>
        <translation>belegt</translation>
    </message>
</context>
</TS>
