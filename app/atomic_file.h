#pragma once
// The atomic file writer lives with the streams, below every library that
// writes files; this name stays for the code that still includes it here.
#include "textstore/atomic_file.h"
