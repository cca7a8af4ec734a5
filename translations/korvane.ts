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
        <source>the folder of %1 cannot be written</source>
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
        <source>the folder %1 cannot be created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (korvane-cli --help tells the usage)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--port takes a device path (/dev/ttyUSB0) or a COM name (COM1 to COM50): %1</source>
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
        <source>compare takes one configuration file: compare FILE.kvn</source>
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
        <source>Wrote the configuration report to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no command given (identify, read, compare, backup, log, report)</source>
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
        <source>Usage: korvane-cli [options] COMMAND [arguments] [options]

Commands:
  identify             device type, serial number, firmware, tag, access level, mode
  read -o FILE.kvn     the device&apos;s parameter set into a configuration file
  compare FILE.kvn     the parameters in which the device and the file differ
  backup               the device&apos;s set into backups/&lt;serial&gt;/&lt;time&gt;.kvn
  log -o FILE.csv      the device&apos;s event log into a CSV file
  report -o FILE.pdf [--file FILE.kvn]
                       the configuration report of the device&apos;s set, or of a file

Options (default: the window&apos;s interface settings):
  --port PATH|COMn     device path (/dev/ttyUSB0, /dev/serial/by-id/...) or COM name
  --interface usb|rs485
  --baud N             4800, 9600, 19200, 38400, 57600, 115200 (RS-485)
  --parity none|odd|even
  --address N          Modbus slave address 1..254 (RS-485)
  --work-dir DIR       the work directory (settings, ports, backups)
  --json               one JSON object per line on stdout
  --quiet, -q          nothing on stdout but the differences; errors still on stderr
  --help, -h           this text
  --version            the program&apos;s version

Exit status:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One parameter differs.</source>
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
</context>
<context>
    <name>kvn::cli::ExitCode</name>
    <message>
        <source>done (for compare: identical)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>compare found differences</source>
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
        <source>wrong device (type, firmware, mode)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted (SIGINT, SIGTERM): port closed, no output file written</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kvn::cli::Output</name>
    <message>
        <source>Page	Parameter	Device	File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
