#pragma once

// The identity of a file lives with the file reader in base; this name stays for the code that
// compares preloaded pictures with their files.
#include "base/FileIdentity.h"
