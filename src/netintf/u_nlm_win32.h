// The connectivity probe on the system's Network List Manager (COM). The
// calling thread must have initialised COM.
#pragma once

#include <memory>

#include "netintf/u_nlm.h"

std::unique_ptr<TNetworkListPort> Win32NetworkList();
