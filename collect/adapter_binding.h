// The VPN client's virtual adapter must be bound to TCP/IP: its entry in the network adapter
// class lists the protocols bound to it, and the client's traffic is lost when TCP/IP is not
// among them.
#pragma once

namespace collect {

// Looks for the virtual adapter entries whose component id is `componentId` (ASCII case
// ignored) and adds "Tcpip" to each binding list that lacks it, keeping the protocols already
// there. A value of another type than REG_MULTI_SZ or REG_SZ holds no list and is replaced with
// "Tcpip" alone; a list that exists but cannot be read whole is left alone. Returns 1 at the first
// entry found bound to TCP/IP, else 0 (also after writing); 0 at once for a null id. Registry
// failures only skip the entry at hand.
int EnsureVirtualAdapterBinding(const char* componentId);

// Reads without writing: 1 when an entry of `componentId` is bound to TCP/IP, 0 when there
// are such entries and none is, -1 when none is found (or the class cannot be opened).
int ReadVirtualAdapterBinding(const char* componentId);

// The repair that the export makes on its way: the client's adapter ("MirrelDrv") bound to
// TCP/IP. Its result is not used.
void RepairVirtualAdapterBinding();

}  // namespace collect
