// The status service: a UDP server thread that answers one-byte commands
// with the state of all drives, and its start and stop.
//
// Commands (one-byte datagrams): 0x00 echo (reply 0x00), 0x01 status (reply
// the 16 204-byte status records, 3264 bytes), 0x10 stop (reply 0x10, the
// server ends). Anything else is reported to the user and ignored.
#pragma once

#include <windows.h>

#include "smart/driveinfo.h"

const BYTE kCommandEcho = 0x00;
const BYTE kCommandStatus = 0x01;
const BYTE kCommandStop = 0x10;

// Loads the socket library and starts the socket layer; 0 after showing
// what failed. The server answers with the records of that table.
int StartNetwork(const DriveTable& table);
// Starts the server thread on the port (modulo 65536); 0 when one exists or
// none could be made.
int StartServer(UINT port);
// Sends the stop command to the own server on the loopback address and
// waits for its thread to end: a few times, a while each, then with the
// server's socket closed under its wait. A thread that still runs is left
// so, and that is reported.
void StopServer(UINT port);
bool ServerThreadExists();
// Cleans up the socket layer and releases the library, when loaded and no
// server thread is still running in it.
void EndNetwork();
