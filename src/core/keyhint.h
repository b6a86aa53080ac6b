#pragma once

#include "keytable.h"

// The nine-line hint of a key cell, lines joined by "\n\r".
QString BuildKeyHint(const s_key &key);
