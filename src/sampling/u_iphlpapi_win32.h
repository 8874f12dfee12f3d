// Binding the snapshot to the system's IP Helper library.
#pragma once

// Loads "iphlpapi.dll" from the system folder and resolves GetIfTable2,
// FreeMibTable and GetAdaptersAddresses into IpHelper. False when the
// library cannot be loaded (then no attempt ever succeeds).
bool BindIpHelper();

// Empties the snapshot, clears the entry points and releases the library.
void UnbindIpHelper();
