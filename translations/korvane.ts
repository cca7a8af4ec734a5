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
    <message>
        <source>The device is in programming mode: it answers with written values that are not committed, not with the set it runs. Finish the session or abort programming mode to compare with that set.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Factory settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the new password holds a character the password field does not take: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1, column %2 (%3): %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a unit needs a name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a device path, a COM name or tcp://HOST:PORT: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 to 247: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rs485 or usb: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4800, 9600, 19200, 38400, 57600 or 115200: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none, odd or even: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the number the released file ends with: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a checksum needs its released file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1: %2 fields, a unit has %3 (name,port,address,interface,baud,parity,released[,checksum])</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is named twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the list names no unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>as released</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>first record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>differs from released (1 row)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>differs from released (%1 rows)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>changed since the last record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>released file refused: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no answer: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wrong device: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; changed since the last record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; not recorded: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Units</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read at</source>
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
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Released</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fleet run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, line %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: not a line of the change history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a configuration file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: backup taken before a write by an earlier version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The backups of earlier versions are being imported by another program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server cannot be removed from %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server did not answer within %1 s; nothing is lost, the next push sends it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>event log: %1 events</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: event log: %2 events, %3 new</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: event log: %2 events, fewer than the %3 last recorded (cleared)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, not recorded: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 new</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, the log was cleared</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::AccessLevel</name>
    <message>
        <source>Logout at quit failed: the device did not answer and may still grant admin access.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logout at quit: the device did not report its access level afterwards.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logout at quit failed: the device still grants admin access.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::ChangeHistoryDialog</name>
    <message>
        <source>first record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>changed outside the program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read from the unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Unit:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Engineer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Station</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Load this set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records hold no unit yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One record.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 records.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Commit: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export the change history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>as recorded before</source>
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
        <source>none: not backed up; changes against the settings last read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>read in programming mode, not recorded: it may hold written values that were never committed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>record %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The outcome could not be recorded:<byte value="xd"/>
%1</source>
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
    <name>kvn::Connection</name>
    <message>
        <source>The records could not be written:<byte value="xd"/>
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::DeviceBackup</name>
    <message>
        <source>The device&apos;s current settings could not be read.</source>
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
    <message>
        <source>Change history...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records server...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::NetworkPort</name>
    <message>
        <source>%1 is no network port: tcp://HOST:PORT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 did not answer within %2 ms</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::PortMap</name>
    <message>
        <source>%1 is no COM name (COM1 to COM50)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the folder %1 cannot be created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a link: it is left as it is</source>
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
    <message>
        <source>Interrupted at: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped by an interrupt before the next block was written: nothing is committed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::Records</name>
    <message>
        <source>The records %1 cannot be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There are no records yet in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records %1 cannot be created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records are being written by another program; %1 is still held.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records cannot be signed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; last commit cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: found changed since the last record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: first record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; branch cannot be moved on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No record %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server needs an address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server cannot be set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No server is set for the records: korvane-cli records server URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server moved on at every try; nothing is lost, the next sync sends it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server cannot be reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records cannot be brought up to date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records cannot be put on top of the server&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server refused them; nothing is lost, the next sync sends them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: identity found changed since the last record (type, firmware or tag)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server address holds a password, which would be stored in the settings; give it without one: the server is reached with ssh keys.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server is a path, file://, ssh://user@host[:port]/path or user@host:path; %1 is none of them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server %1 is not there (a share that is not mounted?)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::RecordsPush</name>
    <message>
        <source>sending to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Synced: %1 received, %2 sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records: %1 not on the server: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::RecordsServerDialog</name>
    <message>
        <source>Records server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After each record the program pushes the records to the plant&apos;s server: a bare repository&apos;s path (a mounted share), file://..., ssh://user@host[:port]/path or user@host:path. Empty: the records stay on this station.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current server:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;ync now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records stay on this station.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set. The records are pushed there after each record.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Syncing...</source>
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
    <name>kvn::TSetup_if</name>
    <message>
        <source>absent</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::Tabout_kvn</name>
    <message>
        <source>Version %1</source>
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
<context>
    <name>kvn::cli</name>
    <message>
        <source>interrupted: the port is closed, no file was written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the folder of %1 does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device type:   %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware:      %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device tag:    %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access level:  %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode:          %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved the device&apos;s settings to %1 (checksum %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No differences: the device and %1 hold the same settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 parameters differ.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (korvane-cli --help tells the usage)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--interface takes usb or rs485: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--baud takes 4800, 9600, 19200, 38400, 57600 or 115200: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--parity takes none, odd or even: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--address takes 1 to 254: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown command: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes no argument: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>read needs the output file: read -o FILE.kvn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 writes no output file (-o)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved %1 events of the device&apos;s log to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>log needs the output file: log -o FILE.csv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--file belongs to report only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>report needs the output file: report -o FILE.pdf</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One parameter differs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--expect-checksum takes the checksum as the file carries it (the number read prints): %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a password is never given on the command line: use --password-file FILE, or --admin to be asked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--expect-checksum belongs to program only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--new-password-file belongs to program and save-default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--yes, --expect-checksum, --admin, --password-file, --new-password-file and --user-level-ok belong to program, restore-default and save-default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>several ports cannot write one output file (-o)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes one configuration file: %1 FILE.kvn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>save-default takes at most one configuration file: save-default [FILE.kvn]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>several ports need --yes: the questions cannot be asked of every device at once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--admin without a terminal needs --password-file FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Admin password: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>standard input holds no password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>refused, nothing written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>failed, the previous set is in force: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the set in force is not known, check the unit: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit is in programming mode: it answers with writes that are not committed; finish the session or run `korvane-cli abort`</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no file can be written in the folder of %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is the command&apos;s input: the output needs another name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a configuration file: it is not replaced by a file of another format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no configuration file: it has no checksum mark</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its checksum %1 does not match its content (%2): the file was changed or cut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it holds %1 values, a configuration holds %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a parameter block&apos;s values do not match the block&apos;s CRC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrote the configuration report of the device&apos;s set to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrote the configuration report of %1 (checksum %2) to %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>abort needs the device&apos;s USB interface (--interface usb): over RS-485 the device takes no commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>left programming mode: writes that were not committed are dropped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit is still in programming mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit was not in programming mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>admin login ended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit is still at admin level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--port %1 is given twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--address, --baud and --parity belong to --interface rs485: over USB the device answers at address 1, 115200 baud, no parity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>identical to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 parameters differ from %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>type %1, firmware %2, tag %3, %4, %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the connection to the serial server ended: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not recorded: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 stands for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (not there)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--port takes a device path (/dev/ttyUSB0), a COM name (COM1 to COM50) or a serial server&apos;s tcp://HOST:PORT: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ports takes: ports list, or ports add COMn tcp://HOST:PORT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ports names its COM name itself: --port belongs to the other commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>suspected address conflict: garbled answers, twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a device this program works with</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One unit found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 units found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--addresses takes a range within 1-247, such as 1-32 (or one address): %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>scan belongs to an RS-485 line (--interface rs485): over USB one unit answers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>scan asks every address of --addresses, not one --address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>scan takes one --port: each bus is scanned on its own</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--addresses belongs to scan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the record %1 of %2 holds no valid set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved the record %1 of %2 to %3 (checksum %4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit on %1 is %2, not %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No differences: the record %1 and %2 hold the same settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records takes: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records %1 writes no output file (-o)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records %1 reaches no device: --port belongs to records diff against the unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records diff compares one unit: give one --port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 carries checksum %2, not the released %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no command given (identify, read, compare, backup, log, report, program, restore-default, save-default, abort, scan, fleet, ports, records)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fleet takes its ports from the list, not from --port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No server is set for the records.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records synced: %1 received, %2 sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the report could not be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrote the fleet report to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--report belongs to fleet (a device&apos;s report: report -o FILE.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>suspected address conflict: the answers at address %1 came garbled, as when two units answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The set was read but not recorded: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (record %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--records-timeout takes seconds, 0 to 3600 (0: no push): %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--csv belongs to records log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved the change history of %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>every unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records log writes the change history with --csv -o FILE.csv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not imported: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Imported %1 backups and %2 history lines (%3 imported before).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records: %1 not on the server: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>event log not read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--with-log belongs to fleet (a device&apos;s log: log -o FILE.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fleet takes the plant&apos;s list: fleet FLEET.csv [--report FILE.pdf] [--with-log]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: korvane-cli [options] COMMAND [arguments] [options]

Commands:
  identify             device type, serial number, firmware, tag, access level, mode
  read -o FILE.kvn     the device&apos;s parameter set into a configuration file
  compare FILE.kvn     the parameters in which the device and the file differ
  backup               the device&apos;s set into backups/&lt;serial&gt;/&lt;time&gt;.kvn
  log -o FILE.csv      the device&apos;s event log into a CSV file
  report -o FILE.pdf [--file FILE.kvn]
                       the configuration report of the device&apos;s set, or of a file
  program FILE.kvn     program the file&apos;s set: programming mode, write, read back,
                       commit, confirm by reading back, leave programming mode
  restore-default      the device replaces its working set by its default set
  save-default [FILE.kvn]
                       the file&apos;s set (or the device&apos;s own) as the device&apos;s default
  abort                take the unit out of programming mode (uncommitted writes are
                       dropped) and end an admin login: after a power cut or a kill
  scan [--addresses 1-247]
                       every address of an RS-485 line asked once: the units found
  fleet FLEET.csv      every unit of a plant&apos;s list read, recorded and judged against
                       its released file (name,port,address,interface,baud,parity,
                       released[,checksum]); --report FILE.pdf: the run&apos;s summary and
                       each differing unit&apos;s rows; --with-log: each unit&apos;s event log
                       into its records folder too
  ports list           the program&apos;s COM names and what each stands for
  ports add COMn tcp://HOST:PORT
                       COMn stands for a serial server&apos;s network port, in the window too
  records log [SERIAL] [--csv -o FILE.csv]
                       the records&apos; commits, newest first (of one unit); with --csv
                       the change history in history.csv&apos;s columns, oldest first
  records show SERIAL[@REV] [-o FILE.kvn]
                       a unit&apos;s set as recorded (REV: HEAD, a commit, HEAD~2, ...)
  records diff SERIAL [REV [REV]]
                       the parameters in which a record and the unit (or two records)
                       differ
  records server [URL] the plant&apos;s server the records are synced with: a bare
                       repository&apos;s path, file://, ssh://user@host[:port]/path or
                       user@host:path (ssh: the agent&apos;s keys or ~/.ssh/id_*, the host
                       in ~/.ssh/known_hosts; never a password)
  records sync         fetch what other stations sent, put ours on top, push
                       (never forced)
  records import [DIR] the backups and change history an earlier version kept
                       (backups/ of the work directory), each a commit as dated

Options (default: the window&apos;s interface settings):
  --port PATH|COMn|tcp://HOST:PORT
                       device path (/dev/ttyUSB0, /dev/serial/by-id/...), COM name, or
                       a serial server&apos;s network port (RTU frames over TCP)
  --interface usb|rs485
  --baud N             4800, 9600, 19200, 38400, 57600, 115200 (RS-485)
  --parity none|odd|even
  --address N          Modbus slave address 1..254 (RS-485)
                       (with usb the device answers at 1, 115200 baud, no parity)
  --work-dir DIR       the work directory (settings, ports, backups, records)
  --records-timeout S  a command that recorded pushes the records to their server
                       at its end, for at most S seconds (default 10; 0: no push);
                       what did not go stays and goes with the next push or sync

Programming (program, restore-default, save-default; USB interface only):
  --port given several times: every device at once, one result line each
  --yes                answer the questions OK (needed without a terminal)
  --expect-checksum N  program only the file with this checksum (as read prints it)
  --admin              log in as admin; the password is asked without echo
  --password-file FILE the admin password from FILE&apos;s first line (- : stdin)
  --new-password-file FILE
                       also set the device&apos;s admin password from FILE
  --user-level-ok      at user level only the user block is written; without
                       this flag that is refused

  --json               one JSON object per line on stdout
  --quiet, -q          nothing on stdout but the differences; errors still on stderr
  --help, -h           this text
  --version            the program&apos;s version

Exit status:
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::cli::Device</name>
    <message>
        <source>no port: give --port, or choose one in the window&apos;s interface settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 stands for no device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes no serial line settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device on %1 does not answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device on %1 does not answer (address %2, %3 baud)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: permission denied: add the user to the dialout group and log in again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is in use by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be opened as a serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a regular file, not a serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a folder, not a serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a FIFO, not a serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the connection to the serial server ended: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::cli::DeviceWrite</name>
    <message>
        <source>programming needs the device&apos;s USB interface (--interface usb): over RS-485 the device is only read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>without a terminal the questions cannot be asked: give --yes to answer them OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the new admin password is refused: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--admin without a terminal needs --password-file FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 carries checksum %2, not the released %3: nothing was sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device did not answer the login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device is at user level: only %1 would be written, not %2. Log in as admin (--admin, --password-file), or accept a partial set with --user-level-ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a new admin password needs an admin login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>declined: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device did not enter programming mode: nothing was written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not committed: the written settings are dropped when programming mode is left.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>restored: the device runs its default set, read back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>saved as default: the device holds the set, confirmed by reading it back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>programmed: the device holds the set, confirmed by reading it back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; at user level, not written: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not committed, the previous set is in force: declined at &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit is still in programming mode: run korvane-cli abort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>whether the unit left programming mode is not known: it did not answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its set could not be read back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it holds neither the written nor the previous set in: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unit is still at admin level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>whether the admin login ended is not known</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not recorded: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted, the new set is in force: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted, the previous set is in force: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device runs the written set, read back after leaving programming mode: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>korvane-cli: interrupted: the unit is taken out of programming mode first; this takes a few seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no backup of the device&apos;s settings could be taken (%1): nothing was written</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::cli::ExitCode</name>
    <message>
        <source>done (for compare: identical)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>usage error or a bad file (nothing sent to the device)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no device: the port is missing, refused, in use, or the device does not answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>refused before anything was written (entry check, access level, a declined question, checksum mismatch, rejected login)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>failed: nothing new was committed, the previous set is in force (rejected groups are named)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wrong device (type, firmware, mode), or a unit in programming mode (run abort)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the set in force is not known, or the unit is still in programming mode: check the unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted (SIGINT, SIGTERM, SIGHUP, SIGQUIT): a unit in programming mode is taken out of it first; no output file written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>compare or records diff found differences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>records sync: the server could not be reached or refused; nothing is lost, the next sync sends it</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::cli::FileSetView</name>
    <message>
        <source>%1, %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::cli::Output</name>
    <message>
        <source>Page	Parameter	Device	File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ended without a result (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::records_git</name>
    <message>
        <source>the ssh agent&apos;s keys</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records&apos; server did not answer in time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 takes no ssh key; the records need one (a password is never stored).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No ssh key to reach %1: neither an ssh agent (SSH_AUTH_SOCK) nor %2/id_ed25519, id_ecdsa or id_rsa. Make one with ssh-keygen -t ed25519 and add its .pub to the server&apos;s authorized_keys.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 refused this station&apos;s ssh keys (%2) for %3: add the public key to its authorized_keys.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 showed no host key: refused.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The host key of %1 (%2) is revoked in %3: refused.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The host key of %1 (%2) is not the one %3 holds for it: refused; someone may be in between. Only if the server&apos;s administrator confirms the new key, replace its line with:
%4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 is not known: its host key (%2) is not in %3, so it is refused. Once the server&apos;s administrator confirms that fingerprint, add this line to %3:
%4</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
