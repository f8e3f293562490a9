#include "blocks/itmclass.h"

// ItmClass is a plain value whose members are all defined inline; this unit keeps the
// header compiled on its own so that a missing include shows up here first.
