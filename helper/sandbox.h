#pragma once

#include <QString>

// Shuts this process in before it reads any picture: no new privileges, bounded memory, open
// files, file sizes and no core dumps, death with the window, and a system-call filter that
// lets decoding through and refuses the rest, opening files, sockets and programs included.
// False, saying why, where the filter cannot be had; the rest holds all the same.
bool enterSandbox(QString *why);
