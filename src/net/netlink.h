// The status service: a UDP server thread that answers one-byte commands
// with the state of all drives, and its start and stop.
//
// Commands (one-byte datagrams): 0x00 echo (reply 0x00), 0x01 status (reply
// the 16 204-byte status records, 3264 bytes), 0x10 stop (reply 0x10, the
// server ends; only from a loopback address). Anything else is reported to
// the user and ignored. Datagrams from peers outside the allow list get no
// reply and no report.
#pragma once

#include <windows.h>

#include "smart/driveinfo.h"

const BYTE kCommandEcho = 0x00;
const BYTE kCommandStatus = 0x01;
const BYTE kCommandStop = 0x10;

// Loads the socket library and starts the socket layer; 0 after showing
// what failed. The server answers with the records of that table.
int StartNetwork(const DriveTable& table);
// Starts the server thread on the port (modulo 65536), bound to the local
// IPv4 address (dotted; blank: every address) and answering the peers of
// the allow list (net/peerfilter.h; blank: the default list). A malformed
// address or list is reported once, the first time it is seen, and the
// default is used. 0 when a server exists or none could be made.
int StartServer(UINT port, const char* address = "", const char* allow = "");
// Sends the stop command to the own server on the loopback address (or the
// one address it is bound to) and waits for its thread to end: a few times, a while each, then with the
// server's socket closed under its wait. A thread that still runs is left
// so, and that is reported.
void StopServer(UINT port);
bool ServerThreadExists();
// Cleans up the socket layer and releases the library, when loaded and no
// server thread is still running in it.
void EndNetwork();
