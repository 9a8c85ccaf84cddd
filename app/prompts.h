#pragma once
// The prompts interface lives with the platform layer, where the text tools
// reach it too.
#include "platform/prompts.h"
