Placeholder of the demo server's Remoteboot tree.
Stands for the Windows 95 COMMAND.COM of Remoteboot workstations.
