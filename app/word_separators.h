#pragma once
// The program's word separators live with the platform layer, where the text
// tools reach them too.
#include "platform/word_separators.h"
