Placeholder of the configuration tool's release folder.
Stands for the DOS 6.22 COMMAND.COM, which the tool copies into the Remoteboot tree.
