// The control commands of the simulated firmware transfer (the words after
// "upgrade"), answered with one line starting "ok" or "error":
//
//   upgrade report            -> ok kind=mcu|flash|none flash=N blocks=N
//                                length=N done=yes|no violations=none|WHAT:BLOCK,...
//   upgrade save PATH         writes the image received so far to PATH
//   upgrade silent-from K     no acknowledgement for block K or any later one
//   upgrade status K 1|2      block K is answered once with status 01 or 02
//   upgrade drop-ack K        block K's acknowledgement is withheld once
//   upgrade flash-junk on|off flash acknowledgements carry junk in b3 b4
//   upgrade restart MS|forever  after the last block the device is deaf this long
#pragma once

#include "tools/FirmwareReceiver.h"

#include <string>
#include <vector>

// `words` is the whole command, "upgrade" first.
std::string ExecuteFirmwareCommand(FirmwareReceiver& receiver, const std::vector<std::string>& words);
