Placeholder of the demo server's Remoteboot tree.
Stands for the NetBEUI protocol loaded by the boot block.
