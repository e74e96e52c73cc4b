// Lists the serial ports of the machine that can be opened at this moment.
// Failures are thrown as CPortListError; records found before a failure stay
// in the list.
#pragma once

#include "serial/SSerInfo.h"

#include <windows.h>

#include <vector>

// Empties `ports` and fills it with the openable ports, in the order the
// strategy for this Windows version found them. A port held open by any
// program, this one included, is left out.
void ListSerialPorts(std::vector<SSerInfo>& ports);

// The three strategies; each appends to `ports`.
void ListPortsViaSetupApi(std::vector<SSerInfo>& ports);
void ListPortsByName(std::vector<SSerInfo>& ports);
void ListPortsFromRegistry9x(std::vector<SSerInfo>& ports);
// Reads the devices below one 9x class key; a port name already listed is
// replaced by the newer record.
void ReadPortKey9x(HKEY classKey, bool isUsb, std::vector<SSerInfo>& ports);
