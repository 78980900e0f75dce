#!/usr/bin/env python3
"""syncthing_pair.py HOME_A FOLDER_A HOME_B FOLDER_B: two Syncthing devices that share one folder
over loopback only: keys made by `syncthing generate`, each listening on a free port of 127.0.0.1
and knowing the other by that address; discovery, relays, NAT, usage reports, upgrades and the
web interface off. The folder is watched with a one-second delay. Prints nothing; exit 0.
"""
import socket
import subprocess
import sys
from xml.sax.saxutils import quoteattr

OPTIONS = """
    <options>
        <listenAddress>tcp://127.0.0.1:{port}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <startBrowser>false</startBrowser>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <minHomeDiskFree unit="%">0</minHomeDiskFree>
        <reconnectionIntervalS>1</reconnectionIntervalS>
    </options>"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def device_id(home):
    out = subprocess.run(["syncthing", "generate", "--home=" + home, "--no-default-folder"],
                         check=True, capture_output=True, text=True)
    for line in (out.stdout + out.stderr).splitlines():
        if "Device ID:" in line:
            return line.split("Device ID:")[1].strip()
    raise SystemExit("syncthing generate printed no device id")


def main():
    home_a, folder_a, home_b, folder_b = sys.argv[1:5]
    ids = [device_id(home_a), device_id(home_b)]
    ports = [free_port(), free_port()]
    for me, (home, folder) in enumerate([(home_a, folder_a), (home_b, folder_b)]):
        devices = "".join(
            '\n    <device id="{}" name="{}" compression="metadata"><address>tcp://127.0.0.1:{}</address></device>'
            .format(ids[d], "ab"[d], ports[d]) for d in range(2))
        config = """<configuration version="36">
    <folder id="quillory" label="Quillory" path={path} type="sendreceive" rescanIntervalS="2" fsWatcherEnabled="true" fsWatcherDelayS="1">
        <device id="{a}"></device>
        <device id="{b}"></device>
        <minDiskFree unit="%">0</minDiskFree>
    </folder>{devices}
    <gui enabled="false" tls="false"><address>127.0.0.1:0</address></gui>{options}
</configuration>
""".format(path=quoteattr(folder), a=ids[0], b=ids[1], devices=devices, options=OPTIONS.format(port=ports[me]))
        with open(home + "/config.xml", "w", encoding="utf-8") as f:
            f.write(config)


if __name__ == "__main__":
    main()
