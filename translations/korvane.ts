<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn</name>
    <message>
        <source>user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>admin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is full and cannot be set aside.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The change history is being written by another program; its lock file %1 is still held.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The lock file %1 of the change history cannot be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The change history cannot be locked (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The window still shows the previous settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the restored settings failed: the window does not show them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No free backup name is left for %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device holds the new settings: they are in force.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device still runs its previous settings: the new settings are not in force.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device does not answer: which settings are in force is not known.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odd number of bytes, not UTF-16 text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not known: the device&apos;s settings could not be read afterwards.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device runs the new settings: they are in force as its working settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether the new settings were stored as its default is not known.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none: the settings equal the backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none: the settings equal those last read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>differs below the shown precision</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::ChangeRecord</name>
    <message>
        <source>The device&apos;s current settings could not be kept as a backup before writing:<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
Press [OK] to write without a backup or [Cancel] to write nothing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The change history could not be written:<byte value="xd"/>
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none: not backed up; changes against the settings last read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (taken in programming mode: it may hold written values that were never committed)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::CompareWindow</name>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One parameter differs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 parameters differ.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double-click a row or press Enter to go to the field.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n of them only below the shown precision: the raw register values are in brackets.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>kvn::Comparison</name>
    <message>
        <source>Compare with device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compare with file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No differences: the window and the device hold the same settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compare with Config File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No differences: the window and the file hold the same settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::DeviceBackup</name>
    <message>
        <source>The device&apos;s current settings could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::FieldKinds</name>
    <message>
        <source>checked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not checked</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::GuardedFile</name>
    <message>
        <source>Not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::MainMenu</name>
    <message>
        <source>Compare with device...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compare with file...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::ProgrammingSession</name>
    <message>
        <source>Cancelled at: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device answered the commit, but reading the written settings back failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device answered the commit, but it does not hold the new settings: reading them back found other values. The new settings are not in force.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was written: the step was cancelled without a backup of the device&apos;s settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::Reports</name>
    <message>
        <source>The PDF document could not be started.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::SerialLink</name>
    <message>
        <source>no permission: add yourself to the dialout group and log in again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in use</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::Sides</name>
    <message>
        <source>Factory settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::TSetup_if</name>
    <message>
        <source>absent</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::Tparam_upd</name>
    <message>
        <source>Show changes...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
